// The pair lookups over the example host: -find and -findc in both output forms, for
// the remote copies and, with VEXAC_QUIL, the local ones; the command lines they build;
// and the -export line.
//
// The pairs of the example host (group VG01, remote copies; SI01, local copies):
//   VG01 boot      MU 0  64015/1234 (Harddisk1) P-VOL  <->  150000/2816 S-VOL
//   VG01 files     MU 0  73000101/416 (Harddisk7) P-VOL  <->  64015/1300 (Harddisk5) S-VOL
//   VG01 files_dr  MU 2  73000101/416 (Harddisk7) P-VOL  <->  150000/3000 S-VOL, whose
//                        array names 73000101/417 as its partner
//   SI01 boot_bk   MU 1  64015/1234 (Harddisk1) P-VOL  <->  64015/1240 S-VOL
//   SI01 boot_old  MU 20 64015/1100 P-VOL  <->  64015/1234 (Harddisk1) S-VOL
//   SI01 snap3     MU 0  150000/2570 P-VOL  <->  150000/2571 (Harddisk3) S-VOL
//   SI01 exch0     MU 0  412345/32 (Harddisk6) P-VOL  <->  412345/33 S-VOL
//   SI01 exch1     MU 1  412345/32 (Harddisk6) P-VOL  <->  412345/34 S-VOL
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

struct Case {
  const char* what;
  std::vector<std::string> args;
  Env env;
  std::string out;
  std::string err;
};

void check_all(std::initializer_list<Case> cases) {
  const PairHost host;
  for (const Case& c : cases) {
    const RunResult r = host.run(c.args, c.env);
    EXPECT_EQ(r.exec_error, "") << c.what;
    EXPECT_EQ(r.out, c.out) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    EXPECT_EQ(r.exit_code, 0) << c.what;
  }
}

const Env kLocal = {{"VEXAC_QUIL", ""}};

TEST(ExamplePairs, FindShowsThePairToolsAnswer) {
  // The tool's aligned listing comes first, then "->" and the name; the tool leaves out
  // partners that are not on this host (-l). Disk 3 has no remote pair state, so the
  // lookup asks for every MU and finds none.
  check_all({
      {"remote copies",
       {"-find", "hd1", "hd3", "hd5", "hd7"},
       {},
       lines({"Group PairVol L/R Serial LDEV P/S   Status Copy   P-Serial P-LDEV MU",
              "VG01  boot    L   64015  1234 P-VOL PAIR   remote 150000   2816   0", "->Harddisk1",
              "Group PairVol L/R Serial   LDEV P/S   Status Copy   P-Serial P-LDEV MU",
              "VG01  files   L   64015    1300 S-VOL PAIR   remote 73000101 416    0",
              "VG01  files   R   73000101 416  P-VOL PAIR   remote 64015    1300   0",
              "->Harddisk5",
              "Group PairVol  L/R Serial   LDEV P/S   Status Copy   P-Serial P-LDEV MU",
              "VG01  files    L   73000101 416  P-VOL PAIR   remote 64015    1300   0",
              "VG01  files    R   64015    1300 S-VOL PAIR   remote 73000101 416    0",
              "VG01  files_dr L   73000101 416  P-VOL PSUE   remote 150000   3000   2",
              "->Harddisk7"}),
       "Harddisk3 -> No such on the group\n"},
      {"-fx: the tool shows hexadecimal LDEVs",
       {"-find", "-fx", "hd1"},
       {},
       lines({"Group PairVol L/R Serial LDEV P/S   Status Copy   P-Serial P-LDEV MU",
              "VG01  boot    L   64015  4D2  P-VOL PAIR   remote 150000   B00    0",
              "->Harddisk1"}),
       ""},
      {"local copies: MU#0, MU#1 and MU#20 of disk 1",
       {"-find", "hd1"},
       kLocal,
       lines({"Group PairVol  L/R MU Serial LDEV P/S   Status P-Serial P-LDEV Copy",
              "SI01  boot_bk  L   1  64015  1234 P-VOL PAIR   64015    1240   local",
              "SI01  boot_old L   20 64015  1234 S-VOL SSUS   64015    1100   local",
              "->Harddisk1"}),
       ""},
      {"a marked name is not marked in the lookup",
       {"-find", "-fp", "hd1"},
       {},
       lines({"Group PairVol L/R Serial LDEV P/S   Status Copy   P-Serial P-LDEV MU",
              "VG01  boot    L   64015  1234 P-VOL PAIR   remote 150000   2816   0",
              "->Harddisk1"}),
       ""},
      {"CLI form: the tool's CLI listing, then \"-> \"; no message when nothing is found",
       {"-CLI", "-find", "hd1", "hd3", "hd5"},
       {},
       lines({"Group PairVol L/R Serial LDEV P/S Status Copy P-Serial P-LDEV MU",
              "VG01 boot L 64015 1234 P-VOL PAIR remote 150000 2816 0", "-> Harddisk1",
              "Group PairVol L/R Serial LDEV P/S Status Copy P-Serial P-LDEV MU",
              "VG01 files L 64015 1300 S-VOL PAIR remote 73000101 416 0",
              "VG01 files R 73000101 416 P-VOL PAIR remote 64015 1300 0", "-> Harddisk5"}),
       ""},
      {"CLI form skips devices that could not be probed",
       {"-CLI", "-find", "hd10", "hd11"},
       {},
       "",
       ""},
  });
}

