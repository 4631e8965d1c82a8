#include "inquiry/text_numbers.h"

namespace vox {
namespace {

// Value of a digit in `base`, or -1.
int digit_value(std::uint8_t c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  return value < base ? value : -1;
}

std::int32_t read_number(ByteView bytes, std::size_t at, std::size_t count, int base) {
  const std::size_t end = at + count;
  std::size_t i = at;
  while (i < end && bytes[i] == ' ') ++i;
  std::uint32_t value = 0;  // unsigned: wraps instead of overflowing on a long range
  for (; i < end; ++i) {
    const int digit = digit_value(bytes[i], base);
    if (digit < 0) break;
    value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t read_decimal(ByteView bytes, std::size_t at, std::size_t count) {
  return read_number(bytes, at, count, 10);
}

std::int32_t read_hex(ByteView bytes, std::size_t at, std::size_t count) {
  return read_number(bytes, at, count, 16);
}

}  // namespace vox
