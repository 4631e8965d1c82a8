// The Windows error report: "%s : [%d] %s" on stderr with the system text.
#pragma once

#include <cstdint>
#include <string>

namespace vox {

// Prints the last Windows error of the thread. Callers test cli_mode first.
void report_win_error(const char* title);
// The same report for an error code the caller saved before printing something else
// (printing may change the thread's last error).
void report_win_error_code(const char* title, std::uint32_t code);
// The report text: "%s : [%d] %s" with a title, "[%d] : %s" without (title null). The
// system text brings its own line end; none is added.
std::string format_win_error(const char* title, std::uint32_t code, const std::string& text);

}  // namespace vox
