// UTF-8 (the text of host images) to UTF-16 (what Windows hands out in wide calls and
// stores in GPT partition names) and back. Malformed sequences become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace vox::plat::hostimage {

std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);

}  // namespace vox::plat::hostimage
