#include "inquiry/port_name.h"

#include <cstdio>

namespace vox {
namespace {

const char* tag(PortFamily family, bool cli) {
  if (cli) return "";
  switch (family) {
    case PortFamily::kRB:
      return "[RB] ";
    case PortFamily::kMV:
      return "[MV] ";
    case PortFamily::kPL:
      return "[PL] ";
    case PortFamily::kCW:
      break;
  }
  return "[CW] ";
}

bool with_host_group(const DevIdentity& r, int show_host_group) {
  return show_host_group != 0 && r.host_group_valid == 1;
}

}  // namespace

// The longest name, "[RB] CL1-A-65535", is 16 characters: port_name (27) always holds it.
void set_port_chars(DevIdentity& r, PortFamily family, char c1, char c2, int show_host_group,
                    bool cli) {
  if (with_host_group(r, show_host_group)) {
    std::snprintf(r.port_name, sizeof r.port_name, "%sCL%c-%c-%d", tag(family, cli), c1, c2,
                  static_cast<int>(r.host_group));
  } else {
    std::snprintf(r.port_name, sizeof r.port_name, "%sCL%c-%c", tag(family, cli), c1, c2);
  }
}

void set_port_table_name(DevIdentity& r, const char* name, int show_host_group, bool cli) {
  if (with_host_group(r, show_host_group)) {
    std::snprintf(r.port_name, sizeof r.port_name, "%s%.5s-%d", tag(PortFamily::kMV, cli), name,
                  static_cast<int>(r.host_group));
  } else {
    std::snprintf(r.port_name, sizeof r.port_name, "%s%.5s", tag(PortFamily::kMV, cli), name);
  }
}

void set_port_unknown(DevIdentity& r, bool cli) {
  std::snprintf(r.port_name, sizeof r.port_name, "%s", cli ? "-" : "[CW] Unknown");
}

char port_letter_upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

}  // namespace vox
