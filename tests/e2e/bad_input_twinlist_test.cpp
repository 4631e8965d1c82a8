// Answers of the pair-status tool that the tool does not control: thousands of lines, no
// line feed at all, lines of 150 fields, NUL bytes, a failing status. A small script under
// the host image's root stands in for the tool and prints a prepared answer.
#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

std::string many_lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\n";
  return text;
}

TEST(BadInputTwinlist, Answers) {
  if (wine_mode()) GTEST_SKIP() << "the stand-in is a POSIX shell script";
  // The answer to "-fd -CLI": a title line and the two pair lines.
  const std::string title =
      "Group PairVol L/R Device_File Serial# LDEV# P/S Status Seq# P-LDEV# M\n";
  const std::string own = "VG01 boot L Harddisk1 12345 1234 P-VOL PAIR x 150000 2816 0";
  const std::string partner = " boot R Harddisk2 150000 2816 S-VOL PAIR x 12345 1234 0";
  const std::string table =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n"
      "Harddisk1      -  VG01     boot       P-VOL PAIR  Harddisk2   -  S-VOL PAIR OK\n";
  const std::string no_such = "Harddisk1[-] -> No such on the group\n", x100k(100000, 'x');
  std::string fields;
  for (int i = 0; i < 150; ++i) fields += " f" + std::to_string(i);
  const struct {
    const char* what;
    std::string args, answer;
    int status;
    std::string out, err;
  } cases[] = {
      {"the last line without a line feed", "-findc", title + own + "\nVG01" + partner, 0, table,
       ""},
      {"NUL bytes end their fields", "-findc", title + own + "\0junk\nVG01\0x"s + partner + "\n", 0,
       table, ""},
      {"5000 lines", "-findc", many_lines(5000), 0, "", no_such},
      {"150 fields make five lines", "-findc",
       title + own + fields + "\nVG01" + partner + fields + "\n", 0, "", no_such},
      // Three full lines of 25598 and a last piece: lines of one field are no pair lines.
      {"100,000 characters, no line feed", "-findc", x100k, 0, "", ""},
      {"300,000 characters, no line feed", "-findc", std::string(300000, 'x'), 0, "", no_such},
      {"title and one pair line", "-findc", title + own + "\n", 0, "", ""},
      {"no answer", "-findc", "", 0, "", ""},
      {"a good answer with status 1", "-findc", title + own + "\nVG01" + partner + "\n", 1, "",
       no_such},
      // -find shows the answer as the tool prints it.
      {"-find, 5000 lines", "-find", many_lines(5000), 0, many_lines(5000) + "->Harddisk1\n", ""},
      {"-find, no line feed", "-find", x100k, 0, x100k + "->Harddisk1\n", ""},
      {"-find, status 3", "-find", "x\n", 3, "x\n", "Harddisk1 -> No such on the group\n"},
  };
  // Volume 12345/1234 as a remote copy P-VOL: -findc asks for remote MU 0 (label "-").
  const Host host(Json{{"root", "root"},
                       {"disks",
                        {rb_disk(1, StdInquiryBuilder()
                                        .additional_length(55)
                                        .serial_text("0300")
                                        .pair_states(2, 0, 0, 0)
                                        .build())}}});
  const std::string tool = host.dir().file("root/VEXAM/etc/twinlist.exe");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    host.dir().write("root/VEXAM/etc/answer", c.answer);
    host.dir().write("root/VEXAM/etc/twinlist.exe",
                     "#!/bin/sh\ncat \"${0%/*}/answer\"\nexit " + std::to_string(c.status) + "\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    expect_run(host.run(c.args + " hd1"), c.out, c.err);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