TEST(ExamplePairs, FindcPrintsThePairTable) {
  const std::string header =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n";
  const std::string boot =
      "Harddisk1      -  VG01     boot       P-VOL PAIR  -           -  S-VOL PAIR OK\n";
  const std::string files5 =
      "Harddisk5      -  VG01     files      S-VOL PAIR  Harddisk7   -  P-VOL PAIR OK\n";
  const std::string files7 =
      "Harddisk7      -  VG01     files      P-VOL PAIR  Harddisk5   -  S-VOL PAIR OK\n";
  // The remote side names 73000101/417, not 416, as its partner.
  const std::string files_dr =
      "Harddisk7      h2 VG01     files_dr   P-VOL PSUE  -           -  S-VOL PSUE NG\n";
  check_all({
      {"default form: a header for every device",
       {"-findc", "hd1", "hd3", "hd5", "hd7"},
       {},
       header + boot + header + files5 + header + files7 + files_dr,
       ""},
      {"CLI form: one header for the run",
       {"-CLI", "-findc", "hd1", "hd3", "hd5", "hd7"},
       {},
       header + boot + files5 + files7 + files_dr,
       ""},
      // Local MUs are labelled with their numbers and the partner's MU is shown; MU#0 of
      // disk 1 is in no pair group of the tool.
      {"local copies",
       {"-findc", "hd1", "hd3", "hd6"},
       kLocal,
       header + "Harddisk1      1  SI01     boot_bk    P-VOL PAIR  -           1  S-VOL PAIR OK\n" +
           "Harddisk1      20 SI01     boot_old   S-VOL SSUS  -           20 P-VOL PSUS OK\n" +
           header +
           "Harddisk3      0  SI01     snap3      S-VOL PAIR  -           0  P-VOL PAIR OK\n" +
           header +
           "Harddisk6      0  SI01     exch0      P-VOL COPY  -           0  S-VOL COPY OK\n" +
           "Harddisk6      1  SI01     exch1      P-VOL PAIR  -           1  S-VOL PAIR OK\n",
       "Harddisk1[0] -> No such on the group\n"},
      {"local copies, CLI form: quiet",
       {"-CLIW", "-findc", "hd1"},
       kLocal,
       header + "Harddisk1      1  SI01     boot_bk    P-VOL PAIR  -           1  S-VOL PAIR OK\n" +
           "Harddisk1      20 SI01     boot_old   S-VOL SSUS  -           20 P-VOL PSUS OK\n",
       ""},
  });
}

