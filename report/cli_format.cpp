#include "report/cli_format.h"

#include "driver/run_options.h"
#include "report/pair_states.h"
#include "report/text_format.h"

namespace vox {
namespace {

constexpr int kWideNameFrom = 25;
constexpr std::size_t kWideMuColumn = 70;

}  // namespace

int cli_wide_layout(std::string_view shown) {
  return shown.size() >= kWideNameFrom ? 1 : 0;
}

std::string cli_ldev_text(const DevIdentity& record, unsigned fmt_flags) {
  return format_text((fmt_flags & FMT_HEX) != 0 ? "%X" : "%d", record.ldev);
}

std::string cli_header_lead(int wide_layout) {
  return "DEVICE_FILE" + std::string(wide_layout != 0 ? 50 : 5, ' ');
}

std::string cli_product_header(unsigned fmt_flags) {
  if ((fmt_flags & FMT_REALID) != 0) return "R_SERIAL R_LDEV CM";
  if ((fmt_flags & FMT_NICNAME) != 0) return "LDEV_NIC_NAME";
  return "PRODUCT_ID";
}

std::string cli_product_text(const DevIdentity& record, unsigned fmt_flags) {
  if ((fmt_flags & FMT_REALID) != 0) {
    if (record.real_id_valid == 0) return format_text("%8s %6s %2s", "-", "-", "-");
    const char* cm = record.is_cmddev != 0 ? "CM" : "-";
    return format_text((fmt_flags & FMT_HEX) != 0 ? "%8d %6X %2s" : "%8d %6d %2s",
                       record.real_serial, record.real_ldev, cm);
  }
  if ((fmt_flags & FMT_NICNAME) != 0) {
    const std::string_view nic = field_text(record.nic_name);
    return nic.empty() ? std::string("-") : std::string(nic);
  }
  return std::string(field_text(record.product_id));
}

std::string cli_mu_column(const DevIdentity& record, unsigned fmt_flags, bool present) {
  const bool wide = (fmt_flags & FMT_WIDE) != 0;
  if (!present || !has_pair_state(record)) {
    return wide ? "-" + std::string(kWideMuColumn - 1, ' ') : std::string("     -");
  }
  if (!wide) {
    return format_text("%c/%c/%c%c", pair_state_char(record.remote_pair_state),
                       pair_state_char(record.local_pair_state[0]),
                       pair_state_char(record.local_pair_state[1]),
                       pair_state_char(record.local_pair_state[2]));
  }
  // Remote MU#0..3, "/", local MU#0, "/", local MU#1..63.
  std::string column;
  column.reserve(kWideMuColumn);
  for (int i = 0; i < 4; ++i) column += pair_state_char(record.remote_mu_states[i]);
  column += '/';
  column += pair_state_char(record.local_mu_states[0]);
  column += '/';
  for (int i = 1; i < 64; ++i) column += pair_state_char(record.local_mu_states[i]);
  return column;
}

std::string cli_header(unsigned fmt_flags, int wide_layout) {
  const std::string lead = cli_header_lead(wide_layout);
  const std::string mu_header =
      (fmt_flags & FMT_WIDE) != 0 ? "H.../M/.." + std::string(61, ' ') : std::string("H/M/12");
  const std::string product = cli_product_header(fmt_flags);
  return format_text("%sPORT    SERIAL  LDEV CTG  %s  SSID R:Group %s\n", lead.c_str(),
                     mu_header.c_str(), product.c_str());
}

std::string cli_row(std::string_view marked, const DevIdentity& record, unsigned fmt_flags,
                    int wide_layout) {
  const std::string d(marked);
  const std::string port(field_text(record.port_name));
  const std::string ldev = cli_ldev_text(record, fmt_flags);
  const std::string mu = cli_mu_column(record, fmt_flags, true);
  const std::string product = cli_product_text(record, fmt_flags);
  const bool wide = wide_layout != 0;
  if (record.raid_valid == 0) {
    return format_text(wide ? "%-60s %-7s %6d %5s  %2s  %s  %4s %7s %-16s\n"
                            : "%-15s %-7s %6d %5s %3s  %s  %4s %7s %-16s\n",
                       d.c_str(), port.c_str(), record.serial, ldev.c_str(), "-", mu.c_str(), "-",
                       "-", product.c_str());
  }
  const std::string ctg =
      record.ctg_id == 0xFF ? std::string("-") : format_text("%d", record.ctg_id);
  const int group = record.raid_group[0] * 256 + record.raid_group[1];
  const std::uint8_t s0 = record.ssid[0];
  const std::uint8_t s1 = record.ssid[1];
  char kind = 0;
  int number = group;
  switch (record.raid_level) {
    case 0x00:
      kind = 'U';
      number = 0;
      break;
    case 0x11:
      kind = 'S';
      break;
    case 0x10:
      kind = 'E';
      break;
    case 0x12:
      kind = 'A';
      break;
    default:
      return format_text(wide ? "%-60s %-7s %6d %5s  %2s  %s  %02X%02X %X:%02d-%02d %-16s\n"
                              : "%-15s %-7s %6d %5s %3s  %s  %02X%02X %X:%02d-%02d %-16s\n",
                         d.c_str(), port.c_str(), record.serial, ldev.c_str(), ctg.c_str(),
                         mu.c_str(), s0, s1, record.raid_level, record.raid_group[0],
                         record.raid_group[1], product.c_str());
  }
  // Unmapped, snapshot pool, external group and pool volumes: a letter and one number.
  return format_text(wide ? "%-60s %-7s %6d %5s  %2s  %s  %02X%02X %c:%05d %-16s\n"
                          : "%-15s %-7s %6d %5s %3s  %s  %02X%02X %c:%05d %-16s\n",
                     d.c_str(), port.c_str(), record.serial, ldev.c_str(), ctg.c_str(), mu.c_str(),
                     s0, s1, kind, number, product.c_str());
}

std::string cli_absent_row(std::string_view shown, const DevIdentity& record, unsigned fmt_flags,
                           int wide_layout) {
  const std::string d(shown);
  const std::string mu = cli_mu_column(record, fmt_flags, false);
  const std::string product = dash_if_empty(cli_product_text(record, fmt_flags));
  return format_text(wide_layout != 0 ? "%-60s %-7s %6s  %4s  %2s  %s  %4s %7s %-16s\n"
                                      : "%-15s %-7s %6s  %4s %3s  %s  %4s %7s %-16s\n",
                     d.c_str(), "-", "-", "-", "-", mu.c_str(), "-", "-", product.c_str());
}

}  // namespace vox
