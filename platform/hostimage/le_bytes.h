// Little-endian stores and loads at fixed offsets of a byte buffer, as the Windows
// records lay their fields out. Callers size the buffer first; an access past its end
// is a programming error caught by the bounds check (nothing is written or read then).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vox::plat::hostimage {

template <typename T>
inline void put_le(std::span<std::uint8_t> bytes, std::size_t offset, T value) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return;
  auto v = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i)
    bytes[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <typename T>
inline T get_le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return T{};
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t{bytes[offset + i]} << (8 * i);
  return static_cast<T>(v);
}

}  // namespace vox::plat::hostimage
