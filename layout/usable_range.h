// The span of a disk that its partitions use (-gplba, -gplbaex).
#pragma once

#include <cstdint>
#include <span>

#include "devices/device_space.h"
#include "layout/layout_records.h"

namespace vox {

struct UsableRange {
  std::int64_t start = 0;  // smallest starting offset in bytes; 0 when none counted
  std::int64_t end = 0;    // largest starting offset + length in bytes; 0 when none
  std::uint32_t count = 0;
};

// An entry counts when its number, starting offset and length are all non-zero.
bool partition_counted(const PartitionEntry& entry);
// start + length without overflow: a sum past the 64-bit range is held at its bound
// (INT64_MAX, or INT64_MIN for a sum below it), so an absurd entry from a device gives
// an end of 0x7fffffffffffffff bytes rather than a wrapped value.
std::int64_t partition_end(std::int64_t start, std::int64_t length);
// The range over the entries of `layout` (the bytes the disk returned).
UsableRange compute_usable_range(std::span<const std::uint8_t> layout, LayoutForm form);

// Open the disk, read its layout with the form's control code and compute the range;
// under -inqdump every entry is dumped to stdout. 0 on success, 1 after a report
// (unless cli_mode) when the disk cannot be opened or read.
int get_usable_range(DeviceSpace& space, const char* dev_path, UsableRange& range);
int get_usable_range_ex(DeviceSpace& space, const char* dev_path, UsableRange& range);

}  // namespace vox
