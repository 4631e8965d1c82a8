#include "layout/layout_cmd.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "layout/layout_files.h"
#include "layout/layout_lines.h"
#include "layout/usable_range.h"

namespace vox {

namespace {

// A text field of the identity record, read no further than its width even if a string
// end is missing.
template <std::size_t N>
std::string field_text(const char (&field)[N]) {
  return std::string(field, std::find(field, field + N, '\0'));
}

using SaveOrRestore = int (*)(DeviceSpace&, const char*, std::int32_t, std::int32_t, DiskTag&);

void put(const std::string& text, std::FILE* stream) {
  std::fputs(text.c_str(), stream);
}

}  // namespace

void run_layout_cmd(DeviceSpace& space, int layout_cmd, const char* display_name,
                    const DevIdentity& identity, int& exit_error) {
  const std::string dev_path = field_text(identity.dev_path);
  const std::string product_id = field_text(identity.product_id);
  const LayoutLineDevice device{display_name ? display_name : "", dev_path.c_str(), identity.serial,
                                identity.ldev, product_id.c_str()};

  if (layout_cmd == 3 || layout_cmd == 4) {  // -gplba, -gplbaex
    UsableRange range;
    const int rc = layout_cmd == 3 ? get_usable_range(space, dev_path.c_str(), range)
                                   : get_usable_range_ex(space, dev_path.c_str(), range);
    if (rc == 0) {
      put(format_range_line(device, range), stdout);
    } else {
      put(format_read_error_line(device), stderr);
      exit_error = 1;
    }
    return;
  }

  const bool save = layout_cmd == 1 || layout_cmd == 2;  // -gvinf, -gvinfex
  SaveOrRestore operation = layout_cmd == 1   ? save_layout
                            : layout_cmd == 2 ? save_layout_ex
                            : layout_cmd == 5 ? restore_layout
                                              : restore_layout_ex;  // -svinfex, any other
  DiskTag disk_tag{};
  if (operation(space, dev_path.c_str(), identity.serial, identity.ldev, disk_tag) == 0) {
    put(save ? format_save_lines(device, disk_tag.data())
             : format_restore_line(device, disk_tag.data()),
        stdout);
  } else {
    put(save ? format_read_error_line(device) : format_restore_error_line(device), stderr);
    exit_error = 1;
  }
}

}  // namespace vox
