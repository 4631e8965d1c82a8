#include "transport/win_error.h"

#include <cstdio>

#include "platform/platform.h"
#include "transport/string_printf.h"

namespace vox {

std::string format_win_error(const char* title, std::uint32_t code, const std::string& text) {
  // The code is shown the way the C runtime shows a DWORD passed to %d.
  const int shown = static_cast<int>(code);
  if (title != nullptr) return string_printf("%s : [%d] %s", title, shown, text.c_str());
  return string_printf("[%d] : %s", shown, text.c_str());
}

void report_win_error_code(const char* title, std::uint32_t code) {
  const std::string text = plat::FormatSystemMessage(code);
  std::fputs(format_win_error(title, code, text).c_str(), stderr);
}

void report_win_error(const char* title) {
  report_win_error_code(title, plat::GetLastError());
}

}  // namespace vox
