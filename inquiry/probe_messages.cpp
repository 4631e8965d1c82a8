#include "inquiry/probe_messages.h"

#include "transport/string_printf.h"

namespace vox {

std::string failure_line(const char* name, const char* message, const DevIdentity& r) {
  return string_printf("%s -> %-35s [%s] [%s]\n", name, message, r.vendor_id, r.product_id);
}

std::string invalid_port_line(const char* name, int port, const DevIdentity& r) {
  return string_printf("%s -> %-25s Port = %2d [%s] [%s]\n", name, "Invalid port number", port,
                       r.vendor_id, r.product_id);
}

std::string check_condition_line(const char* name, unsigned sense_key, unsigned asc, unsigned page,
                                 const DevIdentity& r) {
  return string_printf("%s -> %-15s SKEY = %1x ASC = 0x%02x on VPD[%02X] [%s] [%s]\n", name,
                       "CheckCondition", sense_key, asc, page, r.vendor_id, r.product_id);
}

std::string selection_timeout_line(const char* name, const DevIdentity& r) {
  return string_printf("%s -> %35s [%s] [%s]\n", name, "Selection Timeout.", r.vendor_id,
                       r.product_id);
}

std::string unknown_status_line(const char* name, unsigned status, const DevIdentity& r) {
  return string_printf("%s -> %-23s CDBS = 0x%02x [%s] [%s]\n", name, "Unknown status.", status,
                       r.vendor_id, r.product_id);
}

std::string page_ioctl_head(const char* name, const DevIdentity& r) {
  return string_printf("%s -> %-35s [%s] [%s] ", name, " ", r.vendor_id, r.product_id);
}

}  // namespace vox
