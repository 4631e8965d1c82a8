// Device words the tool does not control: STDIN lines past 25598 characters or 99 words,
// NUL bytes and binary junk, words longer than every name buffer, numbers past the int
// range. The host has no disks, so each probed name is one "OPEN" line on stderr: the
// lines tell exactly which devices were probed, in order.
#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

// The probes of Harddisk<n> for each number in `numbers`.
std::string hd(const std::string& numbers) {
  std::vector<std::string> names;
  for (const std::string& n : words(numbers)) names.push_back("Harddisk" + n);
  return not_found(names);
}

std::string repeat(int count, const std::string& word) {
  std::string text;
  for (int i = 0; i < count; ++i) text += word;
  return text;
}

TEST(BadInputStdin, WhichDevicesAreProbed) {
  std::string hd1_to_150, n1_to_150, every_byte;
  for (int d = 1; d <= 150; ++d) hd1_to_150 += "hd" + std::to_string(d) + (d < 150 ? " " : "\n");
  for (int d = 1; d <= 150; ++d) n1_to_150 += std::to_string(d) + " ";
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  const std::string max = "2147483647 ", echo255 = "\\Dsk7" + std::string(250, 'x');
  const struct {
    const char* what;
    std::string in;
    std::string err;
    std::string args = {};
  } cases[] = {
      // A line stops after its 99th word; the rest is a line of its own, whose first word
      // is a first word.
      {"150 words: every one, in order", hd1_to_150, hd(n1_to_150)},
      {"quit as word 100 ends the run", repeat(99, "x ") + "quit hd1\nhd2\n", ""},
      {"quit as word 99 is a word", repeat(98, "x ") + "quit hd1\nhd2\n", hd("1 2")},
      {"# as word 100 starts a comment", repeat(99, "x ") + "#c hd1\nhd2\n", hd("2")},
      // A line holds 25598 characters; a word across the limit becomes two.
      {"hd345 ends at 25598", std::string(25593, ' ') + "hd345\n", hd("345")},
      {"hd345 cut after hd34", std::string(25594, ' ') + "hd345\n", hd("34 5")},
      {"quit after 25598 characters", std::string(25598, 'x') + "quit\nhd1\n", ""},
      // Four lines of digits, each read as the largest int.
      {"100,000 digits", std::string(100000, '1') + "\n", hd(repeat(4, max))},
      {"a word of 100,000", "hd7" + std::string(99997, 'x') + "\nhd8\n", hd("7 8")},
      // A NUL ends the word it stands in.
      {"NUL inside words", "hd1\0hd2 hd3\n\0hd4 hd5\n"s, hd("1 3 5")},
      {"NUL before #", "\0#x hd8\n"s, hd("8")},
      // Line feed and tab split; "0123456789" is the one digit run of the other word. The
      // Windows C runtime reads STDIN in text mode, where byte 0x1A ends the input.
      {"every byte value", every_byte + "\n", wine_mode() ? "" : hd("123456789")},
      {"CR LF, tabs, blanks", "hd1\r\n\t\thd2\t \thd3  \n \t \n", hd("1 2 3")},
      {"last line without a line feed", "hd1\nhd2", hd("1")},
      {"no input at all", "", ""},
      // Disk numbers stop at the int range, and so do ranges.
      {"number past int", "hd99999999999\n", hd(max)},
      {"range to the largest int", "hd2147483646-99999999999\n", hd("2147483646 " + max)},
      // 255 characters fit a display name; longer ones are refused with their first 255.
      {"echo word of 255", echo255 + "\n", not_found({echo255})},
      {"echo word of 256", echo255 + "y hd1\n", refused(echo255) + hd("1")},
      {"echo argument of 30,000", "", refused(echo255), "\\Dsk7" + std::string(29995, 'x')},
  };
  const Host host(Json{{"disks", Json::array()}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    expect_run(host.run(c.args, c.in), "", c.err);
  }
}

// The CLI tables show a row for every probed name, present or not, and none for a refused
// one; a first name of 25 or more characters widens the name column. The sorted collection
// keeps names whole and leaves out devices that were not found.
TEST(BadInputStdin, LongNamesInCliRows) {
  const std::string echo255 = "\\Dsk7" + std::string(250, 'x');
  const std::string rows = "DEVICE_FILE" + std::string(50, ' ') +
                           "PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n" +
                           format("%-60s %-7s %6d %5s  %2s  %s  %4s %7s %-16s\n", echo255.c_str(),
                                  "CL1-A", 12345, "1234", "-", "     -", "-", "-", "OPEN-V");
  const std::string absent = format("%-60s %-7s %6s  %4s  %2s  %s  %4s %7s %-16s\n", "Harddisk1",
                                    "-", "-", "-", "-", "     -", "-", "-", "-");
  const Host host(Json{{"disks", {rb_disk(7)}}});
  const std::string input = echo255 + "y " + echo255 + " hd1\n";
  expect_run(host.run("-CLI", input), rows + absent, "");
  expect_run(host.run("-sort -CLI", input), rows, "");
}

// A megabyte of junk without digits names no device and ends the run cleanly.
TEST(BadInputStdin, JunkWithoutDigits) {
  std::string junk;
  std::uint32_t x = 12345;
  for (int i = 0; i < (1 << 20); ++i) {
    x = x * 1103515245u + 12345u;
    const char c = static_cast<char>(x >> 23);
    junk += (c >= '0' && c <= '9') ? '$' : c;
  }
  const Host host(Json{{"disks", Json::array()}});
  expect_run(host.run("", junk), "", "");
  expect_run(host.run("-CLI", junk), "", "");
}

}  // namespace
}  // namespace vox::e2e::bad_input
