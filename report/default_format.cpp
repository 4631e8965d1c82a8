#include "report/default_format.h"

#include "driver/run_options.h"
#include "report/names.h"
#include "report/pair_states.h"
#include "report/text_format.h"

namespace vox {

std::string volume_kind_text(const DevIdentity& record) {
  const int group = record.raid_group[0] * 256 + record.raid_group[1];
  switch (record.raid_level) {
    case 0x00:
      return format_text("UNMAP[Group %05d]", 0);
    case 0x11:
      return format_text("SNAPS[PoolID %04d]", group);
    case 0x12:
      return format_text("A-LUN[PoolID %04d]", group);
    case 0x10:
      return format_text("E-LUN[Group %05d]", group);
    default:
      return format_text("RAID%X[Group %2d-%2d]", record.raid_level, record.raid_group[0],
                         record.raid_group[1]);
  }
}

std::string default_first_line(std::string_view marked, const DevIdentity& record,
                               unsigned fmt_flags) {
  const std::string name(marked);
  const std::string port(field_text(record.port_name));
  const std::string vendor(field_text(record.vendor_id));
  const std::string product(field_text(record.product_id));
  return format_text((fmt_flags & FMT_HEX) != 0 ? "%s -> %s Ser =%8d LDEV =%4X [%s] [%s]\n"
                                                : "%s -> %s Ser =%8d LDEV =%4d [%s] [%s]\n",
                     name.c_str(), port.c_str(), record.serial, record.ldev, vendor.c_str(),
                     product.c_str());
}

std::string default_pair_line(std::string_view lead_blanks, const DevIdentity& record) {
  if (!has_pair_state(record)) return {};
  const std::string lead(lead_blanks);
  return format_text("%s %s = %s  %s[MU#0 = %s MU#1 = %s MU#2 = %s]\n", lead.c_str(), "VEXA",
                     pair_state_word(record.remote_pair_state), "TESSIK",
                     pair_state_word(record.local_pair_state[0]),
                     pair_state_word(record.local_pair_state[1]),
                     pair_state_word(record.local_pair_state[2]));
}

std::string default_raid_line(std::string_view lead_blanks, const DevIdentity& record) {
  if (record.raid_valid == 0) return {};
  const std::string lead(lead_blanks);
  const std::string kind = volume_kind_text(record);
  if (record.ctg_id == 0xFF) {
    return format_text("%s %s SSID = 0x%02X%02X\n", lead.c_str(), kind.c_str(), record.ssid[0],
                       record.ssid[1]);
  }
  return format_text("%s %s SSID = 0x%02X%02X CTGID = %2d\n", lead.c_str(), kind.c_str(),
                     record.ssid[0], record.ssid[1], record.ctg_id);
}

std::string default_report_text(std::string_view name, const DevIdentity& record,
                                unsigned fmt_flags) {
  const std::string marked = marked_name(name, record, fmt_flags);
  // The continuation lines start under the port: as wide as "<name> ->".
  const std::string lead(marked.size() + 3, ' ');
  return default_first_line(marked, record, fmt_flags) + default_pair_line(lead, record) +
         default_raid_line(lead, record);
}

}  // namespace vox
