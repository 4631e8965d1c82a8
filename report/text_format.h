// printf-style formatting into a std::string, for the pure formatters of the reports.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vox {

#if defined(__clang__)
#define VOX_PRINTF_LIKE(f, a) __attribute__((format(printf, f, a)))
#else
#define VOX_PRINTF_LIKE(f, a) __attribute__((format(gnu_printf, f, a)))
#endif

// The text that printf would print for `format` and the arguments, however long.
std::string format_text(const char* format, ...) VOX_PRINTF_LIKE(1, 2);

// The text of a fixed-size character field: up to its first NUL, never past its end.
template <std::size_t N>
std::string_view field_text(const char (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return std::string_view(field, n);
}

// The text, or the placeholder "-" of a missing value when it is empty. Built in one
// step: assigning "-" to a string afterwards trips a false -Wrestrict warning of g++ 12.
inline std::string dash_if_empty(std::string_view text) {
  return std::string(text.empty() ? std::string_view("-") : text);
}

}  // namespace vox
