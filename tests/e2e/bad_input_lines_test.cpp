// Text read line by line that the tool does not control: device words on STDIN (lines past
// 25598 characters or 99 words, NUL bytes, binary junk, words longer than every name
// buffer, numbers past the int range) and the pair-status tool's answers (thousands of
// lines, no line feed, 150 fields, NUL bytes, a failing status).
#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

std::string repeat(int count, const std::string& text) {
  std::string all;
  for (int i = 0; i < count; ++i) all += text;
  return all;
}

// The probes of Harddisk<n> for each number in `numbers`.
std::string hd(const std::string& numbers) {
  std::vector<std::string> names;
  for (const std::string& n : words(numbers)) names.push_back("Harddisk" + n);
  return not_found(names);
}

// The host has no disks, so each probed name is one "OPEN" line on stderr: the lines tell
// exactly which devices were probed, in order.
TEST(BadInputStdin, WhichDevicesAreProbed) {
  std::string hd150, n150, every_byte, junk;
  for (int d = 1; d <= 150; ++d) hd150 += "hd" + std::to_string(d) + (d < 150 ? " " : "\n");
  for (int d = 1; d <= 150; ++d) n150 += std::to_string(d) + " ";
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  for (std::uint32_t i = 0, x = 12345; i < (1u << 20); ++i, x = x * 1103515245u + 12345u)
    junk += std::isdigit(static_cast<unsigned char>(x >> 23)) ? '$' : static_cast<char>(x >> 23);
  const std::string max = "2147483647 ", echo255 = "\\Dsk7" + std::string(250, 'x');
  const struct {
    const char* what;
    std::string in, err, args = {};
  } cases[] = {
      // A line stops after its 99th word; the rest is a line of its own: its first word is
      // a first word.
      {"150 words: every one, in order", hd150, hd(n150)},
      {"quit as word 100 ends the run", repeat(99, "x ") + "quit hd1\nhd2\n", ""},
      {"quit as word 99 is a word", repeat(98, "x ") + "quit hd1\nhd2\n", hd("1 2")},
      // A line holds 25598 characters; a word across the limit becomes two.
      {"hd345 ends at 25598", std::string(25593, ' ') + "hd345\n", hd("345")},
      {"hd345 cut after hd34", std::string(25594, ' ') + "hd345\n", hd("34 5")},
      {"100,000 digits: four largest ints", std::string(100000, '1') + "\n", hd(repeat(4, max))},
      {"range to past int", "hd2147483646-99999999999\n", hd("2147483646 " + max)},
      // A NUL ends the word it stands in.
      {"NUL inside words", "hd1\0hd2 hd3\n\0hd4 hd5\n"s, hd("1 3 5")},
      // Line feed and tab split; "0123456789" is the one digit run of the other word. The
      // Windows C runtime reads STDIN in text mode, where byte 0x1A ends the input.
      {"every byte value", every_byte + "\n", wine_mode() ? "" : hd("123456789")},
      {"a megabyte of junk without digits", junk, ""},
      {"the junk with -CLI", junk, "", "-CLI"},
      {"CR LF, tabs, blanks", "hd1\r\n\t\thd2\t \thd3  \n \t \n", hd("1 2 3")},
      {"last line without a line feed", "hd1\nhd2", hd("1")},
      {"no input at all", "", ""},
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
                           "PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n" + echo255 +
                           " CL1-A    12345  1234   -       -     -       - OPEN-V          \n";
  const std::string absent = "Harddisk1" + std::string(52, ' ') +
                             "-            -     -   -       -     -       - -               \n";
  const Host host(Json{{"disks", {rb_disk(7)}}});
  const std::string input = echo255 + "y " + echo255 + " hd1\n";
  expect_run(host.run("-CLI", input), rows + absent, "");
  expect_run(host.run("-sort -CLI", input), rows, "");
}

TEST(BadInputTwinlist, Answers) {
  if (wine_mode()) GTEST_SKIP() << "the stand-in is a POSIX shell script";
  const std::string title =
      "Group PairVol L/R Device_File Serial# LDEV# P/S Status Seq# P-LDEV# M\n";
  const std::string own = "VG01 boot L Harddisk1 12345 1234 P-VOL PAIR x 150000 2816 0";
  const std::string partner = " boot R Harddisk2 150000 2816 S-VOL PAIR x 12345 1234 0";
  const std::string table =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n"
      "Harddisk1      -  VG01     boot       P-VOL PAIR  Harddisk2   -  S-VOL PAIR OK\n";
  const std::string no_such = "Harddisk1[-] -> No such on the group\n", x100k(100000, 'x');
  std::string fields, lines;
  for (int i = 0; i < 150; ++i) fields += " f" + std::to_string(i);
  for (int i = 0; i < 5000; ++i) lines += "line " + std::to_string(i) + "\n";
  const struct {
    const char* what;
    std::string args, answer;
    int status;
    std::string out, err;
  } cases[] = {
      {"no last line feed", "-findc", title + own + "\nVG01" + partner, 0, table, ""},
      {"NUL bytes end their fields", "-findc", title + own + "\0j\nVG01\0x"s + partner, 0, table,
       ""},
      {"5000 lines", "-findc", lines, 0, "", no_such},
      {"150 fields: five lines", "-findc", title + own + fields + "\nVG01" + partner + fields, 0,
       "", no_such},
      // Three full lines of 25598 and a last piece: lines of one field are no pair lines.
      {"100,000 characters, no line feed", "-findc", x100k, 0, "", ""},
      {"300,000 characters, no line feed", "-findc", x100k + x100k + x100k, 0, "", no_such},
      {"no answer", "-findc", "", 0, "", ""},
      {"a good answer with status 1", "-findc", title + own + "\nVG01" + partner, 1, "", no_such},
      // -find shows the answer as the tool prints it.
      {"-find, 5000 lines", "-find", lines, 0, lines + "->Harddisk1\n", ""},
      {"-find, no line feed", "-find", x100k, 0, x100k + "->Harddisk1\n", ""},
      {"-find, status 3", "-find", "x\n", 3, "x\n", "Harddisk1 -> No such on the group\n"},
  };
  // Volume 12345/1234 as a remote copy P-VOL: -findc asks for remote MU 0 (label "-").
  StdInquiryBuilder std55;
  std55.additional_length(55).serial_text("0300").pair_states(2, 0, 0, 0);
  const Host host(Json{{"root", "root"}, {"disks", {rb_disk(1, std55.build())}}});
  const std::string tool = host.dir.file("root/VEXAM/etc/twinlist.exe");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    host.dir.write("root/VEXAM/etc/answer", c.answer);
    host.dir.write("root/VEXAM/etc/twinlist.exe",
                   format("#!/bin/sh\ncat \"${0%%/*}/answer\"\nexit %d\n", c.status));
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    expect_run(host.run(c.args + " hd1"), c.out, c.err);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
