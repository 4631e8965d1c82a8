// The failure lines of the probe and its decoders, built apart from stderr so that they
// can be checked byte for byte. The probe prints them unless cli_mode.
#pragma once

#include <cstdint>
#include <string>

#include "inquiry/dev_identity.h"

namespace vox {

// "%s -> %-35s [%s] [%s]\n": name, message, vendor, product.
std::string failure_line(const char* name, const char* message, const DevIdentity& record);
// "%s -> %-25s Port = %2d [%s] [%s]\n" with "Invalid port number".
std::string invalid_port_line(const char* name, int port, const DevIdentity& record);
// "%s -> %-15s SKEY = %1x ASC = 0x%02x on VPD[%02X] [%s] [%s]\n" with "CheckCondition".
std::string check_condition_line(const char* name, unsigned sense_key, unsigned asc, unsigned page,
                                 const DevIdentity& record);
// "%s -> %35s [%s] [%s]\n" with "Selection Timeout." (right-aligned).
std::string selection_timeout_line(const char* name, const DevIdentity& record);
// "%s -> %-23s CDBS = 0x%02x [%s] [%s]\n" with "Unknown status.".
std::string unknown_status_line(const char* name, unsigned status, const DevIdentity& record);
// "%s -> %-35s [%s] [%s] " with a single blank as the message: the head of the line
// that perror("ioctl") ends when the page INQUIRY fails.
std::string page_ioctl_head(const char* name, const DevIdentity& record);

inline constexpr const char kNotHarddisk[] = "NOT harddisk.";
inline constexpr const char kNotSupportedInqPageE2[] = "NOT supported INQ for PageE2.";
inline constexpr const char kNotSupportedRaid[] = "NOT supported RAID.";
inline constexpr const char kNotSupportedRaidPageE2[] = "NOT supported RAID for PageE2.";

}  // namespace vox
