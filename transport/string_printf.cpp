#include "transport/string_printf.h"

#include <cstdio>

namespace vox {

std::string string_vprintf(const char* format, std::va_list args) {
  std::va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (needed <= 0) return {};
  std::string text(static_cast<std::size_t>(needed) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<std::size_t>(needed));
  return text;
}

std::string string_printf(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::string text = string_vprintf(format, args);
  va_end(args);
  return text;
}

}  // namespace vox
