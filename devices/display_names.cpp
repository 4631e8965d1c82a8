#include "devices/display_names.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "devices/name_forms.h"
#include "driver/run_options.h"
#include "driver/unit_number.h"

namespace vox {
namespace {

// The target from its last "\" on.
const char* last_component(const char* target) {
  const std::string_view text(target);
  const std::size_t at = text.rfind('\\');
  return at == std::string_view::npos ? target + text.size() : target + at;
}

std::string join(std::string_view prefix, std::string_view kind, int n) {
  std::string name(prefix);
  name += kind;
  name += std::to_string(n);
  return name;
}

}  // namespace

std::string_view display_prefix(std::string_view name, unsigned fmt_flags) {
  if (is_drive_name(name)) return name;
  if ((fmt_flags & FMT_VOLGUID) != 0 && name.starts_with("Volume{")) return name;
  return {};
}

std::string volume_display_name(std::string_view prefix, const char* target, std::uint32_t disk) {
  const char* last = last_component(target);
  const std::string_view tail(last);
  std::string name;
  if (tail.starts_with("\\Volume")) {
    name = join(prefix, "\\Dms", parse_unit_number(last));
  } else if (tail.starts_with("\\Stripe")) {
    name = join(prefix, "\\Dmt", parse_unit_number(last));
  } else if (tail.starts_with("\\Raid")) {
    name = join(prefix, "\\Dmr", parse_unit_number(last));
  } else {
    name = join(prefix, "\\Vol", parse_unit_number(target));
  }
  name += "\\Dsk";
  name += std::to_string(disk);
  return name;
}

bool disk_display_name(std::string_view prefix, const char* target, std::string& name, int& disk) {
  const char* rest = nullptr;
  disk = parse_unit_number(target, &rest);
  if (disk < 0) return false;
  const std::string_view tail(last_component(target));
  if (tail.starts_with("\\Partition")) {
    const int partition = rest == nullptr ? -1 : parse_unit_number(rest);
    if (partition != 0) {
      name = join(prefix, "\\Dsk", disk);
      name += "\\p";
      name += std::to_string(partition);
    } else {
      name = join(prefix, "Harddisk", disk);
    }
  } else if (tail.starts_with("\\DR")) {
    name = join(prefix, "Harddisk", disk);
  } else {
    name = join(prefix, "Unknown", disk);
  }
  return true;
}

void replace_disk_component(std::string& name, std::uint32_t disk) {
  const std::size_t at = name.rfind('\\');
  if (at != std::string::npos) name.erase(at);
  name += "\\Dsk";
  name += std::to_string(disk);
}

}  // namespace vox
