// The command lines that start the pair-status tool for -find and -findc.
#pragma once

#include <string>
#include <string_view>

#include "inquiry/dev_identity.h"

namespace vox {

// -find: "<tool> -d SERIAL LDEV <MU list> <-fx or nothing> -l[ -CLI] 2>NUL". The MU list
// is mu_list_text's, each number followed by a blank.
std::string find_command(const DevIdentity& record, unsigned fmt_flags, std::string_view mu_list,
                         bool cli_form);
// -findc: "<tool> -d SERIAL LDEV MU -fd -CLI 2>NUL" for one MU number.
std::string pair_command(const DevIdentity& record, int mu);

}  // namespace vox
