// The pair lookups over the example host: -find and -findc in both output forms, for the
// remote copies and, with VEXAC_QUIL, the local ones; a host without the pair-status
// tool; and the -export line. The pairs (examples/README.md has them all): VG01 boot
// 64015/1234 (disk 1) with 150000/2816; VG01 files 73000101/416 (disk 7) with 64015/1300
// (disk 5), and files_dr MU 2 of disk 7 whose remote side names 73000101/417; local
// copies SI01 of disks 1 (MU 1, 20), 3 and 6 (MU 0, 1).
#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

const Env kLocal = {{"VEXAC_QUIL", ""}};

struct Case {
  std::string args;
  Env env;
  std::string out, err = {};
};

void check_all(std::initializer_list<Case> cases) {
  const PairHost host;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args + (c.env.empty() ? "" : " (local)"));
    expect_run(host.run(words(c.args), c.env), c.out, c.err);
  }
}

TEST(ExamplePairs, Find) {
  // The tool's listing, then "->" and the name; the tool leaves out partners not on this
  // host (-l). Disk 3 has no remote pair state: every MU is asked for, none is found. The
  // CLI form takes the tool's CLI listing, then "-> ", and has no messages.
  const std::string head = "Group PairVol L/R Serial LDEV P/S   Status Copy   P-Serial P-LDEV MU\n";
  const std::string boot =
      head + "VG01  boot    L   64015  1234 P-VOL PAIR   remote 150000   2816   0\n->Harddisk1\n";
  const std::string files = lines(
      {"Group PairVol L/R Serial   LDEV P/S   Status Copy   P-Serial P-LDEV MU",
       "VG01  files   L   64015    1300 S-VOL PAIR   remote 73000101 416    0",
       "VG01  files   R   73000101 416  P-VOL PAIR   remote 64015    1300   0", "->Harddisk5",
       "Group PairVol  L/R Serial   LDEV P/S   Status Copy   P-Serial P-LDEV MU",
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
  check_all({
      {"-find hd1 hd3 hd5 hd7", {}, boot + files, "Harddisk3 -> No such on the group\n"},
      {"-find -fx hd1",
       {},
       head + "VG01  boot    L   64015  4D2  P-VOL PAIR   remote 150000   B00    0\n->Harddisk1\n"},
      {"-find -fp hd1", {}, boot},  // the lookup takes the name without its mark
      {"-find hd1", kLocal, local},
      {"-CLI -find hd1 hd3 hd5", {}, cli},
      {"-CLI -find hd10 hd11", {}, ""},  // devices not probed are skipped
  });
}

TEST(ExamplePairs, Findc) {
  // A header for every device, or one for the run in CLI form. The remote side of files_dr
  // names 73000101/417, not 416, as its partner. Local MUs are labelled with their numbers
  // and the partner's MU is shown; MU#0 of disk 1 is in no pair group.
  const std::string head =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n";
  const std::string boot =
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
      "Harddisk3      0  SI01     snap3      S-VOL PAIR  -           0  P-VOL PAIR OK\n" + head +
      "Harddisk6      0  SI01     exch0      P-VOL COPY  -           0  S-VOL COPY OK\n"
      "Harddisk6      1  SI01     exch1      P-VOL PAIR  -           1  S-VOL PAIR OK\n";
  check_all({
      {"-findc hd1 hd3 hd5 hd7", {}, head + boot + head + files5 + head + files7},
      {"-CLI -findc hd1 hd3 hd5 hd7", {}, head + boot + files5 + files7},
      {"-findc hd1 hd3 hd6", kLocal, head + local1 + head + local36,
       "Harddisk1[0] -> No such on the group\n"},
      {"-CLIW -findc hd1", kLocal, head + local1},
  });
}

TEST(ExamplePairs, MissingPairToolAndExport) {
  // An image whose root has no pair-status tool: every lookup fails like an unknown volume.
  TempDir dir;
  std::string image;
  ASSERT_TRUE(read_file(example_host(), image));
  const std::string bare = dir.write("host.json", image), host = example_host();
  // "VOXMIRA:" @ port @ serial @ LDEV @ check @ product without its trailing blanks @ name;
  // the check is the XOR of the characters of the rest of the line. LDEVs stay decimal.
  const struct {
    std::string args, host, out, err;
  } cases[] = {
      {"-find hd1 hd5", bare, "",
       "Harddisk1 -> No such on the group\nHarddisk5 -> No such on the group\n"},
      {"-findc hd7", bare, "",
       "Harddisk7[-] -> No such on the group\nHarddisk7[h2] -> No such on the group\n"},
      {"-CLI -findc hd7", bare, "", ""},
      {"-CLI -find hd7", bare, "", ""},
      {"-CLI -export hd0-3", host,
       lines({"VOXMIRA:@CL1-A@64015@1234@94@DISK-1@Harddisk1",
              "VOXMIRA:@CL2-B@210945@256@86@DISK-2@Harddisk2",
              "VOXMIRA:@CL3-C@150000@2571@111@DISK-5@Harddisk3"}),
       ""},
      {"-CLIWN -export -fx hd15", host, "VOXMIRA:@CL1-B@64015@1023@79@DISK-1-CM@Harddisk15\n", ""},
      {"-CLI -export $G:", host, "VOXMIRA:@CL5-A@73000101@416@56@DISK-7@G:\\Dmt1\\Dsk7\n", ""},
      {"-export hd1", host, "", ""},  // without a CLI option: nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    expect_run(run_example(words(c.args), {}, {}, c.host), c.out, c.err);
  }
}

}  // namespace
}  // namespace vox::e2e::example
