// First end-to-end checks of the built program: the usage text byte for byte, the -z
// redirection, and the start-up refusal of a host image that cannot be used.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/harness.h"

namespace vox::e2e {
namespace {

// The usage text for program name `prog` and DOS-device prefix `c`.
std::string usage(const std::string& prog, char c) {
  const std::string p(1, c);
  const std::vector<std::string> lines = {
      " Usage :",
      " [-h]             Help/Usage",
      " [quit]           Quit from waiting STDIN.",
      " [-inqdump]       Dump option for STD inquiry info.",
      " [-fx]            Display of LDEV# with hexadecimal.",
      " [-fp]            Display of the H.A.R.D volume with adding '*'.",
      " [-fl]            Display of the LDEV FENCOR volume with adding '*'.",
      " [-pin]           Display of PIN track volume with adding '*'.",
      " [-fg]            Display of the host group ID with port.",
      " [-fw]            Display of the volstat with wide format.",
      " [-fh]            Display of the bitmap_page for RZ/VX.",
      " [-fc]            Display of the bitmap_page with cylinder size.",
      " [-fn]            Display of the LDEV_NIC_NAME with -CLI option.",
      " [-fr]            Display of the real ID(Serial,LDEV) with -CLI option.",
      " [-fe]            Display of the real ID(Serial,LDEV) exchanging to PageE2 inquiry.",
      " [-CLI]           Display with CLI format.",
      " [-CLI -export]   Display with CLI format for exporting.",
      " [-CLIWP]         Display the Port_WWN for this host with CLI format.",
      " [-CLIWN]         Display the Node_WWN for this host with CLI format.",
      " [-sort]          Display and sort by Serial#,LDEV#.",
      " [-sort -CM]      Display and sort the cmddev by Serial# in vexam.conf image.",
      " [-sort -CLIB]    Display and calculate the bitmap_page with CLI format.",
      " [-fv]            Display of Volume{GUID} via " + p +
          "Volume for Windows2000/2003/2008/2012.",
      " [No arg]         Find out the LDEV from harddisk#... in the STDIN.",
      " [-find[c]]       Find the group by using twinlist from harddisk#... in the STDIN.",
      " [-gplba[ex]]     Get the LBA for usable partition from disk#... in the STDIN.",
      " [-gvinf[ex]]     Get a drive layout and makes a layout file from disk#... in the STDIN.",
      " [-svinf[ex][=PTN]] Set a drive layout to disk[=PTN]#... in the STDIN.",
      " [harddisk#...]   Find out the LDEV from args(harddisk#...).",
      " [" + p +
          "DosDevice]     Find out the LDEV from the following DosDevice. Refer to the user guide "
          "for details.",
      "  " + p + "LETALL      -> Specifies All of the Drive Letter",
      "  " + p + "C:          -> Specifies a 'C:' drive",
      "  " + p + "Phys        -> Specifies All of the Physical Drives",
      "  " + p + "Volume      -> Specifies All of the LDM Volumes for Windows2000/2003/2008/2012",
      "  " + p + "Volume{...} -> Specifies a Volume{...} for Windows2000/2003/2008/2012",
      " [echo hd0-10 | " + prog + " -CLI]        Find out the LDEV  from harddisk#... of the echo.",
      " [ " + prog + " " + p + "LETALL -CLI ]  Find out the LDEV  from all of the Drive letter.",
      " [ " + prog + " " + p +
          "Volume -CLI ]  Find out the LDEV  from all of the LDM Volumes for "
          "Windows2000/2003/2008/2012.",
      " [ " + prog + " " + p +
          "Phys -gvinf  -CLI ]    Get a drive layout and makes a layout file from all of the "
          "Physical Drives.",
      " [ " + prog + " " + p +
          "Phys -gvinfex -CLI ]   Get a drive layout for GPT/MBR and makes a layout file from all "
          "of the Physical Drives.",
      " [ echo hd0-10 | " + prog + " -svinf ]  Set a drive layout to disk#0-10.",
      " [ twinlist -l -fd -g VG1 | " + prog +
          " -svinf=Harddisk ]  Set a drive layout to disk# related to a group(VG1).",
  };
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(Smoke, UsageTextExactly) {
  const std::string prog = program_shown("voxmira");
  const struct {
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> env;
    std::string expected;
  } cases[] = {
      {{"-h"}, {}, usage(prog, '$')},
      {{"h"}, {}, usage(prog, '$')},
      {{"-CLI", "-h"}, {}, usage(prog, '$')},
      {{"-h", "-h"}, {}, usage(prog, '$') + usage(prog, '$')},
      {{"-h"}, {{"CHG_DVOBJ_CH", "1"}}, usage(prog, '%')},
  };
  for (const auto& c : cases) {
    Invocation r;
    r.args = c.args;
    r.env = c.env;
    const RunResult res = run(r);
    EXPECT_EQ(res.exec_error, "");
    EXPECT_EQ(res.exit_code, 0) << c.args[0];
    EXPECT_EQ(res.out, c.expected) << c.args[0];
    EXPECT_EQ(res.err, "") << c.args[0];
  }
}

TEST(Smoke, StdoutRedirectionCarriesTheUsage) {
  TempDir dir;
  Invocation r;
  r.args = {"-z1w=out.txt", "-h"};
  r.cwd = dir.path();
  const RunResult res = run(r);
  EXPECT_EQ(res.exit_code, 0);
  EXPECT_EQ(res.out, "");
  EXPECT_EQ(res.err, "");
  bool exists = false;
  EXPECT_EQ(read_output_file(dir.file("out.txt"), &exists), usage(program_shown("voxmira"), '$'));
  EXPECT_TRUE(exists);
}

TEST(Smoke, QuitOnEmptyHostEndsCleanly) {
  TempDir dir;
  Invocation r;
  r.env = {{"VOXMIRA_HOST", write_host_image(dir, "{\"disks\": []}\n")}};
  r.stdin_text = "quit\n";
  const RunResult res = run(r);
  EXPECT_EQ(res.exit_code, 0);
  EXPECT_EQ(res.out, "");
  EXPECT_EQ(res.err, "");
}

// A host image that cannot be used stops the program before anything else runs: one
// line on stderr that names the file, nothing on stdout, status 1. -h shows that
// nothing else ran.
TEST(Smoke, UnusableHostImageIsRefusedInOneLine) {
  const struct {
    const char* what;
    const char* json;  // null: no file at all
  } cases[] = {
      {"missing file", nullptr},
      {"empty file", ""},
      {"not JSON", "{ disks: "},
      {"truncated", "{\"disks\": [ {\"number\": 0 }"},
      {"disks not an array", "{\"disks\": 5}"},
      {"disk without number", "{\"disks\": [ {\"inquiry\": \"00\"} ]}"},
      {"bad hex", "{\"disks\": [ {\"number\": 0, \"inquiry\": \"0g\"} ]}"},
      {"duplicate disk", "{\"disks\": [ {\"number\": 1}, {\"number\": 1} ]}"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path =
        c.json ? write_host_image(dir, c.json, "broken.json") : dir.file("absent.json");
    Invocation r;
    r.args = {"-h"};
    r.env = {{"VOXMIRA_HOST", path}};
    const RunResult res = run(r);
    EXPECT_EQ(res.exit_code, 1) << c.what;
    EXPECT_EQ(res.out, "") << c.what;
    ASSERT_FALSE(res.err.empty()) << c.what;
    EXPECT_EQ(res.err.find('\n'), res.err.size() - 1) << c.what << ": " << res.err;
    EXPECT_NE(res.err.find(c.json ? "broken.json" : "absent.json"), std::string::npos)
        << c.what << ": " << res.err;
  }
}

TEST(Smoke, TraceShowsTheDriveOpen) {
  TempDir dir;
  Invocation r;
  r.args = {"hd0"};
  r.env = {{"VOXMIRA_HOST", write_host_image(dir, "{\"disks\": []}\n")},
           {"VOXMIRA_TRACE", dir.file("trace.txt")}};
  const RunResult res = run(r);
  EXPECT_EQ(res.exit_code, 0);
  bool exists = false;
  const std::string trace = read_output_file(dir.file("trace.txt"), &exists);
  ASSERT_TRUE(exists);
  EXPECT_NE(trace.find("CreateFile \\\\.\\PhysicalDrive0 access=0x"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" -> error 2\n"), std::string::npos) << trace;
}

}  // namespace
}  // namespace vox::e2e
