// The result and error lines of the layout commands, one per device.
#pragma once

#include <cstdint>
#include <string>

#include "layout/usable_range.h"

namespace vox {

// The fields of a device that the lines show.
struct LayoutLineDevice {
  const char* display_name;
  const char* dev_path;
  std::int32_t serial;
  std::int32_t ldev;
  const char* product_id;
};

// -gplba, -gplbaex: "%-12s : SLBA = 0x%08x ELBA = 0x%08x PCNT = %d [%s]" with the
// range in 512-byte sectors (64-bit hex, divisions truncating toward zero).
std::string format_range_line(const LayoutLineDevice& device, const UsableRange& range);
// -gvinf, -gvinfex: "<dev_path>:" then "# <name, 16 wide> -> [VOL<ser>_<ldev>_<tag>] [<product>]".
std::string format_save_lines(const LayoutLineDevice& device, const char* disk_tag);
// -svinf, -svinfex: "[VOL<ser>_<ldev>_<tag>] -> <name, 16 wide> [<product>]".
std::string format_restore_line(const LayoutLineDevice& device, const char* disk_tag);
// Failure of -gplba, -gplbaex, -gvinf, -gvinfex:
// "ERROR: <name, 16 wide> -> [VOL<ser>_<ldev>] [<product>]".
std::string format_read_error_line(const LayoutLineDevice& device);
// Failure of -svinf, -svinfex: "ERROR: [VOL<ser>_<ldev>] -> <name, 16 wide> [<product>]".
std::string format_restore_error_line(const LayoutLineDevice& device);

}  // namespace vox
