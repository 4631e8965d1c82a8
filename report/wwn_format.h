// The -CLIW, -CLIWP and -CLIWN tables: WWN, loop address and LUN per device.
#pragma once

#include <string>
#include <string_view>

#include "inquiry/dev_identity.h"

namespace vox {

// `cli_kind` 1 target port WWN, 2 host port WWN, 3 host node WWN.
std::string wwn_header(int cli_kind, int wide_layout);
std::string wwn_row(std::string_view marked, const DevIdentity& record, unsigned fmt_flags,
                    int wide_layout, int cli_kind);
std::string wwn_absent_row(std::string_view shown, const DevIdentity& record, int wide_layout);

}  // namespace vox
