// Device words the tool does not control: STDIN lines past 25598 characters or 99
// words, NUL bytes and binary junk, words longer than every name buffer, numbers past
// the int range. The host has no disks, so every probed name shows as one "OPEN" line
// on stderr: the lines tell exactly which devices were probed, in order.
#include <cstdint>
#include <string>
#include <vector>

#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

using namespace std::string_literals;

std::string words(int count, const std::string& word) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i ? " " : "") + word;
  return text;
}

std::vector<std::string> disks(int first, int last) {
  std::vector<std::string> names;
  for (int d = first; d <= last; ++d) names.push_back("Harddisk" + std::to_string(d));
  return names;
}

TEST(BadInputStdin, WhichDevicesAreProbed) {
  std::string hd1_to_150;
  for (int d = 1; d <= 150; ++d) hd1_to_150 += "hd" + std::to_string(d) + (d < 150 ? " " : "\n");
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  const std::string max = "Harddisk2147483647";
  const std::string echo255 = "\\Dsk7" + std::string(250, 'x');
  const std::string too_long = echo255 + "y";
  const struct {
    const char* what;
    std::string stdin_text;
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      // A line stops after its 99th word; the rest of the physical line is a line of
      // its own, so nothing is lost ...
      {"150 words: every one, in order", hd1_to_150, {}, not_found(disks(1, 150))},
      // ... but its first word is a first word.
      {"quit as word 100 ends the run", words(99, "x") + " quit hd1\nhd2\n", {}, ""},
      {"quit as word 99 is a word",
       words(98, "x") + " quit hd1\nhd2\n",
       {},
       not_found(disks(1, 2))},
      {"# as word 100 starts a comment",
       words(99, "x") + " #c hd1\nhd2\n",
       {},
       not_found({"Harddisk2"})},
      // A line holds 25598 characters; a word across the limit becomes two.
      {"hd345 ends at 25598", std::string(25593, ' ') + "hd345\n", {}, not_found({"Harddisk345"})},
      {"hd345 cut after hd3",
       std::string(25595, ' ') + "hd345\n",
       {},
       not_found({"Harddisk3", "Harddisk45"})},
      {"hd345 cut after hd34",
       std::string(25594, ' ') + "hd345\n",
       {},
       not_found({"Harddisk34", "Harddisk5"})},
      {"quit after 25598 characters ends the run", std::string(25598, 'x') + "quit\nhd1\n", {}, ""},
      // 100,000 digits: four lines of digits, each read as the largest int.
      {"100,000 digits", std::string(100000, '1') + "\n", {}, not_found({max, max, max, max})},
      {"one word of 100,000 characters",
       "hd7" + std::string(99997, 'x') + "\nhd8\n",
       {},
       not_found({"Harddisk7", "Harddisk8"})},
      // A NUL ends the word it stands in.
      {"NUL inside words",
       "hd1\0hd2 hd3\n\0hd4 hd5\n"s,
       {},
       not_found({"Harddisk1", "Harddisk3", "Harddisk5"})},
      {"NUL before #", "\0#x hd8\n"s, {}, not_found({"Harddisk8"})},
      {"quit then NUL ends the run", "quit\0x hd6\nhd7\n"s, {}, ""},
      // Line feed and tab split; "0123456789" is the one digit run of the other word.
      // The Windows C runtime reads STDIN in text mode, where byte 0x1A ends the input.
      {"every byte value",
       every_byte + "\n",
       {},
       wine_mode() ? "" : not_found({"Harddisk123456789"})},
      {"CR LF, tabs, runs of blanks",
       "hd1\r\n\t\thd2\t \thd3  \n \t \n",
       {},
       not_found(disks(1, 3))},
      {"last line without a line feed", "hd1\nhd2", {}, not_found({"Harddisk1"})},
      {"no input at all", "", {}, ""},
      // Disk numbers stop at the int range, and so do ranges.
      {"number past int", "hd99999999999\n", {}, not_found({max})},
      {"range to the largest int",
       "hd2147483646-99999999999\n",
       {},
       not_found({"Harddisk2147483646", max})},
      // Echo words: 255 characters fit the display name, longer ones are refused with
      // their first 255 characters.
      {"echo word of 255", echo255 + "\n", {}, not_found({echo255})},
      {"echo word of 256", too_long + " hd1\n", {}, refused(too_long) + not_found({"Harddisk1"})},
      {"echo word of 25598", "\\Dsk7" + std::string(25593, 'x') + "\n", {}, refused(echo255)},
      {"echo argument of 30,000", "", {"\\Dsk7" + std::string(29995, 'x')}, refused(echo255)},
  };
  const Host host(Json{{"disks", Json::array()}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const RunResult r = host.run(c.args, c.stdin_text);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit_code, 0);
  }
}

// The CLI tables show a row for every probed name, present or not, and nothing for a
// refused one; a first name of 25 or more characters widens the name column. The sorted
// collection keeps names whole and leaves out devices that were not found.
TEST(BadInputStdin, LongNamesInCliRows) {
  const std::string echo255 = "\\Dsk7" + std::string(250, 'x');
  const std::string head = "DEVICE_FILE" + std::string(50, ' ') +
                           "PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n";
  const std::string present =
      format("%-60s %-7s %6d %5s  %2s  %s  %4s %7s %-16s\n", echo255.c_str(), "CL1-A", 12345,
             "1234", "-", "     -", "-", "-", "OPEN-V");
  const std::string absent = format("%-60s %-7s %6s  %4s  %2s  %s  %4s %7s %-16s\n", "Harddisk1",
                                    "-", "-", "-", "-", "     -", "-", "-", "-");
  Json d = disk(7, volume_std());
  d["pages"]["83"]["data"] = hex(rb_page(12345, 1234).build());
  const Host host(Json{{"disks", {d}}});
  const std::string input = echo255 + "y " + echo255 + " hd1\n";
  for (const bool sorted : {false, true}) {
    SCOPED_TRACE(sorted ? "-sort -CLI" : "-CLI");
    const RunResult r = host.run(
        sorted ? std::vector<std::string>{"-sort", "-CLI"} : std::vector<std::string>{"-CLI"},
        input);
    EXPECT_EQ(r.out, head + present + (sorted ? "" : absent));
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_code, 0);
  }
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
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"-CLI"}}) {
    const RunResult r = host.run(args, junk);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_code, 0);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
