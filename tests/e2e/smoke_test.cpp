// First end-to-end checks of the built program: the usage text under the program's own
// name and DOS-device prefix, the -z redirection, and an empty host.
#include <algorithm>
#include <string>
#include <string_view>

#include "e2e/example_support.h"

namespace vox::e2e {
namespace {

// The whole text, with "voxmira" where the program's own name is shown.
constexpr std::string_view kUsage =
    " Usage :\n"
    " [-h]             Help/Usage\n"
    " [quit]           Quit from waiting STDIN.\n"
    " [-inqdump]       Dump option for STD inquiry info.\n"
    " [-fx]            Display of LDEV# with hexadecimal.\n"
    " [-fp]            Display of the H.A.R.D volume with adding '*'.\n"
    " [-fl]            Display of the LDEV FENCOR volume with adding '*'.\n"
    " [-pin]           Display of PIN track volume with adding '*'.\n"
    " [-fg]            Display of the host group ID with port.\n"
    " [-fw]            Display of the volstat with wide format.\n"
    " [-fh]            Display of the bitmap_page for RZ/VX.\n"
    " [-fc]            Display of the bitmap_page with cylinder size.\n"
    " [-fn]            Display of the LDEV_NIC_NAME with -CLI option.\n"
    " [-fr]            Display of the real ID(Serial,LDEV) with -CLI option.\n"
    " [-fe]            Display of the real ID(Serial,LDEV) exchanging to PageE2 inquiry.\n"
    " [-CLI]           Display with CLI format.\n"
    " [-CLI -export]   Display with CLI format for exporting.\n"
    " [-CLIWP]         Display the Port_WWN for this host with CLI format.\n"
    " [-CLIWN]         Display the Node_WWN for this host with CLI format.\n"
    " [-sort]          Display and sort by Serial#,LDEV#.\n"
    " [-sort -CM]      Display and sort the cmddev by Serial# in vexam.conf image.\n"
    " [-sort -CLIB]    Display and calculate the bitmap_page with CLI format.\n"
    " [-fv]            Display of Volume{GUID} via $Volume for Windows2000/2003/2008/2012.\n"
    " [No arg]         Find out the LDEV from harddisk#... in the STDIN.\n"
    " [-find[c]]       Find the group by using twinlist from harddisk#... in the STDIN.\n"
    " [-gplba[ex]]     Get the LBA for usable partition from disk#... in the STDIN.\n"
    " [-gvinf[ex]]     Get a drive layout and makes a layout file from disk#... in the STDIN.\n"
    " [-svinf[ex][=PTN]] Set a drive layout to disk[=PTN]#... in the STDIN.\n"
    " [harddisk#...]   Find out the LDEV from args(harddisk#...).\n"
    " [$DosDevice]     Find out the LDEV from the following DosDevice. Refer to the user guide for "
    "details.\n"
    "  $LETALL      -> Specifies All of the Drive Letter\n"
    "  $C:          -> Specifies a 'C:' drive\n"
    "  $Phys        -> Specifies All of the Physical Drives\n"
    "  $Volume      -> Specifies All of the LDM Volumes for Windows2000/2003/2008/2012\n"
    "  $Volume{...} -> Specifies a Volume{...} for Windows2000/2003/2008/2012\n"
    " [echo hd0-10 | voxmira -CLI]        Find out the LDEV  from harddisk#... of the echo.\n"
    " [ voxmira $LETALL -CLI ]  Find out the LDEV  from all of the Drive letter.\n"
    " [ voxmira $Volume -CLI ]  Find out the LDEV  from all of the LDM Volumes for "
    "Windows2000/2003/2008/2012.\n"
    " [ voxmira $Phys -gvinf  -CLI ]    Get a drive layout and makes a layout file from all of the "
    "Physical Drives.\n"
    " [ voxmira $Phys -gvinfex -CLI ]   Get a drive layout for GPT/MBR and makes a layout file "
    "from all of the Physical Drives.\n"
    " [ echo hd0-10 | voxmira -svinf ]  Set a drive layout to disk#0-10.\n"
    " [ twinlist -l -fd -g VG1 | voxmira -svinf=Harddisk ]  Set a drive layout to disk# related to "
    "a group(VG1).\n";

TEST(Smoke, UsageRedirectionAndEmptyHost) {
  // The 42 lines byte for byte under the name the program was started with, each -h
  // printing them once, in the DOS-device prefix CHG_DVOBJ_CH chooses.
  std::string usage, percent;
  for (std::size_t at = 0, next; at < kUsage.size(); at = next + 7) {
    next = std::min(kUsage.find("voxmira", at), kUsage.size());
    usage.append(kUsage.substr(at, next - at));
    if (next < kUsage.size()) usage += program_shown("voxmira");
  }
  std::replace_copy(usage.begin(), usage.end(), std::back_inserter(percent), '$', '%');
  TempDir dir;
  const std::string empty = dir.write("host.json", "{\"disks\": []}\n");
  const struct {
    std::string args, out;
    Env env = {};
    std::string in = {}, host = example::example_host();
  } cases[] = {{"-h", usage},
               {"h", usage},
               {"-CLI -h", usage},
               {"-h -h", usage + usage},
               {"-h", percent, {{"CHG_DVOBJ_CH", "1"}}},
               {"", "", {}, "quit\n", empty}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + (c.env.empty() ? "" : " %"));
    example::expect_run(example::run_example(c.args, c.in, c.env, c.host), c.out, "");
  }
  // -z1w sends stdout to a file of the working folder.
  const RunResult r = run({"voxmira", {"-z1w=out.txt", "-h"}, {}, dir.path()});
  example::expect_run(r, "", "");
  EXPECT_EQ(read_output_file(dir.file("out.txt")), usage);
}

}  // namespace
}  // namespace vox::e2e
