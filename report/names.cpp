#include "report/names.h"

#include "driver/run_options.h"

namespace vox {

bool has_volume_mark(const DevIdentity& record, unsigned fmt_flags) {
  return ((fmt_flags & FMT_HARD) != 0 && (record.vol_attr & 0x01) != 0) ||
         ((fmt_flags & FMT_PIN) != 0 && (record.vol_attr & 0x02) != 0) ||
         ((fmt_flags & FMT_FENCOR) != 0 && record.fencor != 0);
}

std::string marked_name(std::string_view name, const DevIdentity& record, unsigned fmt_flags) {
  std::string marked(name);
  if (has_volume_mark(record, fmt_flags)) marked += '*';
  return marked;
}

std::string_view shown_name(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

}  // namespace vox
