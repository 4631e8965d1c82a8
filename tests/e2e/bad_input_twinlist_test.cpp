// Answers of the pair-status tool that the tool does not control: thousands of lines,
// no line feed at all, lines of 150 fields, NUL bytes, a failing status. A small script
// under the host image's root stands in for the tool and prints a prepared answer.
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

using namespace std::string_literals;

// Disk 1: volume 12345/1234 with a remote copy pair state (P-VOL), so -findc asks for
// remote MU 0 (label "-") and -find for "0 ".
Json pair_host() {
  Json d = disk(1, StdInquiryBuilder()
                       .additional_length(55)
                       .serial_text("0300")
                       .pair_states(2, 0, 0, 0)
                       .build());
  d["pages"]["83"]["data"] = hex(rb_page(12345, 1234).build());
  return Json{{"root", "root"}, {"disks", {d}}};
}

// The tool's answer for "-fd -CLI": a title line and the two pair lines.
const std::string kTitle = "Group PairVol L/R Device_File Serial# LDEV# P/S Status Seq# P-LDEV# M";
const std::string kOwn = "VG01 boot L Harddisk1 12345 1234 P-VOL PAIR x 150000 2816 0";
const std::string kPartner = "VG01 boot R Harddisk2 150000 2816 S-VOL PAIR x 12345 1234 0";

std::string many_lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\n";
  return text;
}

TEST(BadInputTwinlist, Answers) {
  if (wine_mode()) GTEST_SKIP() << "the stand-in is a POSIX shell script";
  const std::string header =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n";
  const std::string row =
      format("%-14s %-2s %-8s %-10s %-5s %-4s  %-11s %-2s %-5s %-4s %-2s\n", "Harddisk1", "-",
             "VG01", "boot", "P-VOL", "PAIR", "Harddisk2", "-", "S-VOL", "PAIR", "OK");
  const std::string no_such = "Harddisk1[-] -> No such on the group\n";
  std::string fields;
  for (int i = 0; i < 150; ++i) fields += " f" + std::to_string(i);
  const struct {
    const char* what;
    std::string args;
    std::string answer;
    int status;
    std::string out;
    std::string err;
  } cases[] = {
      {"three lines, the last without a line feed", "-findc",
       kTitle + "\n" + kOwn + "\n" + kPartner, 0, header + row, ""},
      {"NUL bytes end the fields they stand in", "-findc",
       kTitle + "\n" + kOwn + "\0junk\n"s + "VG01\0x"s + kPartner.substr(4) + "\n", 0, header + row,
       ""},
      {"5000 lines", "-findc", many_lines(5000), 0, "", no_such},
      {"pair lines of 150 fields make five lines", "-findc",
       kTitle + "\n" + kOwn + fields + "\n" + kPartner + fields + "\n", 0, "", no_such},
      // 100,000 characters are three full lines of 25598 and a last piece: pair lines
      // of one field each are no pair lines. 300,000 are more than three lines.
      {"100,000 characters, no line feed", "-findc", std::string(100000, 'x'), 0, "", ""},
      {"300,000 characters, no line feed", "-findc", std::string(300000, 'x'), 0, "", no_such},
      {"title and one pair line", "-findc", kTitle + "\n" + kOwn + "\n", 0, "", ""},
      {"no answer", "-findc", "", 0, "", ""},
      {"a good answer with status 1", "-findc", kTitle + "\n" + kOwn + "\n" + kPartner + "\n", 1,
       "", no_such},
      // -find shows the answer as the tool prints it.
      {"-find, 5000 lines", "-find", many_lines(5000), 0, many_lines(5000) + "->Harddisk1\n", ""},
      {"-find, no line feed", "-find", std::string(100000, 'x'), 0,
       std::string(100000, 'x') + "->Harddisk1\n", ""},
      {"-find, status 3", "-find", "x\n", 3, "x\n", "Harddisk1 -> No such on the group\n"},
  };
  const Host host(pair_host());
  const std::string tool = host.dir().file("root/VEXAM/etc/twinlist.exe");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    host.dir().write("root/VEXAM/etc/answer", c.answer);
    host.dir().write("root/VEXAM/etc/twinlist.exe",
                     "#!/bin/sh\ncat \"${0%/*}/answer\"\nexit " + std::to_string(c.status) + "\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    const RunResult r = host.run({c.args, "hd1"});
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit_code, 0);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
