#include "report/text_format.h"

#include <cstdarg>

#include "transport/string_printf.h"

namespace vox {

std::string format_text(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string out = string_vprintf(format, args);
  va_end(args);
  return out;
}

}  // namespace vox
