// Numbers written as text inside inquiry data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "inquiry/byte_view.h"

namespace vox {

// The number in bytes at..at+count-1 read in base 10 or 16: leading blanks are skipped,
// reading stops at the first byte that is not a digit of the base or at the end of the
// range, and no digit gives 0. Ranges are at most 8 bytes, so the value always fits.
std::int32_t read_decimal(ByteView bytes, std::size_t at, std::size_t count);
std::int32_t read_hex(ByteView bytes, std::size_t at, std::size_t count);

}  // namespace vox
