// Writing a formatted report text to a C stream, byte for byte.
#pragma once

#include <cstdio>
#include <string_view>

namespace vox {

inline void put_text(std::string_view text, std::FILE* stream = stdout) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stream);
}

}  // namespace vox
