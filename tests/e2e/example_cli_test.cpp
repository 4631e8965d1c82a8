// The CLI tables over the example host: -CLI and its product-column forms, the WWN
// tables, sorted tables with the bitmap counters, the command-device image, and
// DOS-device words in CLI form.
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

// Each -CLI row after the name column. Disks that could not be probed still get a row of
// "-", with the product identification when the standard INQUIRY had been read.
const std::map<int, std::string> kRows = {
    {0, "-            -     -   -       -     -       - SSD-512G        "},
    {1, "CL1-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          "},
    {2, "CL2-B   210945   256   0       -  0011 A:00007 DISK-2          "},
    {3, "CL3-C   150000  2571  12  -/S/--  0021 S:00003 DISK-5          "},
    {4, "CL1-B   70000812    36   -       -     -       - VDISK-7         "},
    {5, "CL1-B    64015  1300   7  S/-/--  0005 U:00000 DISK-1          "},
    {6, "CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          "},
    {7, "CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          "},
    {8, "CL2-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          "},
    {9, "-            -     -   -       -     -       - TAPE-DRIVE-9    "},
    {10, "-            -     -   -       -     -       - -               "},
    {11, "-            -     -   -       -     -       - DISK-1          "},
    {12, "CL1-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       "},
    {13, "CL2-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       "},
    {14, "CL2-B   210945  4095   -       -  0011 6:12-01 DISK-2-CM       "},
    {15, "CL1-B    64015  1023   -       -  0004 A:05-06 DISK-1-CM       "},
};

// The name padded to `width`, a blank, then `rest`; a longer name shifts the row.
std::string row(std::string name, const std::string& rest, std::size_t width = 15) {
  if (name.size() < width) name.resize(width, ' ');
  return name + " " + rest + "\n";
}
std::string header(std::size_t width = 15) {
  return row("DEVICE_FILE", "PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID", width);
}
std::string cli(std::initializer_list<int> disks) {
  std::string text = header();
  for (int d : disks) text += row("Harddisk" + std::to_string(d), kRows.at(d));
  return text;
}

