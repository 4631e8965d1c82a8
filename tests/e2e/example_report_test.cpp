// The default report over the example host: every disk of it, the words that name them,
// the marks and the hexadecimal LDEV, the vendor page with -fr and -fe, and the pair
// lookups through the pair-status tool.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

struct Report {
  const char* first;
  std::vector<const char*> more;
};

// What the default report says after "<name> -> " for each disk that is identified.
const std::map<int, Report> kReports = {
    {1,
     {"[RB] CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]",
      {"VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]",
       "RAID5[Group  1- 2] SSID = 0x0004"}}},
    {2,
     {"[MV] CL2-B Ser =  210945 LDEV = 256 [TARVELO ] [DISK-2          ]",
      {"A-LUN[PoolID 0007] SSID = 0x0011 CTGID =  0"}}},
    {3,
     {"[MV] CL3-C Ser =  150000 LDEV =2571 [TARVELO ] [DISK-5          ]",
      {"VEXA = NONE  TESSIK[MU#0 = S-VOL MU#1 = NONE MU#2 = NONE]",
       "SNAPS[PoolID 0003] SSID = 0x0021 CTGID = 12"}}},
    {4, {"[PL] CL1-B Ser =70000812 LDEV =  36 [TARVELO ] [VDISK-7         ]", {}}},
    {5,
     {"[RB] CL1-B Ser =   64015 LDEV =1300 [TARVELO ] [DISK-1          ]",
      {"VEXA = S-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]",
       "UNMAP[Group 00000] SSID = 0x0005 CTGID =  7"}}},
    {6,
     {"[CW] CL3-B Ser =  412345 LDEV =  32 [TARVELO ] [DISK-6          ]",
      {"VEXA = NONE  TESSIK[MU#0 = P-VOL MU#1 = P-VOL MU#2 = NONE]",
       "E-LUN[Group 00257] SSID = 0x0030"}}},
    {7,
     {"[CW] CL5-A Ser =73000101 LDEV = 416 [TARVELO ] [DISK-7          ]",
      {"VEXA = P-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]",
       "RAID1[Group  3- 4] SSID = 0x0040 CTGID = 20"}}},
    {8,
     {"[RB] CL2-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]",
      {"VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]",
       "RAID5[Group  1- 2] SSID = 0x0004"}}},
    {12,
     {"[RB] CL1-A Ser =   64015 LDEV =2047 [TARVELO ] [DISK-1-CM       ]",
      {"RAID5[Group  1- 1] SSID = 0x0004"}}},
    {13,
     {"[RB] CL2-A Ser =   64015 LDEV =2047 [TARVELO ] [DISK-1-CM       ]",
      {"RAID5[Group  1- 1] SSID = 0x0004"}}},
    {14,
     {"[MV] CL2-B Ser =  210945 LDEV =4095 [TARVELO ] [DISK-2-CM       ]",
      {"RAID6[Group 12- 1] SSID = 0x0011"}}},
    {15,
     {"[RB] CL1-B Ser =   64015 LDEV =1023 [TARVELO ] [DISK-1-CM       ]",
      {"RAIDA[Group  5- 6] SSID = 0x0004"}}},
};

// What the probe says on stderr after "<name> -> " for the disks it cannot identify.
const std::map<int, const char*> kProbeErrors = {
    {0, "NOT supported RAID.                 [ATA     ] [SSD-512G        ]\n"},
    {9, "NOT harddisk.                       [ZEB     ] [TAPE-DRIVE-9    ]\n"},
    {10, "OPEN : [5] Access is denied.\n"},
    {11, "CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83] [TARVELO ] [DISK-1          ]\n"},
};

std::string report(const std::string& name, int disk) {
  const Report& r = kReports.at(disk);
  std::string text = name + " -> " + r.first + "\n";
  for (const char* line : r.more) text += std::string(name.size() + 4, ' ') + line + "\n";
  return text;
}

// The default report of disks `from`..`to` named HarddiskN: stdout and stderr.
std::pair<std::string, std::string> disks(int from, int to) {
  std::string out, err;
  for (int d = from; d <= to; ++d) {
    const std::string name = "Harddisk" + std::to_string(d);
    if (kReports.count(d) != 0) out += report(name, d);
    if (kProbeErrors.count(d) != 0) err += name + " -> " + kProbeErrors.at(d);
  }
  return {out, err};
}

