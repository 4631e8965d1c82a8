// The lines of the default report (no CLI option).
#pragma once

#include <string>
#include <string_view>

#include "inquiry/dev_identity.h"

namespace vox {

// The kind of volume of the RAID line: "RAID5[Group  1- 2]", "SNAPS[PoolID 0010]" ...
std::string volume_kind_text(const DevIdentity& record);

// The first line: "<name> -> <port> Ser =... LDEV =... [vendor] [product]".
std::string default_first_line(std::string_view marked, const DevIdentity& record,
                               unsigned fmt_flags);
// The pair line, or "" when no pair state is known.
std::string default_pair_line(std::string_view lead_blanks, const DevIdentity& record);
// The RAID line, or "" when the record carries no RAID data.
std::string default_raid_line(std::string_view lead_blanks, const DevIdentity& record);

// The whole report of one device: the first line and the continuation lines that apply.
std::string default_report_text(std::string_view name, const DevIdentity& record,
                                unsigned fmt_flags);

}  // namespace vox
