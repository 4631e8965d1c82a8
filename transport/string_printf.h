// printf-style formatting into a std::string, for message texts that are built apart
// from the stream they end up on.
#pragma once

#include <cstdarg>
#include <string>

namespace vox {

std::string string_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string string_vprintf(const char* format, std::va_list args);

}  // namespace vox