struct Case {
  const char* what;
  std::vector<std::string> args;
  std::string stdin_text;
  std::string out;
  std::string err;
  int status;
};

void check(const Case& c, const RunResult& r) {
  EXPECT_EQ(r.exec_error, "") << c.what;
  EXPECT_EQ(r.out, c.out) << c.what;
  EXPECT_EQ(r.err, c.err) << c.what;
  EXPECT_EQ(r.exit_code, c.status) << c.what;
}

TEST(ExampleReport, DevicesByNumberAndByDosName) {
  const auto [all_out, all_err] = disks(0, 15);
  const Case cases[] = {
      {"every disk", {"hd0-15"}, "", all_out, all_err, 0},
      {"the range backwards", {"hd15-0"}, "", all_out, all_err, 0},
      {"every PhysicalDrive name", {"$Phys"}, "", all_out, all_err, 0},
      {"words from stdin", {}, "hd1 hd3\n", report("Harddisk1", 1) + report("Harddisk3", 3), "", 0},
      {"stdin, quit ends the run", {}, "hd2\nquit hd3\nhd4\n", report("Harddisk2", 2), "", 0},
      {"stdin, comment line", {}, "# hd1\nharddisk4\n", report("Harddisk4", 4), "", 0},
      {"the drive letter C:, then its mount point",
       {"$C:"},
       "",
       report("C:\\Vol3\\Dsk1", 1) + report("C:\\mnt\\data\\Vol4\\Dsk3", 3),
       "",
       0},
      {"mount points below C:\\mnt",
       {"$C:\\mnt"},
       "",
       report("C:\\mnt\\data\\Vol4\\Dsk3", 3),
       "",
       0},
      {"a mount point prefix that names nothing", {"$C:\\mnt\\data\\"}, "", "", "", 0},
      {"lower-case drive letter", {"$c:"}, "", "", "", 0},
      {"a letter bound to a partition", {"$F:"}, "", report("F:\\Dsk2\\p1", 2), "", 0},
      {"a CD-ROM letter is no disk", {"$Z:"}, "", "", "", 0},
      {"echo words",
       {"C:\\Vol3\\Dsk1", "\\Dmt1\\Dsk7"},
       "",
       report("C:\\Vol3\\Dsk1", 1) + report("\\Dmt1\\Dsk7", 7),
       "",
       0},
  };
  for (const Case& c : cases) check(c, run_example(c.args, c.stdin_text));
}

TEST(ExampleReport, SortedBySerialAndLdev) {
  // The reports come at the end, in serial and LDEV order; the probe's messages come
  // while the devices are read.
  std::string out;
  for (int d : {15, 1, 8, 5, 12, 13, 3, 2, 14, 6, 4, 7})
    out += report("Harddisk" + std::to_string(d), d);
  const Case c = {"-sort", {"-sort", "hd0-15"}, "", out, disks(0, 15).second, 0};
  check(c, run_example(c.args));
  // Nothing identified: nothing printed, status 0.
  check({"-sort over failures", {"-sort", "hd9-11"}, "", "", disks(9, 11).second, 0},
        run_example({"-sort", "hd9-11"}));
}

TEST(ExampleReport, SpanningAndDynamicVolumes) {
  // D: spans disks 4 and 5; E: is a dynamic simple volume with a RAID-5 volume mounted at
  // E:\logs; G: is striped over disks 7 and 11 (whose page INQUIRY fails).
  const Case cases[] = {
      {"spanned volume",
       {"$D:"},
       "",
       report("D:\\Vol5\\Dsk4", 4) + report("D:\\Vol5\\Dsk5", 5),
       "",
       0},
      {"dynamic simple volume and the RAID-5 volume mounted on it",
       {"$E:"},
       "",
       report("E:\\Dms1\\Dsk6", 6) + report("E:\\logs\\Dmr1\\Dsk6", 6) +
           report("E:\\logs\\Dmr1\\Dsk7", 7),
       std::string("E:\\logs\\Dmr1\\Dsk11 -> ") + kProbeErrors.at(11),
       0},
      {"striped volume",
       {"$G:"},
       "",
       report("G:\\Dmt1\\Dsk7", 7),
       std::string("G:\\Dmt1\\Dsk11 -> ") + kProbeErrors.at(11),
       0},
  };
  for (const Case& c : cases) check(c, run_example(c.args, c.stdin_text));
}

