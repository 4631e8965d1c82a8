#include "layout/usable_range.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "driver/flags.h"
#include "layout/layout_io.h"
#include "layout/partition_dump.h"

namespace vox {

bool partition_counted(const PartitionEntry& e) {
  return e.partition_number != 0 && e.starting_offset != 0 && e.partition_length != 0;
}

std::int64_t partition_end(std::int64_t start, std::int64_t length) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  if (length > 0 && start > kMax - length) return kMax;
  if (length < 0 && start < kMin - length) return kMin;
  return start + length;
}

UsableRange compute_usable_range(std::span<const std::uint8_t> layout, LayoutForm form) {
  UsableRange r;
  const std::size_t n = layout_entry_count(layout, form);
  for (std::size_t i = 0; i < n; ++i) {
    const PartitionEntry e = layout_entry(layout, form, i);
    if (!partition_counted(e)) continue;
    const std::int64_t s = e.starting_offset;
    const std::int64_t end = partition_end(s, e.partition_length);
    if (r.start == 0 || s < r.start) r.start = s;
    if (r.end == 0 || end > r.end) r.end = end;
    ++r.count;
  }
  return r;
}

namespace {

int read_usable_range(DeviceSpace& space, const char* dev_path, LayoutForm form,
                      UsableRange& range) {
  plat::UniqueHandle disk = open_layout_target(space, dev_path);
  if (!disk.valid()) return 1;
  std::vector<std::uint8_t> buffer(layout_buffer_size(form));
  const std::optional<std::uint32_t> returned = get_drive_layout(disk.get(), form, buffer);
  if (!returned) return 1;
  const std::span<const std::uint8_t> layout(buffer.data(), *returned);
  range = compute_usable_range(layout, form);
  if (inqdump_mode) std::fputs(format_partition_dump(layout, form).c_str(), stdout);
  return 0;
}

}  // namespace

int get_usable_range(DeviceSpace& space, const char* dev_path, UsableRange& range) {
  return read_usable_range(space, dev_path, LayoutForm::Basic, range);
}

int get_usable_range_ex(DeviceSpace& space, const char* dev_path, UsableRange& range) {
  return read_usable_range(space, dev_path, LayoutForm::Ex, range);
}

}  // namespace vox
