#include "report/find_commands.h"

#include "driver/run_options.h"
#include "report/text_format.h"

namespace vox {

// The tool sits in the replication manager's folder on the current drive; its standard
// error is thrown away so that only its answer reaches the report.
std::string find_command(const DevIdentity& record, unsigned fmt_flags, std::string_view mu_list,
                         bool cli_form) {
  const std::string mus(mu_list);
  const char* hex = (fmt_flags & FMT_HEX) != 0 ? "-fx" : "";
  return format_text(cli_form ? "\\VEXAM\\etc\\twinlist.exe -d %d %d %s %s -l -CLI 2>NUL"
                              : "\\VEXAM\\etc\\twinlist.exe -d %d %d %s %s -l 2>NUL",
                     record.serial, record.ldev, mus.c_str(), hex);
}

std::string pair_command(const DevIdentity& record, int mu) {
  return format_text("\\VEXAM\\etc\\twinlist.exe -d %d %d %d -fd -CLI 2>NUL", record.serial,
                     record.ldev, mu);
}

}  // namespace vox
