#include "platform/hostimage/guid_text.h"

#include <cstdio>

#include "platform/hostimage/hex_text.h"

namespace vox::plat::hostimage {
namespace {

// Text order of the 16 bytes: which record byte each pair of digits fills. Data1, Data2
// and Data3 are little-endian in the record, so their digits fill it from the back.
constexpr std::array<int, 16> kRecordIndex = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};

}  // namespace

bool parse_guid_text(std::string_view text, Guid& guid) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return false;
  Guid bytes{};
  std::size_t pos = 0;
  for (int n = 0; n < 16; ++n) {
    if (pos == 8 || pos == 13 || pos == 18 || pos == 23) {
      if (text[pos] != '-') return false;
      ++pos;
    }
    const int high = hex_value(text[pos]);
    const int low = hex_value(text[pos + 1]);
    if (high < 0 || low < 0) return false;
    bytes[static_cast<std::size_t>(kRecordIndex[static_cast<std::size_t>(n)])] =
        static_cast<std::uint8_t>(high * 16 + low);
    pos += 2;
  }
  guid = bytes;
  return true;
}

std::string format_guid_text(const Guid& g) {
  char text[40];
  std::snprintf(text, sizeof text,
                "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", g[3], g[2],
                g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14],
                g[15]);
  return text;
}

}  // namespace vox::plat::hostimage
