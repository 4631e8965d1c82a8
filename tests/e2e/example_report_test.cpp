// The default report over the example host: the words naming its disks and volumes,
// sorted runs, marks, hexadecimal LDEVs, the vendor page and the inquiry dump.
#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

// The report lines of each identified disk, after "<name> -> ", in order.
const std::multimap<int, std::string> kReports = {
    {1, "[RB] CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]"},
    {1, "VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]"},
    {1, "RAID5[Group  1- 2] SSID = 0x0004"},
    {2, "[MV] CL2-B Ser =  210945 LDEV = 256 [TARVELO ] [DISK-2          ]"},
    {2, "A-LUN[PoolID 0007] SSID = 0x0011 CTGID =  0"},
    {3, "[MV] CL3-C Ser =  150000 LDEV =2571 [TARVELO ] [DISK-5          ]"},
    {3, "VEXA = NONE  TESSIK[MU#0 = S-VOL MU#1 = NONE MU#2 = NONE]"},
    {3, "SNAPS[PoolID 0003] SSID = 0x0021 CTGID = 12"},
    {4, "[PL] CL1-B Ser =70000812 LDEV =  36 [TARVELO ] [VDISK-7         ]"},
    {5, "[RB] CL1-B Ser =   64015 LDEV =1300 [TARVELO ] [DISK-1          ]"},
    {5, "VEXA = S-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]"},
    {5, "UNMAP[Group 00000] SSID = 0x0005 CTGID =  7"},
    {6, "[CW] CL3-B Ser =  412345 LDEV =  32 [TARVELO ] [DISK-6          ]"},
    {6, "VEXA = NONE  TESSIK[MU#0 = P-VOL MU#1 = P-VOL MU#2 = NONE]"},
    {6, "E-LUN[Group 00257] SSID = 0x0030"},
    {7, "[CW] CL5-A Ser =73000101 LDEV = 416 [TARVELO ] [DISK-7          ]"},
    {7, "VEXA = P-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]"},
    {7, "RAID1[Group  3- 4] SSID = 0x0040 CTGID = 20"},
    {8, "[RB] CL2-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]"},
    {8, "VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]"},
    {8, "RAID5[Group  1- 2] SSID = 0x0004"},
    {12, "[RB] CL1-A Ser =   64015 LDEV =2047 [TARVELO ] [DISK-1-CM       ]"},
    {12, "RAID5[Group  1- 1] SSID = 0x0004"},
    {13, "[RB] CL2-A Ser =   64015 LDEV =2047 [TARVELO ] [DISK-1-CM       ]"},
    {13, "RAID5[Group  1- 1] SSID = 0x0004"},
    {14, "[MV] CL2-B Ser =  210945 LDEV =4095 [TARVELO ] [DISK-2-CM       ]"},
    {14, "RAID6[Group 12- 1] SSID = 0x0011"},
    {15, "[RB] CL1-B Ser =   64015 LDEV =1023 [TARVELO ] [DISK-1-CM       ]"},
    {15, "RAIDA[Group  5- 6] SSID = 0x0004"},
    // The real volume behind disk 2, as its vendor page names it.
    {102, "[CW] CL2-B Ser =   64015 LDEV = 261 [TARVELO ] [DISK-2          ]"},
    {102, "RAID1[Group  2- 7] SSID = 0x0010 CTGID =  5"},
};

// The default report of `disk` under `name`: "<name> -> " before its first line, blanks
// as wide before the others; nothing for a disk that is not identified.
std::string report(const std::string& name, int disk) {
  std::string text, lead = name + " -> ";
  for (auto [at, end] = kReports.equal_range(disk); at != end; ++at, lead.assign(lead.size(), ' '))
    text += lead + at->second + "\n";
  return text;
}

// `text` with its first `from` made `to`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? "(no " + from + ") " + text : text.replace(at, from.size(), to);
}

// The reports of `disks` in that order.
std::string reports(std::initializer_list<int> disks) {
  std::string out;
  for (int d : disks) out += report("Harddisk" + std::to_string(d), d);
  return out;
}

