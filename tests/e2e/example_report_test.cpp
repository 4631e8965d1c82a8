// The default report over the example host: the words that name its disks, sorted runs,
// the volumes of every kind, marks and hexadecimal LDEVs, the vendor page, the INQUIRY
// commands sent and the inquiry dump.
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

// The report lines of each identified disk, after "<name> -> ".
const std::map<int, std::vector<std::string>> kReports = {
    {1,
     {"[RB] CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]",
      "VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]",
      "RAID5[Group  1- 2] SSID = 0x0004"}},
    {2,
     {"[MV] CL2-B Ser =  210945 LDEV = 256 [TARVELO ] [DISK-2          ]",
      "A-LUN[PoolID 0007] SSID = 0x0011 CTGID =  0"}},
    {3,
     {"[MV] CL3-C Ser =  150000 LDEV =2571 [TARVELO ] [DISK-5          ]",
      "VEXA = NONE  TESSIK[MU#0 = S-VOL MU#1 = NONE MU#2 = NONE]",
      "SNAPS[PoolID 0003] SSID = 0x0021 CTGID = 12"}},
    {4, {"[PL] CL1-B Ser =70000812 LDEV =  36 [TARVELO ] [VDISK-7         ]"}},
    {5,
     {"[RB] CL1-B Ser =   64015 LDEV =1300 [TARVELO ] [DISK-1          ]",
      "VEXA = S-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]",
      "UNMAP[Group 00000] SSID = 0x0005 CTGID =  7"}},
    {6,
     {"[CW] CL3-B Ser =  412345 LDEV =  32 [TARVELO ] [DISK-6          ]",
      "VEXA = NONE  TESSIK[MU#0 = P-VOL MU#1 = P-VOL MU#2 = NONE]",
      "E-LUN[Group 00257] SSID = 0x0030"}},
    {7,
     {"[CW] CL5-A Ser =73000101 LDEV = 416 [TARVELO ] [DISK-7          ]",
      "VEXA = P-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]",
      "RAID1[Group  3- 4] SSID = 0x0040 CTGID = 20"}},
    {8,
     {"[RB] CL2-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]",
      "VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]",
      "RAID5[Group  1- 2] SSID = 0x0004"}},
    {12,
     {"[RB] CL1-A Ser =   64015 LDEV =2047 [TARVELO ] [DISK-1-CM       ]",
      "RAID5[Group  1- 1] SSID = 0x0004"}},
    {13,
     {"[RB] CL2-A Ser =   64015 LDEV =2047 [TARVELO ] [DISK-1-CM       ]",
      "RAID5[Group  1- 1] SSID = 0x0004"}},
    {14,
     {"[MV] CL2-B Ser =  210945 LDEV =4095 [TARVELO ] [DISK-2-CM       ]",
      "RAID6[Group 12- 1] SSID = 0x0011"}},
    {15,
     {"[RB] CL1-B Ser =   64015 LDEV =1023 [TARVELO ] [DISK-1-CM       ]",
      "RAIDA[Group  5- 6] SSID = 0x0004"}},
};

// A default report block: "<name> -> <first>", further lines indented to line up.
std::string block(const std::string& name, const std::vector<std::string>& rows) {
  std::string text = name + " -> " + rows.at(0) + "\n";
  for (std::size_t k = 1; k < rows.size(); ++k)
    text += std::string(name.size() + 4, ' ') + rows[k] + "\n";
  return text;
}
std::string report(const std::string& name, int disk) {
  return block(name, kReports.at(disk));
}
std::string report(int disk) {
  return report("Harddisk" + std::to_string(disk), disk);
}

// `text` with its first `from` made `to`.
std::string edited(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? "(no " + from + ") " + text : text.replace(at, from.size(), to);
}

// The reports of those of `disks` that are identified, in that order.
std::string reports(std::initializer_list<int> disks) {
  std::string out;
  for (int d : disks) out += kReports.count(d) ? report(d) : "";
  return out;
}

struct Case {
  std::string args, stdin_text, out, err;
};

void check_all(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args + " < " + c.stdin_text);
    expect_run(run_example(words(c.args), c.stdin_text), c.out, c.err);
  }
}

