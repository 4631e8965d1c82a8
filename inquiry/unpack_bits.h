// Splitting bytes that pack several small fields.
#pragma once

#include <cstdint>
#include <span>

namespace vox {

// Each source byte gives 8 / bits destination bytes, the field nearest the most
// significant end first: with bits 2 the byte 0b11100100 gives 3, 2, 1, 0. Writing stops
// when `dest` is full; bits outside 1..8 write nothing.
void unpack_bits(std::span<std::uint8_t> dest, std::span<const std::uint8_t> src, unsigned bits);

}  // namespace vox