TEST(ExampleReport, EveryVolumeByItsGuid) {
  // With -fv the names keep the Volume{GUID} they were found under; the volume whose
  // extents cannot be read gives the Windows error report alone, the CD-ROM nothing.
  const std::string v1 = "Volume{4c1b7e2a-0d3f-4a6b-8e91-3f5d2c7a9b01}";
  const std::string v2 = "Volume{9a2f6c3e-1b4d-4c7e-a0f2-6d8e1b3c5a02}";
  const std::string v3 = "Volume{b7d3e91f-5a2c-4e8b-9c6d-1f0a3b5c7d03}";
  const std::string v4 = "Volume{2e8c4a6b-7d1f-4b3a-8e5c-9a1d3f6b8c04}";
  const std::string v5 = "Volume{5f1a9d2c-3e6b-4a8d-b1c7-2e4f6a8c0d05}";
  const std::string v6 = "Volume{8c3e5a7d-9f2b-4d1c-a6e8-4b7d9f1a3e06}";
  const std::string dm1 = "Volume{0a6d8f2b-4c7e-4a1d-9f5b-8e2a4c6d9f08}";
  const std::string st1 = "Volume{3b9e1c4f-6d8a-4c2e-b7f1-0d5b8e2a6c09}";
  const std::string r1 = "Volume{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}";
  const std::string out = report(v2 + "\\Vol2\\Dsk1", 1) + report(v3 + "\\Vol3\\Dsk1", 1) +
                          report(v4 + "\\Vol4\\Dsk3", 3) + report(v5 + "\\Vol5\\Dsk4", 4) +
                          report(v5 + "\\Vol5\\Dsk5", 5) + report(v6 + "\\Vol6\\Dsk2", 2) +
                          report(dm1 + "\\Dms1\\Dsk6", 6) + report(st1 + "\\Dmt1\\Dsk7", 7) +
                          report(r1 + "\\Dmr1\\Dsk6", 6) + report(r1 + "\\Dmr1\\Dsk7", 7);
  const std::string err = v1 + "\\Vol1\\Dsk0 -> " + kProbeErrors.at(0) +
                          "DeviceIoControl : [1] Incorrect function.\n" + st1 +
                          "\\Dmt1\\Dsk11 -> " + kProbeErrors.at(11) + r1 + "\\Dmr1\\Dsk11 -> " +
                          kProbeErrors.at(11);
  check({"$Volume -fv", {"$Volume", "-fv"}, "", out, err, 0}, run_example({"$Volume", "-fv"}));

  // Without -fv the same devices have the bare volume names.
  const std::string bare = report("\\Vol2\\Dsk1", 1) + report("\\Vol3\\Dsk1", 1) +
                           report("\\Vol4\\Dsk3", 3) + report("\\Vol5\\Dsk4", 4) +
                           report("\\Vol5\\Dsk5", 5) + report("\\Vol6\\Dsk2", 2) +
                           report("\\Dms1\\Dsk6", 6) + report("\\Dmt1\\Dsk7", 7) +
                           report("\\Dmr1\\Dsk6", 6) + report("\\Dmr1\\Dsk7", 7);
  const RunResult r = run_example({"$Volume"});
  EXPECT_EQ(r.out, bare);
  EXPECT_EQ(r.exit_code, 0);
}

