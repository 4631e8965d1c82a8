// The -CLI table: header, rows of present devices and rows of devices whose probe failed.
#pragma once

#include <string>
#include <string_view>

#include "inquiry/dev_identity.h"

namespace vox {

// Shared by the CLI tables: a first name of 25 or more characters chooses the wide layout.
int cli_wide_layout(std::string_view shown);
// The LDEV column text: "%d", or "%X" with FMT_HEX.
std::string cli_ldev_text(const DevIdentity& record, unsigned fmt_flags);
// The first words of a header: "DEVICE_FILE" and 5 blanks, or 50 in the wide layout.
std::string cli_header_lead(int wide_layout);

// The last column's header and value: the real ID (FMT_REALID), the LDEV_NIC_NAME
// (FMT_NICNAME) or the product identification.
std::string cli_product_header(unsigned fmt_flags);
std::string cli_product_text(const DevIdentity& record, unsigned fmt_flags);
// The pair state column: "H/M/12" wide, or 70 characters with FMT_WIDE; `present` 0
// gives its empty form.
std::string cli_mu_column(const DevIdentity& record, unsigned fmt_flags, bool present);

std::string cli_header(unsigned fmt_flags, int wide_layout);
// `marked` is the shown name with its mark.
std::string cli_row(std::string_view marked, const DevIdentity& record, unsigned fmt_flags,
                    int wide_layout);
// `shown` is the unmarked shown name.
std::string cli_absent_row(std::string_view shown, const DevIdentity& record, unsigned fmt_flags,
                           int wide_layout);

}  // namespace vox
