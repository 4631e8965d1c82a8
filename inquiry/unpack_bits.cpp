#include "inquiry/unpack_bits.h"

namespace vox {

void unpack_bits(std::span<std::uint8_t> dest, std::span<const std::uint8_t> src, unsigned bits) {
  if (bits == 0 || bits > 8) return;
  const unsigned fields = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  std::size_t out = 0;
  for (const std::uint8_t byte : src) {
    for (unsigned j = 0; j < fields; ++j) {
      if (out == dest.size()) return;
      dest[out++] = static_cast<std::uint8_t>((byte >> (bits * (fields - 1 - j))) & mask);
    }
  }
}

}  // namespace vox
