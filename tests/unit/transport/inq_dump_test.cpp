#include "transport/inq_dump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace vox {
namespace {

const std::string kHeader =
    " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------\n";
std::string title(const char* t) {
  return "               ***** " + std::string(t) + " dump  *****\n";
}
std::string blanks(std::size_t n) {
  return std::string(n, ' ');
}

TEST(InqDump, Layout) {
  const std::uint8_t four[] = {0x00, 0x00, 0x05, 0x02};
  EXPECT_EQ(format_inq_dump("STD inquiry", four, 4, 0x1000),
            title("STD inquiry") + kHeader + "[0x00001000]0000:   00000502" + blanks(32) + "...." +
                blanks(14) + "\n");

  std::vector<std::uint8_t> twenty(20);
  std::iota(twenty.begin(), twenty.end(), 0x41);  // 'A' .. 'T'
  twenty[4] = 0xF5;                               // shows as the digit 5
  twenty[5] = 0xFA;                               // not a digit: '.'
  EXPECT_EQ(format_inq_dump("P83 inquiry", twenty.data(), 20, 0x12345678),
            title("P83 inquiry") + kHeader +
                "[0x12345678]0000:   41424344 f5fa4748 494a4b4c 4d4e4f50     ABCD5.GHIJKLMNOP  \n"
                "[0x12345688]0010:   51525354" +
                blanks(32) + "QRST" + blanks(14) + "\n");

  EXPECT_EQ(format_inq_dump("PE2 inquiry", four, 0, 0), title("PE2 inquiry"));
  EXPECT_EQ(format_inq_dump(nullptr, nullptr, 16, 0), title(""));
}

TEST(InqDump, HeaderRepeatsEvery256BytesAndAddressKeepsLow32Bits) {
  const std::vector<std::uint8_t> data(257, 0x7F);
  const std::string text = format_inq_dump("X", data.data(), data.size(), 0x1FFFFFFF8ull);
  const std::string tail =
      kHeader + "[0x000000f8]0100:   7f" + blanks(38) + "." + blanks(17) + "\n";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(text.compare(title("X").size() + kHeader.size(), 17, "[0xfffffff8]0000:"), 0);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 2 + 17);  // title, headers, lines
}

}  // namespace
}  // namespace vox
