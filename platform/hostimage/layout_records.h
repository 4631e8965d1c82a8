// The drive layout records as a 64-bit Windows lays them out, field by field. The
// offsets below are the whole contract of the layout control codes; layout files carry
// the same bytes from their offset 200.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win_defs.h"

namespace vox::plat::hostimage::layout {

// DRIVE_LAYOUT_INFORMATION (IOCTL_DISK_GET/SET_DRIVE_LAYOUT).
inline constexpr std::size_t kCount = 0;      // PartitionCount u32
inline constexpr std::size_t kSignature = 4;  // Signature u32
inline constexpr std::size_t kHeaderSize = 8;
// PARTITION_INFORMATION, from kHeaderSize.
inline constexpr std::size_t kEntrySize = 32;
inline constexpr std::size_t kStartingOffset = 0;    // i64
inline constexpr std::size_t kPartitionLength = 8;   // i64
inline constexpr std::size_t kHiddenSectors = 16;    // u32
inline constexpr std::size_t kPartitionNumber = 20;  // u32
inline constexpr std::size_t kPartitionType = 24;    // u8
inline constexpr std::size_t kBootIndicator = 25;    // u8
inline constexpr std::size_t kRecognized = 26;       // u8
inline constexpr std::size_t kRewrite = 27;          // u8

// DRIVE_LAYOUT_INFORMATION_EX (IOCTL_DISK_GET/SET_DRIVE_LAYOUT_EX).
inline constexpr std::size_t kExStyle = 0;  // PartitionStyle u32: 0 MBR, 1 GPT, 2 RAW
inline constexpr std::size_t kExCount = 4;  // PartitionCount u32
inline constexpr std::size_t kExUnion = 8;  // 40 bytes, zero for RAW
inline constexpr std::size_t kExUnionSize = 40;
inline constexpr std::size_t kExMbrSignature = 8;              // u32
inline constexpr std::size_t kExMbrCheckSum = 12;              // u32
inline constexpr std::size_t kExGptDiskId = 8;                 // GUID
inline constexpr std::size_t kExGptStartingUsableOffset = 24;  // i64
inline constexpr std::size_t kExGptUsableLength = 32;          // i64
inline constexpr std::size_t kExGptMaxPartitionCount = 40;     // u32
inline constexpr std::size_t kExHeaderSize = 48;
// PARTITION_INFORMATION_EX, from kExHeaderSize.
inline constexpr std::size_t kExEntrySize = 144;
inline constexpr std::size_t kExEntryStyle = 0;           // u32
inline constexpr std::size_t kExEntryStartingOffset = 8;  // i64
inline constexpr std::size_t kExEntryLength = 16;         // i64
inline constexpr std::size_t kExEntryNumber = 24;         // u32
inline constexpr std::size_t kExEntryRewrite = 28;        // u8
inline constexpr std::size_t kExEntryIsService = 29;      // u8
inline constexpr std::size_t kExEntryUnion = 32;
inline constexpr std::size_t kExEntryMbrType = 32;           // u8
inline constexpr std::size_t kExEntryMbrBoot = 33;           // u8
inline constexpr std::size_t kExEntryMbrRecognized = 34;     // u8
inline constexpr std::size_t kExEntryMbrHiddenSectors = 36;  // u32
inline constexpr std::size_t kExEntryMbrPartitionId = 40;    // GUID
inline constexpr std::size_t kExEntryGptType = 32;           // GUID
inline constexpr std::size_t kExEntryGptId = 48;             // GUID
inline constexpr std::size_t kExEntryGptAttributes = 64;     // u64
inline constexpr std::size_t kExEntryGptName = 72;           // wchar[36]
inline constexpr std::size_t kGptNameUnits = 36;

inline constexpr std::uint32_t kGptMaxPartitionCount = 128;

static_assert(kHeaderSize == win::kLayoutHeaderSize);
static_assert(kEntrySize == win::kLayoutEntrySize);
static_assert(kExHeaderSize == win::kLayoutExHeaderSize);
static_assert(kExEntrySize == win::kLayoutExEntrySize);
static_assert(kExUnion + kExUnionSize == kExHeaderSize);
static_assert(kExEntryGptName + 2 * kGptNameUnits == kExEntrySize);

}  // namespace vox::plat::hostimage::layout
