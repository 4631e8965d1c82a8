// The system message texts of Windows error codes, as FormatMessage gives them in
// English, so that error reports read the same on every host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vox::plat::hostimage {

// The line end that ends every system message on this build ("\r\n" on Windows).
#ifdef _WIN32
inline constexpr std::string_view kMessageLineEnd = "\r\n";
#else
inline constexpr std::string_view kMessageLineEnd = "\n";
#endif

// The text of `code` followed by `line_end`. A code without text gives the text Windows
// gives when it has none.
std::string system_message(std::uint32_t code, std::string_view line_end = kMessageLineEnd);

}  // namespace vox::plat::hostimage