TEST(ExamplePairs, CommandLinesOfTheLookups) {
  // What the program hands to the command interpreter, as the trace records it. The MU
  // list ends in a blank of its own, so "0 " and an empty -fx leave three blanks before -l.
  const PairHost host;
  const struct {
    std::vector<std::string> args;
    Env env;
    std::vector<std::string> commands;
  } cases[] = {
      {{"-find", "hd1", "hd3", "hd7"},
       {},
       {"system \\VEXAM\\etc\\twinlist.exe -d 64015 1234 0   -l 2>NUL",
        "system \\VEXAM\\etc\\twinlist.exe -d 150000 2571   -l 2>NUL",
        "system \\VEXAM\\etc\\twinlist.exe -d 73000101 416 0 2   -l 2>NUL"}},
      {{"-find", "-fx", "hd1"},
       {},
       {"system \\VEXAM\\etc\\twinlist.exe -d 64015 1234 0  -fx -l 2>NUL"}},
      {{"-find", "hd1"},
       kLocal,
       {"system \\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 1 20   -l 2>NUL"}},
      {{"-CLI", "-find", "-fx", "hd5"},
       {},
       {"system \\VEXAM\\etc\\twinlist.exe -d 64015 1300 0  -fx -l -CLI 2>NUL"}},
      {{"-findc", "hd7"},
       {},
       {"popen \\VEXAM\\etc\\twinlist.exe -d 73000101 416 0 -fd -CLI 2>NUL",
        "popen \\VEXAM\\etc\\twinlist.exe -d 73000101 416 2 -fd -CLI 2>NUL"}},
      {{"-findc", "hd1"},
       kLocal,
       {"popen \\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 -fd -CLI 2>NUL",
        "popen \\VEXAM\\etc\\twinlist.exe -d 64015 1234 1 -fd -CLI 2>NUL",
        "popen \\VEXAM\\etc\\twinlist.exe -d 64015 1234 20 -fd -CLI 2>NUL"}},
      // No remote state: -findc asks nothing.
      {{"-findc", "hd3"}, {}, {}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    Env env = c.env;
    env.emplace_back("VOXMIRA_TRACE", dir.file("trace.txt"));
    const RunResult r = host.run(c.args, env);
    EXPECT_EQ(r.exit_code, 0);
    std::vector<std::string> commands;
    const std::string trace = read_output_file(dir.file("trace.txt"));
    for (std::size_t at = 0; at < trace.size();) {
      const std::size_t end = trace.find('\n', at);
      const std::string line = trace.substr(at, end - at);
      if (line.starts_with("system ") || line.starts_with("popen \\")) commands.push_back(line);
      if (end == std::string::npos) break;
      at = end + 1;
    }
    EXPECT_EQ(commands, c.commands) << c.args.back();
  }
}

TEST(ExamplePairs, MissingPairTool) {
  // An image whose root has no pair-status tool: every lookup fails like an unknown volume.
  TempDir dir;
  std::string image;
  ASSERT_TRUE(read_file(example_host(), image));
  const std::string host = dir.write("host.json", image);
  const struct {
    std::vector<std::string> args;
    std::string out;
    std::string err;
  } cases[] = {
      {{"-find", "hd1", "hd5"},
       "",
       "Harddisk1 -> No such on the group\nHarddisk5 -> No such on the group\n"},
      {{"-findc", "hd7"},
       "",
       "Harddisk7[-] -> No such on the group\nHarddisk7[h2] -> No such on the group\n"},
      {{"-CLI", "-findc", "hd7"}, "", ""},
      {{"-CLI", "-find", "hd7"}, "", ""},
  };
  for (const auto& c : cases) {
    const RunResult r = run_example(c.args, {}, {}, host);
    EXPECT_EQ(r.out, c.out) << c.args[0];
    EXPECT_EQ(r.err, c.err) << c.args[0];
    EXPECT_EQ(r.exit_code, 0) << c.args[0];
  }
}

TEST(ExamplePairs, ExportLines) {
  // "VOXMIRA:" @ port @ serial @ LDEV @ check @ product without its trailing blanks @ name;
  // the check is the XOR of the characters of the line without it. LDEVs stay decimal.
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"-CLI", "-export", "hd0-3"},
       lines({"VOXMIRA:@CL1-A@64015@1234@94@DISK-1@Harddisk1",
              "VOXMIRA:@CL2-B@210945@256@86@DISK-2@Harddisk2",
              "VOXMIRA:@CL3-C@150000@2571@111@DISK-5@Harddisk3"})},
      {{"-CLIWN", "-export", "-fx", "hd15"}, "VOXMIRA:@CL1-B@64015@1023@79@DISK-1-CM@Harddisk15\n"},
      {{"-CLI", "-export", "$G:"}, "VOXMIRA:@CL5-A@73000101@416@56@DISK-7@G:\\Dmt1\\Dsk7\n"},
      // Without a CLI option -export prints nothing.
      {{"-export", "hd1"}, ""},
  };
  for (const auto& c : cases) {
    const RunResult r = run_example(c.args);
    EXPECT_EQ(r.out, c.out) << c.args.back();
    EXPECT_EQ(r.err, "") << c.args.back();
    EXPECT_EQ(r.exit_code, 0) << c.args.back();
  }
}

}  // namespace
}  // namespace vox::e2e::example
