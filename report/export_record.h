// The -export line: "VOXMIRA:" and the device's fields separated by "@", with a check value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inquiry/dev_identity.h"

namespace vox {

// The XOR of every character of `text`, as a signed 8-bit number.
std::int8_t check_value(std::string_view text);
// The product identification without its trailing blanks and NULs; an identification of
// blanks only is kept as stored.
std::string export_product(const DevIdentity& record);
// The text the check value covers: "VOXMIRA:@port@serial@ldev@product@name".
std::string export_check_text(std::string_view name, const DevIdentity& record);
// The whole line with its line feed.
std::string export_line(std::string_view name, const DevIdentity& record);

}  // namespace vox
