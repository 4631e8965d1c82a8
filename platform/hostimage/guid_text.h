// GUIDs as host images write them ("xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", braces
// allowed) and as Windows stores them: Data1 u32, Data2 u16 and Data3 u16 little-endian,
// then the eight bytes of Data4 in text order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vox::plat::hostimage {

using Guid = std::array<std::uint8_t, 16>;  // the 16 bytes in record order

bool parse_guid_text(std::string_view text, Guid& guid);
// Upper-case text without braces.
std::string format_guid_text(const Guid& guid);
inline bool guid_is_zero(const Guid& guid) {
  for (std::uint8_t b : guid)
    if (b != 0) return false;
  return true;
}

}  // namespace vox::plat::hostimage
