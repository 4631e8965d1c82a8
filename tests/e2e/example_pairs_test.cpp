// The pair lookups over the example host (examples/README.md lists its pairs): -find and
// -findc in both output forms, for the remote copies and, with VEXAC_QUIL, the local
// ones; a host without the pair-status tool; and the -export line.
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

// The example host with its pair-status tool: natively a script below the image's root
// starts VOXMIRA_TWINLIST; under Wine the tool's Windows build sits below a copy's root.
struct PairHost : HostCopy {
  PairHost() {
    if (!wine_mode()) return;
    std::filesystem::create_directories(dir.file("root/VEXAM/etc"));
    std::filesystem::copy_file(program_path("twinlist"), dir.file("root/VEXAM/etc/twinlist.exe"));
  }
  RunResult run(const std::string& args, Env env) const {
    if (wine_mode()) return run_example(args, {}, std::move(env), path);
    env.emplace_back("VOXMIRA_TWINLIST", program_path("twinlist"));
    return run_example(args, {}, std::move(env));
  }
};

const Env kLocal = {{"VEXAC_QUIL", ""}};

struct Case {
  std::string args;
  Env env;
  std::string out, err = {};
  bool no_tool = false;  // a copy of the host without the pair-status tool
};

TEST(ExamplePairs, LookupsAndExport) {
  // The tool's listing, then "->" and the name; the tool leaves out partners not on this
  // host (-l). Disk 3 has no remote pair state: every MU is asked for, none is found. The
  // CLI form takes the tool's CLI listing, then "-> ", and has no messages.
  const std::string head = "Group PairVol L/R Serial LDEV P/S   Status Copy   P-Serial P-LDEV MU\n";
  const std::string boot =
      head + "VG01  boot    L   64015  1234 P-VOL PAIR   remote 150000   2816   0\n->Harddisk1\n";
  const std::string files = lines(
      {"Group PairVol  L/R Serial   LDEV P/S   Status Copy   P-Serial P-LDEV MU",
       "VG01  files    L   73000101 416  P-VOL PAIR   remote 64015    1300   0",
       "VG01  files    R   64015    1300 S-VOL PAIR   remote 73000101 416    0",
       "VG01  files_dr L   73000101 416  P-VOL PSUE   remote 150000   3000   2", "->Harddisk7"});
  const std::string local = lines(
      {"Group PairVol  L/R MU Serial LDEV P/S   Status P-Serial P-LDEV Copy",
       "SI01  boot_bk  L   1  64015  1234 P-VOL PAIR   64015    1240   local",
       "SI01  boot_old L   20 64015  1234 S-VOL SSUS   64015    1100   local", "->Harddisk1"});
  const std::string cli =
      lines({"Group PairVol L/R Serial LDEV P/S Status Copy P-Serial P-LDEV MU",
             "VG01 boot L 64015 1234 P-VOL PAIR remote 150000 2816 0", "-> Harddisk1",
             "Group PairVol L/R Serial LDEV P/S Status Copy P-Serial P-LDEV MU",
             "VG01 files L 64015 1300 S-VOL PAIR remote 73000101 416 0",
             "VG01 files R 73000101 416 P-VOL PAIR remote 64015 1300 0", "-> Harddisk5"});
  // A header for every device, or one for the run in CLI form. The remote side of files_dr
  // names 73000101/417, not 416, as its partner. Local MUs are labelled with their numbers
  // and the partner's MU is shown; MU#0 of disk 1 is in no pair group.
  const std::string table =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n";
  const std::string boot_c =
      "Harddisk1      -  VG01     boot       P-VOL PAIR  -           -  S-VOL PAIR OK\n";
  const std::string files5 =
      "Harddisk5      -  VG01     files      S-VOL PAIR  Harddisk7   -  P-VOL PAIR OK\n";
  const std::string files7 =
      "Harddisk7      -  VG01     files      P-VOL PAIR  Harddisk5   -  S-VOL PAIR OK\n"
      "Harddisk7      h2 VG01     files_dr   P-VOL PSUE  -           -  S-VOL PSUE NG\n";
  const std::string local1 =
      "Harddisk1      1  SI01     boot_bk    P-VOL PAIR  -           1  S-VOL PAIR OK\n"
      "Harddisk1      20 SI01     boot_old   S-VOL SSUS  -           20 P-VOL PSUS OK\n";
  const std::string local36 =
      "Harddisk3      0  SI01     snap3      S-VOL PAIR  -           0  P-VOL PAIR OK\n" + table +
      "Harddisk6      0  SI01     exch0      P-VOL COPY  -           0  S-VOL COPY OK\n"
      "Harddisk6      1  SI01     exch1      P-VOL PAIR  -           1  S-VOL PAIR OK\n";
  // Without the pair-status tool every lookup fails like an unknown volume. -export:
  // "VOXMIRA:" @ port @ serial @ LDEV @ check @ product without its trailing blanks @ name;
  // the check is the XOR of the characters of the rest of the line; LDEVs stay decimal.
  const auto no = [](const std::string& name) { return name + " -> No such on the group\n"; };
  const Case cases[] = {
      {"-find hd1 hd3 hd7", {}, boot + files, no("Harddisk3")},
      {"-find -fx hd1",
       {},
       head + "VG01  boot    L   64015  4D2  P-VOL PAIR   remote 150000   B00    0\n->Harddisk1\n"},
      {"-find hd1", kLocal, local},
      {"-CLI -find hd1 hd3 hd5", {}, cli},
      {"-findc hd1 hd3 hd5 hd7", {}, table + boot_c + table + files5 + table + files7},
      {"-CLI -findc hd1 hd3 hd5 hd7", {}, table + boot_c + files5 + files7},
      {"-findc hd1 hd3 hd6", kLocal, table + local1 + table + local36, no("Harddisk1[0]")},
      {"-find hd1 hd5", {}, "", no("Harddisk1") + no("Harddisk5"), true},
      {"-findc hd7", {}, "", no("Harddisk7[-]") + no("Harddisk7[h2]"), true},
      {"-CLI -findc hd7", {}, "", "", true},
      {"-CLI -export hd0-3",
       {},
       "VOXMIRA:@CL1-A@64015@1234@94@DISK-1@Harddisk1\n"
       "VOXMIRA:@CL2-B@210945@256@86@DISK-2@Harddisk2\n"
       "VOXMIRA:@CL3-C@150000@2571@111@DISK-5@Harddisk3\n"},
      {"-CLIWN -export -fx hd15", {}, "VOXMIRA:@CL1-B@64015@1023@79@DISK-1-CM@Harddisk15\n"},
      {"-CLI -export $G:", {}, "VOXMIRA:@CL5-A@73000101@416@56@DISK-7@G:\\Dmt1\\Dsk7\n"},
      {"-export hd1", {}, ""},  // without a CLI option: nothing
  };
  const PairHost host;
  const HostCopy bare;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args + (c.env.empty() ? "" : " (local)") + (c.no_tool ? " (no tool)" : ""));
    const RunResult r =
        c.no_tool ? run_example(c.args, {}, {}, bare.path) : host.run(c.args, c.env);
    expect_run(r, c.out, c.err);
  }
}

}  // namespace
}  // namespace vox::e2e::example
