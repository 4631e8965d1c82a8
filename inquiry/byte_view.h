// Read access to an inquiry image that never leaves it: bytes past the end of the image
// read as zero, which is also what a zeroed buffer shows for bytes a device did not send.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vox {

class ByteView {
 public:
  constexpr ByteView() = default;
  constexpr explicit ByteView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  constexpr std::size_t size() const { return bytes_.size(); }
  constexpr std::uint8_t operator[](std::size_t at) const {
    return at < bytes_.size() ? bytes_[at] : 0;
  }
  // The bytes at..at+count-1 as far as the image reaches.
  constexpr std::span<const std::uint8_t> range(std::size_t at, std::size_t count) const {
    if (at >= bytes_.size()) return {};
    return bytes_.subspan(at, std::min(count, bytes_.size() - at));
  }
  // True when the bytes from `at` on spell `text` (compared over its own length).
  constexpr bool matches(std::size_t at, std::string_view text) const {
    for (std::size_t k = 0; k < text.size(); ++k) {
      if ((*this)[at + k] != static_cast<std::uint8_t>(text[k])) return false;
    }
    return true;
  }
  constexpr std::uint16_t be16(std::size_t at) const {
    return static_cast<std::uint16_t>((*this)[at] << 8 | (*this)[at + 1]);
  }
  constexpr std::uint32_t be32(std::size_t at) const {
    return static_cast<std::uint32_t>(be16(at)) << 16 | be16(at + 2);
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace vox