TEST(ExampleCli, TablesAndProductColumns) {
  const std::string all = cli({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
  // Target port WWN, AL_PA and LUN from page 0x83; then the host's port and node WWNs.
  const std::string head = "WWN              AL PORT    LUN   SERIAL  LDEV PRODUCT_ID";
  const std::string none = "-                 - -         -        -     - SSD-512G        ";
  const std::string wwn =
      row("DEVICE_FILE", head) + row("Harddisk0", none) +
      "Harddisk1       50012ab00c3f0000 E8 CL1-A     1    64015  1234 DISK-1          \n"
      "Harddisk2       -                 - CL2-B     -   210945   256 DISK-2          \n"
      "Harddisk3       50012ab00d490022 01 CL3-C   258   150000  2571 DISK-5          \n";
  const auto host_wwn = [&](const char* kind, const std::string& w) {
    return row("DEVICE_FILE", kind + ("WWN" + head.substr(4))) + row("Harddisk0", none) +
           row("Harddisk1", w + "1 E8 CL1-A     1    64015  1234 DISK-1          ") +
           row("Harddisk2", w + "2  - CL2-B     -   210945   256 DISK-2          ");
  };
  // -fr: the real ID beside the presented one, CM marking the command device, and winning
  // over -fn; -fe: the real ID in place of the presented one.
  const std::string fr =
      "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM\n";
  const std::string fr2 =
      "Harddisk2       CL2-B   210945   256   0       -  0011 A:00007    64015    261  -\n";
  const std::string marked =
      header() +
      "Harddisk1*      CL1-A    64015   4D2   -  P/s/P-  0004 5:01-02 DISK-1          \n"
      "Harddisk3*      CL3-C   150000   A0B  12  -/S/--  0021 S:00003 DISK-5          \n"
      "Harddisk7*      CL5-A   73000101   1A0  20  P/-/--  0040 1:03-04 DISK-7          \n";
  check_all({
      {"hd0-15 -CLI", all},
      {"-CLIB hd0-15", all},        // -CLIB outside -sort is -CLI
      {"-CLIWN -CLI hd0-15", all},  // the last CLI option wins
      {"-CLIW hd0-3", wwn},
      {"-CLIWP hd0-2", host_wwn("P", "10005a1b2c3d4e0")},
      {"-CLIWN hd0-2", host_wwn("N", "20005a1b2c3d4e0")},
      {"-fr -CLI hd1 hd2 hd14",
       fr + row("Harddisk1", "-            -     -   -       -     -       -        -      -  -") +
           fr2 +
           "Harddisk14      CL2-B   210945  4095   -       -  0011 6:12-01    64015   2048 CM\n"},
      {"-fnr -CLI hd2", fr + fr2},
      {"-fe -CLI hd2",
       header() +
           row("Harddisk2", "CL2-B    64015   261   5       -  0010 1:02-07 DISK-2          ")},
      {"-fplx -pin -CLI hd1 hd3 hd7", marked},
  });
}

TEST(ExampleCli, SortedTables) {
  // Serial order, LDEV order within an array, paths to one LDEV in arrival order; devices
  // not probed are not collected. LDEV 1234 counts once for its two paths; command devices,
  // and volumes whose standard data is too short for the counters, show "-".
  const std::string bitmap =
      "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +LQ/LQ  UNUSED  PRODUCT_ID\n";
  check_all({
      {"-sort -CLI hd0-15", cli({15, 1, 8, 5, 12, 13, 3, 2, 14, 6, 4, 7})},
      {"-sort -CLIB hd1 hd3-5 hd8 hd15",
       bitmap + "Harddisk15      CL1-B    64015  1023  0  1       -       -  DISK-1-CM       \n"
                "Harddisk1       CL1-A    64015  1234  0  1    1200    8000  DISK-1          \n"
                "Harddisk8       CL2-A    64015  1234  0  2    1200    8000  DISK-1          \n"
                "Harddisk5       CL1-B    64015  1300  - 126       -       -  DISK-1          \n"
                "Harddisk3       CL3-C   150000  2571  1  3     500    7500  DISK-5          \n"
                "Harddisk4       CL1-B   70000812    36  -  -       -       -  VDISK-7         \n"},
  });
}

TEST(ExampleCli, CommandDeviceImage) {
  // 64015 has LDEV 1023 with one command-device path and LDEV 2047 with two: 2047 is
  // shown. Without -CLI the probe's messages still go to stderr.
  const std::string head = "VEXAM_CMD\n#dev_name               dev_name                dev_name\n";
  const std::string image =
      head +
      lines({"#UnitID 0 (Serial# 64015)", "\\\\.\\PhysicalDrive12     \\\\.\\PhysicalDrive13     ",
             "#UnitID 1 (Serial# 210945)", "\\\\.\\PhysicalDrive14     "});
  check_all({
      {"-sort -CM hd0-15", image, kProbeErrors},
      {"-sort -CM -CLI hd0-15", image},
      {"-sort -CM hd15", head + "#UnitID 0 (Serial# 64015)\n\\\\.\\PhysicalDrive15     \n"},
      {"-sort -CM hd1-8", "", "", 1},  // no command device
  });
}

TEST(ExampleCli, DosDeviceWords) {
  // Every drive letter with its mount points; the CD-ROM Z: is not below \Device\Harddisk.
  std::string letall = header(), name;
  std::istringstream names(
      "C:\\Vol3\\Dsk1 1 C:\\mnt\\data\\Vol4\\Dsk3 3 D:\\Vol5\\Dsk4 4 D:\\Vol5\\Dsk5 5 "
      "E:\\Dms1\\Dsk6 6 E:\\logs\\Dmr1\\Dsk6 6 E:\\logs\\Dmr1\\Dsk7 7 E:\\logs\\Dmr1\\Dsk11 11 "
      "F:\\Dsk2\\p1 2 G:\\Dmt1\\Dsk7 7 G:\\Dmt1\\Dsk11 11");
  for (int disk; names >> name >> disk;) letall += row(name, kRows.at(disk));
  // A first name of 25 characters or more widens the name column for the whole table.
  const std::string v5 = "Volume{5f1a9d2c-3e6b-4a8d-b1c7-2e4f6a8c0d05}";
  check_all({
      {"$LETALL -CLI", letall},
      {"$LETALLX -CLI", letall},
      {"$" + v5 + " -fv -CLI", header(60) + row(v5 + "\\Vol5\\Dsk4", kRows.at(4), 60) +
                                   row(v5 + "\\Vol5\\Dsk5", kRows.at(5), 60)},
  });
}

}  // namespace
}  // namespace vox::e2e::example
