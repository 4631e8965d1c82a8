#include "report/wwn_format.h"

#include "report/cli_format.h"
#include "report/text_format.h"

namespace vox {

std::string wwn_header(int cli_kind, int wide_layout) {
  const char* title = cli_kind == 2 ? "PWWN" : cli_kind == 3 ? "NWWN" : "WWN";
  const std::string lead = cli_header_lead(wide_layout);
  return format_text("%s%-16s AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n", lead.c_str(), title);
}

std::string wwn_row(std::string_view marked, const DevIdentity& record, unsigned fmt_flags,
                    int wide_layout, int cli_kind) {
  const std::string d(marked);
  std::string wwn = "-";
  if (cli_kind == 1 && record.tgt_wwn_valid != 0) wwn = field_text(record.tgt_wwn);
  if (cli_kind == 2 && record.host_wwn_valid != 0) wwn = field_text(record.host_port_wwn);
  if (cli_kind == 3 && record.host_wwn_valid != 0) wwn = field_text(record.host_node_wwn);
  const bool target = record.tgt_wwn_valid != 0;
  const std::string al = target ? format_text("%02X", record.al_pa) : std::string("-");
  const std::string lun = target ? format_text("%d", record.lun) : std::string("-");
  const std::string port(field_text(record.port_name));
  const std::string ldev = cli_ldev_text(record, fmt_flags);
  const std::string product(field_text(record.product_id));
  return format_text(wide_layout != 0 ? "%-60s %-16s %2s %-7s %3s %8d %5s %-16s\n"
                                      : "%-15s %-16s %2s %-7s %3s %8d %5s %-16s\n",
                     d.c_str(), wwn.c_str(), al.c_str(), port.c_str(), lun.c_str(), record.serial,
                     ldev.c_str(), product.c_str());
}

std::string wwn_absent_row(std::string_view shown, const DevIdentity& record, int wide_layout) {
  const std::string d(shown);
  const std::string product = dash_if_empty(field_text(record.product_id));
  return format_text(wide_layout != 0 ? "%-60s %-16s %2s %-7s %3s %8s  %4s %-16s\n"
                                      : "%-15s %-16s %2s %-7s %3s %8s  %4s %-16s\n",
                     d.c_str(), "-", "-", "-", "-", "-", "-", product.c_str());
}

}  // namespace vox
