#include "layout/layout_lines.h"

#include <cinttypes>

#include "transport/string_printf.h"

namespace vox {

namespace {

// Sectors are always taken as 512 bytes; integer division truncates toward zero, and a
// negative result is shown in two's complement like any 64-bit hex value.
std::uint64_t sectors(std::int64_t bytes) {
  return static_cast<std::uint64_t>(bytes / 512);
}

}  // namespace

std::string format_range_line(const LayoutLineDevice& d, const UsableRange& range) {
  return string_printf("%-12s : SLBA = 0x%08" PRIx64 " ELBA = 0x%08" PRIx64 " PCNT = %d [%s]\n",
                       d.display_name, sectors(range.start), sectors(range.end),
                       static_cast<int>(range.count), d.product_id);
}

std::string format_save_lines(const LayoutLineDevice& d, const char* disk_tag) {
  return string_printf("%s:\n# %-16s -> [VOL%d_%d_%s] [%s]\n", d.dev_path, d.display_name, d.serial,
                       d.ldev, disk_tag, d.product_id);
}

std::string format_restore_line(const LayoutLineDevice& d, const char* disk_tag) {
  return string_printf("[VOL%d_%d_%s] -> %-16s [%s]\n", d.serial, d.ldev, disk_tag, d.display_name,
                       d.product_id);
}

std::string format_read_error_line(const LayoutLineDevice& d) {
  return string_printf("ERROR: %-16s -> [VOL%d_%d] [%s]\n", d.display_name, d.serial, d.ldev,
                       d.product_id);
}

std::string format_restore_error_line(const LayoutLineDevice& d) {
  return string_printf("ERROR: [VOL%d_%d] -> %-16s [%s]\n", d.serial, d.ldev, d.display_name,
                       d.product_id);
}

}  // namespace vox