TEST(ExampleReport, Reports) {
  const std::string all = reports({1, 2, 3, 4, 5, 6, 7, 8, 12, 13, 14, 15});
  const std::string c_mnt = report("C:\\mnt\\data\\Vol4\\Dsk3", 3);
  // D: spans disks 4 and 5; E: is a dynamic simple volume with a RAID-5 volume mounted at
  // E:\logs; G: is striped over disks 7 and 11, whose page INQUIRY fails.
  const std::string e = report("E:\\Dms1\\Dsk6", 6) + report("E:\\logs\\Dmr1\\Dsk6", 6) +
                        report("E:\\logs\\Dmr1\\Dsk7", 7);
  // Sorted reports come at the end, paths to one LDEV in arrival order (hd15-8 gives disks
  // 8 to 15: 8 before 1); the probe's messages come while the devices are read.
  const std::string sorted = reports({15, 1, 8, 5, 12, 13, 3, 2, 14, 6, 4, 7});
  const std::string from_8 = reports({15, 8, 1, 5, 12, 13, 3, 2, 14, 6, 4, 7});
  // Every volume with its extents; the volume whose extents cannot be read gives the
  // Windows error report alone.
  std::string volumes, name;
  std::istringstream extents(
      "Vol2\\Dsk1 1 Vol3\\Dsk1 1 Vol4\\Dsk3 3 Vol5\\Dsk4 4 Vol5\\Dsk5 5 Vol6\\Dsk2 2 Dms1\\Dsk6 6 "
      "Dmt1\\Dsk7 7 Dmr1\\Dsk6 6 Dmr1\\Dsk7 7");
  for (int disk; extents >> name >> disk;) volumes += report("\\" + name, disk);
  // Disk 1 is a H.A.R.D volume, disk 3 has a PIN track. Disk 2 presents 210945/256; its
  // vendor page names the real volume 64015/261 and the report takes the [CW] tag. Disk 1
  // lists no vendor page; disk 6 takes the standard route.
  const std::string fe = report("Harddisk2", 102);
  const std::string fegx = edited(edited(fe, "= 261", "= 105"), "CL2-B", "CL2-B-5");
  const std::string fg = edited(reports({1}), "CL1-A", "CL1-A-3") + reports({4}) +
                         edited(reports({6}), "CL3-B", "CL3-B-0");
  const std::string fr = edited(reports({2}), "[MV]", "[CW]");
  const std::string no_page =
      edited(probe_error(11, "Harddisk1"), "VPD[83]", "VPD[E2]") +
      "Harddisk6 -> NOT supported INQ for PageE2.       [TARVELO ] [DISK-6          ]\n";
  check_all({
      {"hd0-15", all, kProbeErrors},
      {"$Phys", all, kProbeErrors},
      {"", reports({1, 3}), "", 0, "hd1 hd3\n"},
      {"", reports({2}), "", 0, "hd2\nquit hd3\nhd4\n"},  // quit ends the run
      {"", reports({4}), "", 0, "# hd1\nharddisk4\n"},
      {"$C:", report("C:\\Vol3\\Dsk1", 1) + c_mnt},  // the letter, then its mount point
      {"$C:\\mnt", c_mnt},
      {"$C:\\mnt\\data\\", ""},            // a prefix that names nothing
      {"$F:", report("F:\\Dsk2\\p1", 2)},  // a letter bound to a partition
      {"$Z:", ""},                         // a CD-ROM is no disk
      {"C:\\Vol3\\Dsk1 \\Dmt1\\Dsk7", report("C:\\Vol3\\Dsk1", 1) + report("\\Dmt1\\Dsk7", 7)},
      {"$D:", report("D:\\Vol5\\Dsk4", 4) + report("D:\\Vol5\\Dsk5", 5)},
      {"$E:", e, probe_error(11, "E:\\logs\\Dmr1\\Dsk11")},
      {"$G:", report("G:\\Dmt1\\Dsk7", 7), probe_error(11, "G:\\Dmt1\\Dsk11")},
      {"$Volume", volumes,
       probe_error(0, "\\Vol1\\Dsk0") + "DeviceIoControl : [1] Incorrect function.\n" +
           probe_error(11, "\\Dmt1\\Dsk11") + probe_error(11, "\\Dmr1\\Dsk11")},
      {"-sort hd0-15", sorted, kProbeErrors},
      {"-sort hd15-8 hd7-0", from_8,
       kProbeErrors.substr(kProbeErrors.find("Harddisk9")) + probe_error(0)},
      {"-sort hd9-11", "", probe_error(9) + probe_error(10) + probe_error(11)},
      {"harddisk1 -fx -fp", edited(report("Harddisk1*", 1), "=1234", "= 4D2")},
      {"-pin hd1 hd3", reports({1}) + report("Harddisk3*", 3)},
      {"-fg hd1 hd4 hd6", fg},
      {"-fe hd2", fe},
      {"-fegx hd2", fegx},
      {"-fr hd1 hd6 hd2", fr, no_page},
  });
}

TEST(ExampleReport, InquiryDump) {
  // The standard data up to its additional length, then page 0x83 up to its page length
  // (58 bytes for disk 1), then the report; a device that is not a disk is dumped before
  // it is turned down.
  const std::string title =
      " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------\n";
  const std::string p83 =
      "               ***** P83 inquiry dump  *****\n" + title +
      "[0x@@@@@@@@]0000:   00830036 0201001a 4e313620 20303030     ...6....N16  000  \n"
      "[0x@@@@@@@@]0010:   36343031 35203031 32333420 20202020     64015 01234       \n"
      "[0x@@@@@@@@]0020:   31610103 00145001 2ab00c3f 00004001     1a....P.*..?..@.  \n"
      "[0x@@@@@@@@]0030:   00000000 00000000 e800                  ..........        \n";
  const std::string tape =
      "               ***** STD inquiry dump  *****\n" + title +
      "[0x@@@@@@@@]0000:   01800602 33000000 5a454220 20202020     ....3...ZEB       \n"
      "[0x@@@@@@@@]0010:   54415045 2d445249 56452d39 20202020     TAPE-DRIVE-9      \n"
      "[0x@@@@@@@@]0020:   41314232 00000000 00000000 00000000     A1B2............  \n"
      "[0x@@@@@@@@]0030:   00000000 00000000                       ........          \n";
  RunResult r = run_example("-inqdump hd1");
  r.out = without_addresses(r.out);
  const std::string std1 = r.out.substr(0, r.out.find("               ***** P83"));
  EXPECT_EQ(std::count(std1.begin(), std1.end(), '\n'), 2 + 248 / 16 + 1) << std1;
  r.out.erase(0, std1.size());
  expect_run(r, p83 + reports({1}), "");
  r = run_example("-inqdump hd9");
  r.out = without_addresses(r.out);
  expect_run(r, tape, probe_error(9));
}

}  // namespace
}  // namespace vox::e2e::example