TEST(ExampleReport, MarksAndHexadecimalLdev) {
  // Disk 1 is a H.A.R.D volume, disk 3 has a PIN track, disk 7 is a FENCOR volume.
  const Case cases[] = {
      {"-fx -fp",
       {"harddisk1", "-fx", "-fp"},
       "",
       lines({"Harddisk1* -> [RB] CL1-A Ser =   64015 LDEV = 4D2 [TARVELO ] [DISK-1          ]",
              "              VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]",
              "              RAID5[Group  1- 2] SSID = 0x0004"}),
       "",
       0},
      {"-pin marks the PIN volume only",
       {"-pin", "hd1", "hd3"},
       "",
       report("Harddisk1", 1) +
           lines({"Harddisk3* -> [MV] CL3-C Ser =  150000 LDEV =2571 [TARVELO ] [DISK-5          ]",
                  "              VEXA = NONE  TESSIK[MU#0 = S-VOL MU#1 = NONE MU#2 = NONE]",
                  "              SNAPS[PoolID 0003] SSID = 0x0021 CTGID = 12"}),
       "",
       0},
      {"-fl marks the FENCOR volume; -fx shows 0x1A0",
       {"-flx", "hd7"},
       "",
       lines({"Harddisk7* -> [CW] CL5-A Ser =73000101 LDEV = 1A0 [TARVELO ] [DISK-7          ]",
              "              VEXA = P-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]",
              "              RAID1[Group  3- 4] SSID = 0x0040 CTGID = 20"}),
       "",
       0},
      {"-fg adds the host group to the port",
       {"-fg", "hd1", "hd4", "hd6"},
       "",
       block("Harddisk1", "[RB] CL1-A-3 Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]",
             {"VEXA = P-VOL  TESSIK[MU#0 = SMPL MU#1 = P-VOL MU#2 = NONE]",
              "RAID5[Group  1- 2] SSID = 0x0004"}) +
           report("Harddisk4", 4) +
           block("Harddisk6", "[CW] CL3-B-0 Ser =  412345 LDEV =  32 [TARVELO ] [DISK-6          ]",
                 {"VEXA = NONE  TESSIK[MU#0 = P-VOL MU#1 = P-VOL MU#2 = NONE]",
                  "E-LUN[Group 00257] SSID = 0x0030"}),
       "",
       0},
  };
  for (const Case& c : cases) check(c, run_example(c.args, c.stdin_text));
}

TEST(ExampleReport, VendorPageRealId) {
  // Disk 2 presents 210945/256 and its vendor page names the real volume 64015/261 with
  // RAID1 group 2-7, SSID 0x0010 and consistency group 5. The port comes from the
  // standard data, tagged [CW]. Disk 1 lists no vendor page; disk 6 takes the
  // standard route, which knows no vendor page.
  const Case cases[] = {
      {"-fr keeps the presented identity",
       {"-fr", "hd2"},
       "",
       block("Harddisk2", "[CW] CL2-B Ser =  210945 LDEV = 256 [TARVELO ] [DISK-2          ]",
             {"A-LUN[PoolID 0007] SSID = 0x0011 CTGID =  0"}),
       "",
       0},
      {"-fe shows the real one",
       {"-fe", "hd2"},
       "",
       block("Harddisk2", "[CW] CL2-B Ser =   64015 LDEV = 261 [TARVELO ] [DISK-2          ]",
             {"RAID1[Group  2- 7] SSID = 0x0010 CTGID =  5"}),
       "",
       0},
      {"-fe with -fg and -fx",
       {"-fegx", "hd2"},
       "",
       block("Harddisk2", "[CW] CL2-B-5 Ser =   64015 LDEV = 105 [TARVELO ] [DISK-2          ]",
             {"RAID1[Group  2- 7] SSID = 0x0010 CTGID =  5"}),
       "",
       0},
      {"-fr on disks without the page",
       {"-fr", "hd1", "hd6", "hd2"},
       "",
       block("Harddisk2", "[CW] CL2-B Ser =  210945 LDEV = 256 [TARVELO ] [DISK-2          ]",
             {"A-LUN[PoolID 0007] SSID = 0x0011 CTGID =  0"}),
       lines({"Harddisk1 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[E2] [TARVELO ] [DISK-1      "
              "    ]",
              "Harddisk6 -> NOT supported INQ for PageE2.       [TARVELO ] [DISK-6          ]"}),
       0},
  };
  for (const Case& c : cases) check(c, run_example(c.args, c.stdin_text));
}

