// Readers of the two drive-layout records that the disk returns and that layout files
// carry: DRIVE_LAYOUT_INFORMATION (one 32-byte PARTITION_INFORMATION per entry) and
// DRIVE_LAYOUT_INFORMATION_EX (one 144-byte PARTITION_INFORMATION_EX per entry).
//
// The records are read byte by byte at fixed little-endian offsets, never through a
// struct, so both builds read them alike whatever the host's packing. Every reader is
// bounded by the span it is given: a byte past its end reads as zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/win_defs.h"

namespace vox {

// The two record forms: -gplba, -gvinf and -svinf use the first, the "ex" commands the
// second.
enum class LayoutForm { Basic, Ex };

// DRIVE_LAYOUT_INFORMATION: PartitionCount u32 @0, Signature u32 @4, entries from 8.
inline constexpr std::size_t kLayoutCountOffset = 0;
inline constexpr std::size_t kLayoutSignatureOffset = 4;
inline constexpr std::size_t kLayoutEntriesOffset = 8;
// PARTITION_INFORMATION, 32 bytes.
inline constexpr std::size_t kEntryStartOffset = 0;    // StartingOffset i64
inline constexpr std::size_t kEntryLengthOffset = 8;   // PartitionLength i64
inline constexpr std::size_t kEntryHiddenOffset = 16;  // HiddenSectors u32
inline constexpr std::size_t kEntryNumberOffset = 20;  // PartitionNumber u32
inline constexpr std::size_t kEntryTypeOffset = 24;    // PartitionType u8
inline constexpr std::size_t kEntryBootOffset = 25;    // BootIndicator u8
inline constexpr std::size_t kEntryRecognizedOffset = 26;
inline constexpr std::size_t kEntryRewriteOffset = 27;
inline constexpr std::size_t kEntrySize = 32;

// DRIVE_LAYOUT_INFORMATION_EX: PartitionStyle u32 @0, PartitionCount u32 @4, a 40-byte
// union @8 (MBR Signature u32, or GPT DiskId GUID), entries from 48.
inline constexpr std::size_t kLayoutExStyleOffset = 0;
inline constexpr std::size_t kLayoutExCountOffset = 4;
inline constexpr std::size_t kLayoutExUnionOffset = 8;
inline constexpr std::size_t kLayoutExEntriesOffset = 48;
// PARTITION_INFORMATION_EX, 144 bytes.
inline constexpr std::size_t kExEntryStyleOffset = 0;     // PartitionStyle u32
inline constexpr std::size_t kExEntryStartOffset = 8;     // StartingOffset i64
inline constexpr std::size_t kExEntryLengthOffset = 16;   // PartitionLength i64
inline constexpr std::size_t kExEntryNumberOffset = 24;   // PartitionNumber u32
inline constexpr std::size_t kExEntryMbrTypeOffset = 32;  // Mbr.PartitionType u8
inline constexpr std::size_t kExEntryGptTypeOffset = 32;  // Gpt.PartitionType GUID
inline constexpr std::size_t kExEntryGptIdOffset = 48;    // Gpt.PartitionId GUID
inline constexpr std::size_t kExEntryGptAttrOffset = 64;  // Gpt.Attributes u64
inline constexpr std::size_t kExEntrySize = 144;

inline constexpr std::size_t kMaxPartitionEntries = 1024;

// PartitionStyle values.
inline constexpr std::uint32_t kStyleMbr = 0;
inline constexpr std::uint32_t kStyleGpt = 1;
inline constexpr std::uint32_t kStyleRaw = 2;

static_assert(kLayoutEntriesOffset == win::kLayoutHeaderSize &&
              kEntrySize == win::kLayoutEntrySize);
static_assert(kLayoutExEntriesOffset == win::kLayoutExHeaderSize &&
              kExEntrySize == win::kLayoutExEntrySize);
static_assert(kLayoutEntriesOffset + kMaxPartitionEntries * kEntrySize == win::kLayoutBufferSize);
static_assert(kLayoutExEntriesOffset + kMaxPartitionEntries * kExEntrySize ==
              win::kLayoutExBufferSize);

using Guid = std::array<std::uint8_t, 16>;

// One partition entry of either form. The basic form has no style (it reads as MBR) and
// no GPT fields (zero).
struct PartitionEntry {
  std::uint32_t style = kStyleMbr;
  std::int64_t starting_offset = 0;
  std::int64_t partition_length = 0;
  std::uint32_t hidden_sectors = 0;
  std::uint32_t partition_number = 0;
  std::uint8_t mbr_type = 0;
  std::uint8_t boot_indicator = 0;
  std::uint8_t recognized = 0;
  std::uint8_t rewrite = 0;
  Guid gpt_type{};
  Guid gpt_id{};
  std::uint64_t gpt_attributes = 0;
};

// Little-endian readers; bytes past the end of `bytes` read as zero.
std::uint8_t read_u8(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint16_t read_le16(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint32_t read_le32(std::span<const std::uint8_t> bytes, std::size_t offset);
std::uint64_t read_le64(std::span<const std::uint8_t> bytes, std::size_t offset);
Guid read_guid(std::span<const std::uint8_t> bytes, std::size_t offset);
void write_le32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value);

// Buffer size of a form (room for 1024 entries): 32776 or 147504 bytes.
std::size_t layout_buffer_size(LayoutForm form);

// The record's PartitionCount as it stands, unchecked.
std::uint32_t layout_partition_count(std::span<const std::uint8_t> layout, LayoutForm form);
// How many entries may be read: PartitionCount, lowered to the whole entries that lie
// inside `layout` (the bytes the disk returned) and to 1024.
std::size_t layout_entry_count(std::span<const std::uint8_t> layout, LayoutForm form);
// Entry `index` (below layout_entry_count) of the record.
PartitionEntry layout_entry(std::span<const std::uint8_t> layout, LayoutForm form,
                            std::size_t index);

// "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X": Data1 (u32), Data2 and Data3
// (u16), each little-endian in the 16 bytes, then the eight bytes of Data4. 36
// characters and a string end.
inline constexpr std::size_t kGuidTextSize = 37;
std::array<char, kGuidTextSize> guid_text(const Guid& guid);

}  // namespace vox
