// The -inqdump layout: a title line, then 16 bytes to a 78-column line
//
//   [0xAAAAAAAA]OOOO:   hhhhhhhh hhhhhhhh hhhhhhhh hhhhhhhh     cccccccccccccccc
//
// with the low 32 bits of each line's first byte address, the offset, four groups of
// four hex bytes and the bytes as characters; a column header stands before the lines
// of offsets 0, 256, 512 ...
#include "transport/inq_dump.h"

#include <array>
#include <cstdio>

namespace vox {
namespace {

constexpr std::size_t kLineWidth = 78;
constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kHexColumn = 20;
constexpr std::size_t kHexGroupStride = 9;  // eight digits and one blank
constexpr std::size_t kCharColumn = 60;

constexpr const char kColumnHeader[] =
    " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------\n";
constexpr const char kHexDigits[] = "0123456789abcdef";

using Line = std::array<char, kLineWidth>;

// Bytes 0xF0..0xF9 are the digits of the EBCDIC code page: they show as '0'..'9'.
char dump_char(std::uint8_t byte) {
  if (byte >= 0xF0 && byte <= 0xF9) byte &= 0x3F;
  if (byte < 0x20 || byte > 0x7E) return '.';
  return static_cast<char>(byte);
}

void start_line(Line& line, std::uintptr_t address, std::size_t offset) {
  line.fill(' ');
  char head[40];
  const int n = std::snprintf(head, sizeof head,
                              "[0x%08x]%04x:", static_cast<unsigned>(address & 0xFFFFFFFFu),
                              static_cast<unsigned>(offset));
  for (int k = 0; k < n && static_cast<std::size_t>(k) < line.size(); ++k) line[k] = head[k];
}

void end_line(std::string& out, const Line& line) {
  out.append(line.data(), line.size());
  out.push_back('\n');
}

}  // namespace

std::string format_inq_dump(const char* title, const std::uint8_t* data, std::size_t length,
                            std::uintptr_t address) {
  std::string out = "               ***** ";
  out += title != nullptr ? title : "";
  out += " dump  *****\n";
  if (data == nullptr) return out;

  Line line;
  for (std::size_t i = 0; i < length; ++i) {
    const std::size_t column = i % kBytesPerLine;
    if (column == 0) {
      if (i != 0) end_line(out, line);
      if (i % 256 == 0) out += kColumnHeader;
      start_line(line, address + i, i);
    }
    const std::uint8_t byte = data[i];
    const std::size_t hex = kHexColumn + (column / 4) * kHexGroupStride + (column % 4) * 2;
    line[hex] = kHexDigits[byte >> 4];
    line[hex + 1] = kHexDigits[byte & 0x0F];
    line[kCharColumn + column] = dump_char(byte);
  }
  if (length != 0) end_line(out, line);
  return out;
}

void inq_dump(const char* title, const std::uint8_t* data, std::size_t length) {
  const std::string text =
      format_inq_dump(title, data, length, reinterpret_cast<std::uintptr_t>(data));
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace vox
