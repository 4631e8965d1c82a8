#include "platform/hostimage/hex_text.h"

namespace vox::plat::hostimage {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

namespace {

bool is_gap(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::string parse_hex_text(std::string_view text, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  bytes.reserve(text.size() / 2);
  std::size_t i = 0;
  while (i < text.size()) {
    if (is_gap(text[i])) {
      ++i;
      continue;
    }
    const int high = hex_value(text[i]);
    if (high < 0) return "bad hex digit at position " + std::to_string(i + 1);
    if (i + 1 >= text.size() || is_gap(text[i + 1])) {
      return "incomplete hex pair at position " + std::to_string(i + 1);
    }
    const int low = hex_value(text[i + 1]);
    if (low < 0) return "bad hex digit at position " + std::to_string(i + 2);
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    i += 2;
  }
  return {};
}

std::string hex_lower(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0x0F]);
  }
  return text;
}

}  // namespace vox::plat::hostimage