TEST(ExampleReport, PageInquiryCommands) {
  // The trace shows the two INQUIRY commands of a probe: the standard data with 256 bytes,
  // then page 0x83, or with -fr the vendor page 0xE2 with allocation length 0x02FF; both
  // pages with a transfer length of 255 and the default time-out of 4 seconds.
  const struct {
    std::vector<std::string> args;
    std::string trace;
  } cases[] = {
      {{"hd1"},
       lines({"CreateFile \\\\.\\PhysicalDrive1 access=0xc0000000 -> ok",
              "DeviceIoControl \\\\.\\PhysicalDrive1 0x0004d014 cdb=12000000ff00 length=256 "
              "timeout=4 -> ok status=0",
              "DeviceIoControl \\\\.\\PhysicalDrive1 0x0004d014 cdb=12018300ff00 length=255 "
              "timeout=4 -> ok status=0"})},
      {{"-fr", "hd2"},
       lines({"CreateFile \\\\.\\PhysicalDrive2 access=0xc0000000 -> ok",
              "DeviceIoControl \\\\.\\PhysicalDrive2 0x0004d014 cdb=12000000ff00 length=256 "
              "timeout=4 -> ok status=0",
              "DeviceIoControl \\\\.\\PhysicalDrive2 0x0004d014 cdb=1201e202ff00 length=255 "
              "timeout=4 -> ok status=0"})},
      {{"hd11"},
       lines({"CreateFile \\\\.\\PhysicalDrive11 access=0xc0000000 -> ok",
              "DeviceIoControl \\\\.\\PhysicalDrive11 0x0004d014 cdb=12000000ff00 length=256 "
              "timeout=4 -> ok status=0",
              "DeviceIoControl \\\\.\\PhysicalDrive11 0x0004d014 cdb=12018300ff00 length=255 "
              "timeout=4 -> ok status=2"})},
      // The standard route asks for no page at all.
      {{"hd6"},
       lines({"CreateFile \\\\.\\PhysicalDrive6 access=0xc0000000 -> ok",
              "DeviceIoControl \\\\.\\PhysicalDrive6 0x0004d014 cdb=12000000ff00 length=256 "
              "timeout=4 -> ok status=0"})},
      {{"hd10"}, lines({"CreateFile \\\\.\\PhysicalDrive10 access=0xc0000000 -> error 5"})},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string trace = dir.file("trace.txt");
    const RunResult r = run_example(c.args, {}, {{"VOXMIRA_TRACE", trace}});
    EXPECT_EQ(r.exit_code, 0) << c.args.back();
    EXPECT_EQ(read_output_file(trace), c.trace) << c.args.back();
  }
}

TEST(ExampleReport, InquiryDump) {
  // -inqdump on disk 1: the 248 bytes of its standard data (additional length 0xF3), then
  // the 58 bytes of page 0x83 (page length 54), then the report. Bytes 0xF0..0xF9 show as
  // digits in the character column.
  const std::string expected =
      lines({"               ***** STD inquiry dump  *****",
             " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------",
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
             " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------",
             "[0x@@@@@@@@]0000:   00830036 0201001a 4e313620 20303030     ...6....N16  000  ",
             "[0x@@@@@@@@]0010:   36343031 35203031 32333420 20202020     64015 01234       ",
             "[0x@@@@@@@@]0020:   31610103 00145001 2ab00c3f 00004001     1a....P.*..?..@.  ",
             "[0x@@@@@@@@]0030:   00000000 00000000 e800                  ..........        "}) +
      report("Harddisk1", 1);
  const RunResult r = run_example({"-inqdump", "hd1"});
  EXPECT_EQ(without_addresses(r.out), expected);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exit_code, 0);

  // The address column counts the dumped bytes: each line 16 on from the one before.
  const std::regex line(R"(\[0x([0-9a-f]{8})\]([0-9a-f]{4}):)");
  long long base = -1;
  int seen = 0;
  for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), line);
       it != std::sregex_iterator() && seen < 16; ++it, ++seen) {
    const long long address = std::stoll((*it)[1].str(), nullptr, 16);
    const long long offset = std::stoll((*it)[2].str(), nullptr, 16);
    if (base < 0) base = address - offset;
    EXPECT_EQ(address - offset, base) << (*it)[0].str();
  }
  EXPECT_EQ(seen, 16);
}

TEST(ExampleReport, TapeUnderInquiryDump) {
  // A device that is not a disk is dumped before it is turned down.
  const RunResult r = run_example({"-inqdump", "hd9"});
  EXPECT_EQ(
      without_addresses(r.out),
      lines({"               ***** STD inquiry dump  *****",
             " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------",
             "[0x@@@@@@@@]0000:   01800602 33000000 5a454220 20202020     ....3...ZEB       ",
             "[0x@@@@@@@@]0010:   54415045 2d445249 56452d39 20202020     TAPE-DRIVE-9      ",
             "[0x@@@@@@@@]0020:   41314232 00000000 00000000 00000000     A1B2............  ",
             "[0x@@@@@@@@]0030:   00000000 00000000                       ........          "}));
  EXPECT_EQ(r.err, "Harddisk9 -> " + std::string(kProbeErrors.at(9)));
}

}  // namespace
}  // namespace vox::e2e::example
