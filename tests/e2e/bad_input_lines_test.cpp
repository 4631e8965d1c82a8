// Text the tool does not control, at and past every limit: device words on STDIN, answers of
// the pair-status tool, mountvol output and the names Windows lists.
#include <regex>

#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

std::string repeat(int count, const std::string& text) {
  std::string all;
  for (int i = 0; i < count; ++i) all += text;
  return all;
}

// The probes of Harddisk<n> for each number in `numbers`, on a host without disks.
std::string hd(const std::string& numbers) {
  std::vector<std::string> names;
  for (const std::string& n : words(numbers)) names.push_back("Harddisk" + n);
  return not_found(names);
}

// Each probed name is one "OPEN" line on stderr: the lines tell which devices were probed.
TEST(BadInputStdin, WhichDevicesAreProbed) {
  std::string hd150, n150, every_byte, junk;
  for (int d = 1; d <= 150; ++d)
    hd150 += "hd" + std::to_string(d) + " ", n150 += std::to_string(d) + " ";
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  for (std::uint32_t i = 0, x = 12345; i < (1u << 20); ++i, x = x * 1103515245u + 12345u)
    junk += std::isdigit(static_cast<unsigned char>(x >> 23)) ? '$' : static_cast<char>(x >> 23);
  const std::string max = "2147483647 ", echo255 = "\\Dsk9" + std::string(250, 'x');
  const struct {
    const char* what;
    std::string in, err, args = {};
  } cases[] = {
      // A line stops after its 99th word; the rest is a line whose first word is a first word.
      {"150 words: every one, in order", hd150 + "\n", hd(n150)},
      {"quit as word 100 ends the run", repeat(99, "x ") + "quit hd1\nhd2\n", ""},
      {"quit as word 99 is a word", repeat(98, "x ") + "quit hd1\nhd2\n", hd("1 2")},
      // A line holds 25598 characters; a word across the limit becomes two.
      {"hd345 ends at 25598", std::string(25593, ' ') + "hd345\n", hd("345")},
      {"hd345 cut after hd34", std::string(25594, ' ') + "hd345\n", hd("34 5")},
      {"100,000 digits: four largest ints", std::string(100000, '1') + "\n", hd(repeat(4, max))},
      {"range to past int", "hd2147483646-99999999999\n", hd("2147483646 " + max)},
      {"NUL ends the word it is in", "hd1\0hd2 hd3\n\0hd4 hd5\n"s, hd("1 3 5")},
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
      {"echo argument of 30,000", "", refused(echo255), "\\Dsk9" + std::string(29995, 'x')},
  };
  const Host host(Json{{"disks", Json::array()}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    expect_run(host.run(c.args, c.in), "", c.err);
  }
}

TEST(BadInputTwinlist, Answers) {
  if (wine_mode()) GTEST_SKIP() << "the stand-in is a POSIX shell script";
  const std::string own =
      "Group PairVol L/R Device_File Serial# LDEV# P/S Status Seq# P-LDEV# M\n"
      "VG01 boot L Harddisk1 12345 1234 P-VOL PAIR x 150000 2816 0";
  const std::string partner = " boot R Harddisk2 150000 2816 S-VOL PAIR x 12345 1234 0";
  const std::string table =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n"
      "Harddisk1      -  VG01     boot       P-VOL PAIR  Harddisk2   -  S-VOL PAIR OK\n";
  const std::string no_such = "Harddisk1[-] -> No such on the group\n", x(100000, 'x');
  std::string lines;
  for (int i = 0; i < 5000; ++i) lines += "line " + std::to_string(i) + "\n";
  const struct {
    std::string args, answer;
    int status;
    std::string out, err;
  } cases[] = {
      {"-findc", own + "\nVG01" + partner, 0, table, ""},         // no last line feed
      {"-findc", own + "\0j\nVG01\0x"s + partner, 0, table, ""},  // NUL ends its field
      {"-findc", lines, 0, "", no_such},
      // Three full lines of 25598 and a last piece: lines of one field are no pair lines.
      {"-findc", x, 0, "", ""},
      {"-findc", x + x + x, 0, "", no_such},
      {"-findc", own + "\nVG01" + partner, 1, "", no_such},
      // -find shows the answer as the tool prints it.
      {"-find", lines, 0, lines + "->Harddisk1\n", ""},
      {"-find", x, 3, x, "Harddisk1 -> No such on the group\n"},
  };
  // Volume 12345/1234 as a remote copy P-VOL: -findc asks for remote MU 0 (label "-").
  StdInquiryBuilder std55;
  std55.additional_length(55).serial_text("0300").pair_states(2, 0, 0, 0);
  const Host host(Json{{"root", "root"}, {"disks", {rb_disk(1, std55.build())}}});
  const std::string tool = host.dir.file("root/VEXAM/etc/twinlist.exe");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + " " + c.answer.substr(0, 80) + " status " + std::to_string(c.status));
    host.dir.write("root/VEXAM/etc/answer", c.answer);
    host.dir.write("root/VEXAM/etc/twinlist.exe",
                   format("#!/bin/sh\ncat \"${0%%/*}/answer\"\nexit %d\n", c.status));
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    expect_run(host.run(c.args + " hd1"), c.out, c.err);
  }
}

