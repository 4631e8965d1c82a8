#include "driver/usage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "driver/flags.h"

namespace vox {
namespace {

// The whole text for program "voxmira" and prefix '$', byte for byte.
const char* const kUsageDollar =
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

TEST(UsageText, IsTheFortyTwoLinesByteForByte) {
  EXPECT_EQ(usage_text("voxmira", '$'), kUsageDollar);
}

TEST(UsageText, PlaceholdersTakeTheProgramPathAndThePrefix) {
  const struct {
    const char* program;
    char dvobj;
  } cases[] = {{"voxmira", '%'}, {"", '$'}, {"C:\\tools\\vox.exe", '%'}, {"odd%s%c%d", '$'}};
  for (const auto& c : cases) {
    // Every '$' of the text is the prefix character and every "voxmira" the program.
    std::string want;
    for (const char* p = kUsageDollar; *p; ++p) {
      if (std::strncmp(p, "voxmira", 7) == 0) {
        want += c.program;
        p += 6;
      } else {
        want += *p == '$' ? c.dvobj : *p;
      }
    }
    EXPECT_EQ(usage_text(c.program, c.dvobj), want) << c.program;
    dvobj_char = c.dvobj;
    testing::internal::CaptureStdout();
    print_usage(c.program);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), want) << c.program;
  }
  dvobj_char = '$';
}

}  // namespace
}  // namespace vox
