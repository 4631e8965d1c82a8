#include "driver/usage.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "driver/flags.h"

namespace vox {

namespace {

// "%s" stands for the program path (for the -fh line: the array family "RZ"), "%c" for
// the DOS-device prefix character. Nothing else in a line is a placeholder, so a path
// holding '%' is printed as it is.
constexpr std::array<std::string_view, 42> kUsageLines = {
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
    " [-fh]            Display of the bitmap_page for %s/VX.",
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
    " [-fv]            Display of Volume{GUID} via %cVolume for Windows2000/2003/2008/2012.",
    " [No arg]         Find out the LDEV from harddisk#... in the STDIN.",
    " [-find[c]]       Find the group by using twinlist from harddisk#... in the STDIN.",
    " [-gplba[ex]]     Get the LBA for usable partition from disk#... in the STDIN.",
    " [-gvinf[ex]]     Get a drive layout and makes a layout file from disk#... in the STDIN.",
    " [-svinf[ex][=PTN]] Set a drive layout to disk[=PTN]#... in the STDIN.",
    " [harddisk#...]   Find out the LDEV from args(harddisk#...).",
    " [%cDosDevice]     Find out the LDEV from the following DosDevice. Refer to the user guide "
    "for details.",
    "  %cLETALL      -> Specifies All of the Drive Letter",
    "  %cC:          -> Specifies a 'C:' drive",
    "  %cPhys        -> Specifies All of the Physical Drives",
    "  %cVolume      -> Specifies All of the LDM Volumes for Windows2000/2003/2008/2012",
    "  %cVolume{...} -> Specifies a Volume{...} for Windows2000/2003/2008/2012",
    " [echo hd0-10 | %s -CLI]        Find out the LDEV  from harddisk#... of the echo.",
    " [ %s %cLETALL -CLI ]  Find out the LDEV  from all of the Drive letter.",
    " [ %s %cVolume -CLI ]  Find out the LDEV  from all of the LDM Volumes for "
    "Windows2000/2003/2008/2012.",
    " [ %s %cPhys -gvinf  -CLI ]    Get a drive layout and makes a layout file from all of the "
    "Physical Drives.",
    " [ %s %cPhys -gvinfex -CLI ]   Get a drive layout for GPT/MBR and makes a layout file from "
    "all of the Physical Drives.",
    " [ echo hd0-10 | %s -svinf ]  Set a drive layout to disk#0-10.",
    " [ twinlist -l -fd -g VG1 | %s -svinf=Harddisk ]  Set a drive layout to disk# related to a "
    "group(VG1).",
};

// The line of -fh names the array family whose bitmap pages it shows.
constexpr std::size_t kBitmapLine = 10;
constexpr std::string_view kBitmapFamily = "RZ";

void append_line(std::string& out, std::string_view line, std::string_view text, char c) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '%' && i + 1 < line.size() && (line[i + 1] == 's' || line[i + 1] == 'c')) {
      if (line[i + 1] == 's') {
        out += text;
      } else {
        out += c;
      }
      ++i;
    } else {
      out += line[i];
    }
  }
  out += '\n';
}

}  // namespace

std::string usage_text(const char* program, char dvobj) {
  std::string out;
  out.reserve(4096);
  for (std::size_t i = 0; i < kUsageLines.size(); ++i) {
    append_line(out, kUsageLines[i], i == kBitmapLine ? kBitmapFamily : program, dvobj);
  }
  return out;
}

void print_usage(const char* program) {
  const std::string text = usage_text(program, dvobj_char);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace vox