const std::string kVolume507 = "Volume{" + std::string(499, 'w') + "}";  // + "\\.\" = 511

// C: on disk 1; every "Volume{...}" name on disk 2; E: names a target longer than the
// 512-byte buffer; F: spans disks 0 to 1499.
Json names_host(const std::string& mountvol_output) {
  Json dos = Json::array(), many = Json::array();
  const std::vector<std::string> pairs =
      words("C: 3 Volume{m} 4 Volume{" + std::string(500, 'w') + "} 4 " + kVolume507 + " 4 E: 9" +
            std::string(600, 'x') + " F: 5");
  for (std::size_t k = 0; k < pairs.size(); k += 2)
    dos.push_back({{"name", pairs[k]}, {"target", "\\Device\\HarddiskVolume" + pairs[k + 1]}});
  for (int d = 0; d < 1500; ++d) many.push_back(d);
  Json volumes = Json::parse(R"([{"target": "\\Device\\HarddiskVolume3", "disks": [1]},
      {"target": "\\Device\\HarddiskVolume4", "disks": [2]}, {"target": "\\Device\\HarddiskVolume5"}])");
  volumes[2]["disks"] = many;
  return Json{{"disks", Json::array()},
              {"dos_devices", dos},
              {"volumes", volumes},
              {"mountvol_output", mountvol_output}};
}

TEST(BadInputNames, MountvolAndDosNames) {
  const std::string vm = "\\\\?\\Volume{m}\\\n", v4 = "\\Vol4\\Dsk2";
  // 33,333 times a volume, a mount point on D: and a blank line, then two mount points on C:.
  std::string many;
  for (int k = 0; k < 33333; ++k) many += vm + "  D:\\n\\" + std::to_string(k) + "\\\n\n";
  many += vm + "  C:\\\n  C:\\mnt\\a\\\n  C:\\mnt\\b\\\n";
  // A line of 100,000 characters is four lines: its first token is too long for an entry,
  // and the next piece, no path, ends the volume. A path and 100,000 blanks is one entry.
  const std::string long_lines = vm + " C:\\\n C:\\long" + std::string(99989, 'x') +
                                 "\n C:\\after\\\n" + vm + " C:\\mnt\\c\\" +
                                 std::string(100000, ' ') + "\n C:\\mnt\\d\\\n";
  std::vector<std::string> f_disks;
  for (int d = 0; d < 1024; ++d) f_disks.push_back("F:\\Vol5\\Dsk" + std::to_string(d));
  const std::string c = not_found({"C:\\Vol3\\Dsk1"});
  const struct {
    const char* what;
    std::string mountvol, args, err;
  } cases[] = {
      {"100,000 lines", many, "$C: $D:\\n\\3333",
       c + not_found({"C:\\mnt\\a" + v4, "C:\\mnt\\b" + v4, "D:\\n\\3333" + v4, "D:\\n\\33330" + v4,
                      "D:\\n\\33331" + v4, "D:\\n\\33332" + v4})},
      {"lines of 100,000", long_lines,
       "$C:", c + not_found({"C:\\mnt\\c" + v4, "C:\\mnt\\d" + v4})},
      {"NUL bytes and junk", vm + " C:\\\0x\\\n\x01\x7f C:\\z\\\n"s, "$C:", c},
      // "\\.\" and a name of 508 do not fit 512 bytes: the name is passed over; 507 is taken.
      {"volume names as prefixes", "", "-fv $Volume",
       not_found({"Volume{m}" + v4}) + refused(kVolume507)},
      {"target past 512 bytes", "", "$E:", ""},
      {"1500 extents: the first 1024 disks", "", "$F:", not_found(f_disks)},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    expect_run(Host(names_host(row.mountvol)).run(row.args), "", row.err);
  }
}

// QRY_BUF_SZ sets the base size S of the DOS name list: buffers of S, 2S, 3S ... bytes, two
// of them kept for string ends, until the list leaves more than 512 units free.
TEST(BadInputNames, ListBufferSetting) {
  const Host host(names_host(""));
  const char* const cases[][2] = {
      {nullptr, "16382 "},
      {"0", "16382 "},
      {"-5", "16382 "},
      {"abc", "16382 "},
      {"1", "0 1 2 3 "},
      {"  77xyz", "75 152 229 "},
      {"99999999999", "4294967293 "},
  };
  const std::regex attempt(R"(QueryDosDevice \* size=(\d+) -> )");
  for (const auto& [value, sizes] : cases) {
    SCOPED_TRACE(value ? value : "(unset)");
    const RunResult r = host.run("$C:", {}, value ? Env{{"QRY_BUF_SZ", value}} : Env{});
    expect_run(r, "", not_found({"C:\\Vol3\\Dsk1"}));
    const std::string trace = host.trace();
    std::string seen;
    for (std::sregex_iterator m(trace.begin(), trace.end(), attempt), end; m != end; ++m)
      seen += (*m)[1].str() + " ";
    EXPECT_TRUE(seen.starts_with(sizes)) << seen;
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
