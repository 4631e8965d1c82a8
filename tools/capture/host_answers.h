// What the host answered, turned into the values of a host image: pure functions over
// the bytes the calls returned, so that every rule is testable with canned answers.
//
// Each rule keeps what voxmira observes, not more: a buffer the tool zeroes before a
// call shows zero for every byte the host did not send, so trailing zero bytes and
// absent bytes are the same answer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostimage/image_model.h"

namespace vox::capture {

namespace hi = plat::hostimage;

// The data an INQUIRY moved into a zeroed buffer: the `reported` byte count (the
// record's DataTransferLength after the call), extended to the last nonzero byte when
// a driver reports less than it wrote; never more than the buffer.
hi::Bytes moved_data(std::span<const std::uint8_t> buffer, std::uint32_t reported);

// The sense bytes the adapter stored: at most `reported` of them, trailing zeros off.
hi::Bytes stored_sense(std::span<const std::uint8_t> sense, std::uint32_t reported);

// CHECK CONDITION with ILLEGAL REQUEST and ASC 0x24: what a host image answers for a
// page it does not list, so such a page needs no entry.
bool is_unlisted_page(const hi::PageAnswer& page);

// Largest raw-property count kept: a descriptor may claim any 32-bit length.
inline constexpr std::uint32_t kMaxRawProperties = 4096;

// The raw device properties of a STORAGE_DEVICE_DESCRIPTOR (`descriptor` = the bytes
// the query returned): RawPropertiesLength bytes from offset 36, zero-filled where the
// descriptor ends early. The transport copies them only when it saw the whole 36-byte
// header and a length of at least 36, and then sets inquiry byte 4 from the length's
// low byte; a longer claim than kMaxRawProperties keeps that low byte.
hi::Bytes raw_device_properties(std::span<const std::uint8_t> descriptor);

// The identifiers of a STORAGE_DEVICE_ID_DESCRIPTOR as the transport walks them: the
// first at offset 12, each next one NextOffset further (an offset of 0 repeats the
// identifier). At least min(count, 2) identifiers are kept, since the transport needs
// two, zero where the descriptor ends early; further ones while their header lies
// inside the returned bytes, at most 1024.
std::vector<hi::StorageIdentifier> device_identifiers(std::span<const std::uint8_t> descriptor);

// The disk numbers of a VOLUME_DISK_EXTENTS as far as its records were returned (at
// most 1024).
std::vector<std::uint32_t> extent_disks(std::span<const std::uint8_t> extents);

// A DRIVE_LAYOUT_INFORMATION_EX as the partition table of a host image, its GPT usable
// range included. False for a record that does not hold its header and entries or
// names an unknown style.
bool layout_from_ex(std::span<const std::uint8_t> record, hi::DiskLayout& layout);
// A DRIVE_LAYOUT_INFORMATION as an MBR table. False for a short record.
bool layout_from_legacy(std::span<const std::uint8_t> record, hi::DiskLayout& layout);

// The names of a multi-string (each ended by a NUL, the list by an empty name) in the
// first `count` units.
std::vector<std::u16string> split_name_list(std::span<const char16_t> units);
std::vector<std::string> split_targets(std::span<const char> chars);

// A DOS name in the narrow form voxmira queries it with: every unit above 0x7F is '?'.
std::string narrow_name(std::u16string_view name);

// `text` with every byte that is not part of a valid UTF-8 sequence made '?', so that
// any answer can stand in a JSON text.
std::string valid_utf8(std::string_view text);

// The largest disk number a host image holds.
inline constexpr std::uint32_t kMaxDiskNumber = 0x7FFFFFFF;

// N of a DOS name "PhysicalDriveN" (any case, N in canonical decimal, at most
// 2147483647, the largest disk number a host image holds).
std::optional<std::uint32_t> physical_drive_number(std::string_view name);

// True for a target that voxmira takes for a volume ("\Device\HarddiskVolume...",
// "\Device\HarddiskDmVolumes...").
bool is_volume_target(std::string_view target);

}  // namespace vox::capture
