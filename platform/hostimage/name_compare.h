// Object names of the Windows namespace (DOS names, device targets) compare without
// regard to ASCII case, as the object manager compares them.
#pragma once

#include <string>
#include <string_view>

namespace vox::plat::hostimage {

inline char fold_char(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string fold_case(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = fold_char(c);
  return out;
}

inline bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold_char(a[i]) != fold_char(b[i])) return false;
  return true;
}

}  // namespace vox::plat::hostimage