TEST(ExampleReport, DevicesByWords) {
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
  check_all({
      {"hd0-15", "", all, kProbeErrors},
      {"hd15-0", "", all, kProbeErrors},
      {"$Phys", "", all, kProbeErrors},
      {"", "hd1 hd3\n", reports({1, 3}), ""},
      {"", "hd2\nquit hd3\nhd4\n", report(2), ""},  // quit ends the run
      {"", "# hd1\nharddisk4\n", report(4), ""},
      {"$C:", "", report("C:\\Vol3\\Dsk1", 1) + c_mnt, ""},  // the letter, then its mount point
      {"$C:\\mnt", "", c_mnt, ""},
      {"$C:\\mnt\\data\\", "", "", ""},  // a prefix that names nothing
      {"$c:", "", "", ""},
      {"$F:", "", report("F:\\Dsk2\\p1", 2), ""},  // a letter bound to a partition
      {"$Z:", "", "", ""},                         // a CD-ROM is no disk
      {"C:\\Vol3\\Dsk1 \\Dmt1\\Dsk7", "", report("C:\\Vol3\\Dsk1", 1) + report("\\Dmt1\\Dsk7", 7),
       ""},
      {"$D:", "", report("D:\\Vol5\\Dsk4", 4) + report("D:\\Vol5\\Dsk5", 5), ""},
      {"$E:", "", e, probe_error(11, "E:\\logs\\Dmr1\\Dsk11")},
      {"$G:", "", report("G:\\Dmt1\\Dsk7", 7), probe_error(11, "G:\\Dmt1\\Dsk11")},
      {"-sort hd0-15", "", sorted, kProbeErrors},
      {"-sort hd15-8 hd7-0", "", from_8,
       kProbeErrors.substr(kProbeErrors.find("Harddisk9")) + probe_error(0)},
      {"-sort hd9-11", "", "", probe_error(9) + probe_error(10) + probe_error(11)},
  });
}

TEST(ExampleReport, EveryVolumeByItsGuid) {
  // With -fv names keep the Volume{GUID} they were found under; the volume whose extents
  // cannot be read gives the Windows error report alone, the CD-ROM nothing.
  const struct {
    const char *guid, *tail;
    int disk;
  } volumes[] = {{"{9a2f6c3e-1b4d-4c7e-a0f2-6d8e1b3c5a02}", "\\Vol2\\Dsk1", 1},
                 {"{b7d3e91f-5a2c-4e8b-9c6d-1f0a3b5c7d03}", "\\Vol3\\Dsk1", 1},
                 {"{2e8c4a6b-7d1f-4b3a-8e5c-9a1d3f6b8c04}", "\\Vol4\\Dsk3", 3},
                 {"{5f1a9d2c-3e6b-4a8d-b1c7-2e4f6a8c0d05}", "\\Vol5\\Dsk4", 4},
                 {"{5f1a9d2c-3e6b-4a8d-b1c7-2e4f6a8c0d05}", "\\Vol5\\Dsk5", 5},
                 {"{8c3e5a7d-9f2b-4d1c-a6e8-4b7d9f1a3e06}", "\\Vol6\\Dsk2", 2},
                 {"{0a6d8f2b-4c7e-4a1d-9f5b-8e2a4c6d9f08}", "\\Dms1\\Dsk6", 6},
                 {"{3b9e1c4f-6d8a-4c2e-b7f1-0d5b8e2a6c09}", "\\Dmt1\\Dsk7", 7},
                 {"{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}", "\\Dmr1\\Dsk6", 6},
                 {"{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}", "\\Dmr1\\Dsk7", 7}};
  std::string out;
  for (const auto& v : volumes) out += report(std::string("Volume") + v.guid + v.tail, v.disk);
  check_all({{"$Volume -fv", "", out,
              probe_error(0, "Volume{4c1b7e2a-0d3f-4a6b-8e91-3f5d2c7a9b01}\\Vol1\\Dsk0") +
                  "DeviceIoControl : [1] Incorrect function.\n" +
                  probe_error(11, "Volume{3b9e1c4f-6d8a-4c2e-b7f1-0d5b8e2a6c09}\\Dmt1\\Dsk11") +
                  probe_error(11, "Volume{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}\\Dmr1\\Dsk11")}});
}

TEST(ExampleReport, MarksHexadecimalAndVendorPage) {
  // Disk 1 is a H.A.R.D volume, disk 3 has a PIN track, disk 7 is a FENCOR volume. Disk 2
  // presents 210945/256; its vendor page names the real volume 64015/261 and the report
  // takes the [CW] tag. Disk 1 lists no vendor page; disk 6 takes the standard route.
  const std::string real = "[CW] CL2-B Ser =   64015 LDEV = 261 [TARVELO ] [DISK-2          ]";
  const std::string fe = block("Harddisk2", {real, "RAID1[Group  2- 7] SSID = 0x0010 CTGID =  5"});
  const std::string fegx = edited(edited(fe, "= 261", "= 105"), "CL2-B", "CL2-B-5");
  const std::string fg =
      edited(report(1), "CL1-A", "CL1-A-3") + report(4) + edited(report(6), "CL3-B", "CL3-B-0");
  const std::string fr = edited(report(2), "[MV]", "[CW]");
  const std::string no_page =
      edited(probe_error(11, "Harddisk1"), "VPD[83]", "VPD[E2]") +
      "Harddisk6 -> NOT supported INQ for PageE2.       [TARVELO ] [DISK-6          ]\n";
  check_all({
      {"harddisk1 -fx -fp", "", edited(report("Harddisk1*", 1), "=1234", "= 4D2"), ""},
      {"-pin hd1 hd3", "", report(1) + report("Harddisk3*", 3), ""},
      {"-flx hd7", "", edited(report("Harddisk7*", 7), "= 416", "= 1A0"), ""},
      {"-fg hd1 hd4 hd6", "", fg, ""},
      {"-fr hd2", "", fr, ""},
      {"-fe hd2", "", fe, ""},
      {"-fegx hd2", "", fegx, ""},
      {"-fr hd1 hd6 hd2", "", fr, no_page},
  });
}

TEST(ExampleReport, InquiryDump) {
  // Disk 1: its 248 bytes of standard data, then the 58 bytes of page 0x83, then the
  // report; bytes 0xF0..0xF9 show as digits. The tape is dumped before it is turned down.
  const std::string title =
      " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------";
  const std::string std_title = "               ***** STD inquiry dump  *****";
  const std::string disk1 =
      lines({std_title,
             title,
             "[0x@@@@@@@@]0000:   00000602 f3000000 54415256 454c4f20     ....3...TARVELO   ",
             "[0x@@@@@@@@]0010:   4449534b 2d312020 20202020 20202020     DISK-1            ",
             "[0x@@@@@@@@]0020:   38333031 30333030 46413046 30344432     83010300FA0F04D2  ",
             "[0x@@@@@@@@]0030:   00314100 02010200 00000000 00000000     .1A.............  ",
             "[0x@@@@@@@@]0040:   00000000 00000000 00000000 00000000     ................  ",
             "[0x@@@@@@@@]0050:   00000000 00000000 00000000 00000000     ................  ",
             "[0x@@@@@@@@]0060:   01020500 0400ff00 10005a1b 2c3d4e01     ..........Z.,=N.  ",
             "[0x@@@@@@@@]0070:   20005a1b 2c3d4e01 01000003 00000000      .Z.,=N.........  ",
             "[0x@@@@@@@@]0080:   00000000 00000000 00000000 00010000     ................  ",
             "[0x@@@@@@@@]0090:   02000000 00000000 01020000 00000000     ................  ",
             "[0x@@@@@@@@]00a0:   00000000 00000000 00c00000 00000000     ................  ",
             "[0x@@@@@@@@]00b0:   00000000 00000000 00000000 00000000     ................  ",
             "[0x@@@@@@@@]00c0:   000004b0 00000154 00000016 00001f40     .......T.......@  ",
             "[0x@@@@@@@@]00d0:   000005dc 424f4f54 2d4c552d 30310000     ....BOOT-LU-01..  ",
             "[0x@@@@@@@@]00e0:   00000000 00000000 00000000 00000000     ................  ",
             "[0x@@@@@@@@]00f0:   00000000 00000000                       ........          ",
             "               ***** P83 inquiry dump  *****",
             title,
             "[0x@@@@@@@@]0000:   00830036 0201001a 4e313620 20303030     ...6....N16  000  ",
             "[0x@@@@@@@@]0010:   36343031 35203031 32333420 20202020     64015 01234       ",
             "[0x@@@@@@@@]0020:   31610103 00145001 2ab00c3f 00004001     1a....P.*..?..@.  ",
             "[0x@@@@@@@@]0030:   00000000 00000000 e800                  ..........        "});
  const std::string tape =
      lines({std_title, title,
             "[0x@@@@@@@@]0000:   01800602 33000000 5a454220 20202020     ....3...ZEB       ",
             "[0x@@@@@@@@]0010:   54415045 2d445249 56452d39 20202020     TAPE-DRIVE-9      ",
             "[0x@@@@@@@@]0020:   41314232 00000000 00000000 00000000     A1B2............  ",
             "[0x@@@@@@@@]0030:   00000000 00000000                       ........          "});
  for (const auto& [disk, out, err] : {std::tuple{"hd1", disk1 + report(1), std::string()},
                                       std::tuple{"hd9", tape, probe_error(9)}}) {
    RunResult r = run_example({"-inqdump", disk});
    r.out = without_addresses(r.out);
    expect_run(r, out, err);
  }
}

}  // namespace
}  // namespace vox::e2e::example
