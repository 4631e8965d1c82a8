// The CLI tables over the example host: -CLI and its product-column forms, the WWN
// tables, sorted output with the bitmap totals and the command-device image, and
// DOS-device words in CLI form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

// Disks that could not be probed still get a row of "-", with the product
// identification when the standard INQUIRY had been read.
const std::string kCliTable =
    "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n"
    "Harddisk0       -            -     -   -       -     -       - SSD-512G        \n"
    "Harddisk1       CL1-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
    "Harddisk2       CL2-B   210945   256   0       -  0011 A:00007 DISK-2          \n"
    "Harddisk3       CL3-C   150000  2571  12  -/S/--  0021 S:00003 DISK-5          \n"
    "Harddisk4       CL1-B   70000812    36   -       -     -       - VDISK-7         \n"
    "Harddisk5       CL1-B    64015  1300   7  S/-/--  0005 U:00000 DISK-1          \n"
    "Harddisk6       CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          \n"
    "Harddisk7       CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          \n"
    "Harddisk8       CL2-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
    "Harddisk9       -            -     -   -       -     -       - TAPE-DRIVE-9    \n"
    "Harddisk10      -            -     -   -       -     -       - -               \n"
    "Harddisk11      -            -     -   -       -     -       - DISK-1          \n"
    "Harddisk12      CL1-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       \n"
    "Harddisk13      CL2-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       \n"
    "Harddisk14      CL2-B   210945  4095   -       -  0011 6:12-01 DISK-2-CM       \n"
    "Harddisk15      CL1-B    64015  1023   -       -  0004 A:05-06 DISK-1-CM       \n";

const std::string kWwnTable =
    "DEVICE_FILE     WWN              AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n"
    "Harddisk0       -                 - -         -        -     - SSD-512G        \n"
    "Harddisk1       50012ab00c3f0000 E8 CL1-A     1    64015  1234 DISK-1          \n"
    "Harddisk2       -                 - CL2-B     -   210945   256 DISK-2          \n"
    "Harddisk3       50012ab00d490022 01 CL3-C   258   150000  2571 DISK-5          \n"
    "Harddisk4       -                 - CL1-B     - 70000812    36 VDISK-7         \n"
    "Harddisk5       50012ab00c3f0001 E2 CL1-B     2    64015  1300 DISK-1          \n"
    "Harddisk6       -                 - CL3-B     -   412345    32 DISK-6          \n"
    "Harddisk7       -                 - CL5-A     - 73000101   416 DISK-7          \n"
    "Harddisk8       50012ab00c3f0010 E4 CL2-A     1    64015  1234 DISK-1          \n"
    "Harddisk9       -                 - -         -        -     - TAPE-DRIVE-9    \n"
    "Harddisk10      -                 - -         -        -     - -               \n"
    "Harddisk11      -                 - -         -        -     - DISK-1          \n"
    "Harddisk12      50012ab00c3f0000 E8 CL1-A   254    64015  2047 DISK-1-CM       \n"
    "Harddisk13      50012ab00c3f0010 E4 CL2-A   254    64015  2047 DISK-1-CM       \n"
    "Harddisk14      -                 - CL2-B     -   210945  4095 DISK-2-CM       \n"
    "Harddisk15      50012ab00c3f0001 E2 CL1-B   253    64015  1023 DISK-1-CM       \n";

const std::string kPortWwnTable =
    "DEVICE_FILE     PWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n"
    "Harddisk0       -                 - -         -        -     - SSD-512G        \n"
    "Harddisk1       10005a1b2c3d4e01 E8 CL1-A     1    64015  1234 DISK-1          \n"
    "Harddisk2       10005a1b2c3d4e02  - CL2-B     -   210945   256 DISK-2          \n"
    "Harddisk3       10005a1b2c3d4e01 01 CL3-C   258   150000  2571 DISK-5          \n"
    "Harddisk4       -                 - CL1-B     - 70000812    36 VDISK-7         \n"
    "Harddisk5       10005a1b2c3d4e01 E2 CL1-B     2    64015  1300 DISK-1          \n"
    "Harddisk6       10005a1b2c3d4e01  - CL3-B     -   412345    32 DISK-6          \n"
    "Harddisk7       10005a1b2c3d4e02  - CL5-A     - 73000101   416 DISK-7          \n"
    "Harddisk8       10005a1b2c3d4e02 E4 CL2-A     1    64015  1234 DISK-1          \n"
    "Harddisk9       -                 - -         -        -     - TAPE-DRIVE-9    \n"
    "Harddisk10      -                 - -         -        -     - -               \n"
    "Harddisk11      -                 - -         -        -     - DISK-1          \n"
    "Harddisk12      10005a1b2c3d4e01 E8 CL1-A   254    64015  2047 DISK-1-CM       \n"
    "Harddisk13      10005a1b2c3d4e02 E4 CL2-A   254    64015  2047 DISK-1-CM       \n"
    "Harddisk14      10005a1b2c3d4e02  - CL2-B     -   210945  4095 DISK-2-CM       \n"
    "Harddisk15      10005a1b2c3d4e01 E2 CL1-B   253    64015  1023 DISK-1-CM       \n";

const std::string kNodeWwnTable =
    "DEVICE_FILE     NWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n"
    "Harddisk0       -                 - -         -        -     - SSD-512G        \n"
    "Harddisk1       20005a1b2c3d4e01 E8 CL1-A     1    64015  1234 DISK-1          \n"
    "Harddisk2       20005a1b2c3d4e02  - CL2-B     -   210945   256 DISK-2          \n"
    "Harddisk3       20005a1b2c3d4e01 01 CL3-C   258   150000  2571 DISK-5          \n"
    "Harddisk4       -                 - CL1-B     - 70000812    36 VDISK-7         \n"
    "Harddisk5       20005a1b2c3d4e01 E2 CL1-B     2    64015  1300 DISK-1          \n"
    "Harddisk6       20005a1b2c3d4e01  - CL3-B     -   412345    32 DISK-6          \n"
    "Harddisk7       20005a1b2c3d4e02  - CL5-A     - 73000101   416 DISK-7          \n"
    "Harddisk8       20005a1b2c3d4e02 E4 CL2-A     1    64015  1234 DISK-1          \n"
    "Harddisk9       -                 - -         -        -     - TAPE-DRIVE-9    \n"
    "Harddisk10      -                 - -         -        -     - -               \n"
    "Harddisk11      -                 - -         -        -     - DISK-1          \n"
    "Harddisk12      20005a1b2c3d4e01 E8 CL1-A   254    64015  2047 DISK-1-CM       \n"
    "Harddisk13      20005a1b2c3d4e02 E4 CL2-A   254    64015  2047 DISK-1-CM       \n"
    "Harddisk14      20005a1b2c3d4e02  - CL2-B     -   210945  4095 DISK-2-CM       \n"
    "Harddisk15      20005a1b2c3d4e01 E2 CL1-B   253    64015  1023 DISK-1-CM       \n";

struct Case {
  const char* what;
  std::vector<std::string> args;
  std::string out;
  std::string err;
  int status;
};

void check_all(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    const RunResult r = run_example(c.args);
    EXPECT_EQ(r.exec_error, "") << c.what;
    EXPECT_EQ(r.out, c.out) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    EXPECT_EQ(r.exit_code, c.status) << c.what;
  }
}

TEST(ExampleCli, Tables) {
  check_all({
      {"-CLI", {"hd0-15", "-CLI"}, kCliTable, "", 0},
      {"-CLIB outside -sort is -CLI", {"-CLIB", "hd0-15"}, kCliTable, "", 0},
      {"-CLIW: target port WWN, AL_PA and LUN from page 0x83",
       {"-CLIW", "hd0-15"},
       kWwnTable,
       "",
       0},
      {"-CLIWP: the host's port WWN", {"-CLIWP", "hd0-15"}, kPortWwnTable, "", 0},
      {"-CLIWN: the host's node WWN", {"-CLIWN", "hd0-15"}, kNodeWwnTable, "", 0},
      {"the last CLI option wins", {"-CLIWN", "-CLI", "hd0-15"}, kCliTable, "", 0},
  });
}

TEST(ExampleCli, ProductColumnForms) {
  check_all({
      {"-fr: the real ID beside the presented one; CM marks the command device",
       {"-fr", "-CLI", "hd1", "hd2", "hd6", "hd14"},
       lines({"DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM",
              "Harddisk1       -            -     -   -       -     -       -        -      -  -",
              "Harddisk2       CL2-B   210945   256   0       -  0011 A:00007    64015    261  -",
              "Harddisk6       -            -     -   -       -     -       -        -      -  -",
              "Harddisk14      CL2-B   210945  4095   -       -  0011 6:12-01    64015   2048 CM"}),
       "",
       0},
      {"-fr with -fx: real LDEV in hexadecimal",
       {"-frx", "-CLI", "hd2"},
       lines({"DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM",
              "Harddisk2       CL2-B   210945   100   0       -  0011 A:00007    64015    105  -"}),
       "",
       0},
      {"-fe: the real ID in place of the presented one",
       {"-fe", "-CLI", "hd2"},
       lines({"DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID",
              "Harddisk2       CL2-B    64015   261   5       -  0010 1:02-07 DISK-2          "}),
       "",
       0},
      {"-fn: the LDEV_NIC_NAME, also of a device whose page INQUIRY failed",
       {"-fn", "-CLI", "hd1", "hd2", "hd4", "hd10", "hd11"},
       lines({"DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group LDEV_NIC_NAME",
              "Harddisk1       CL1-A    64015  1234   -  P/s/P-  0004 5:01-02 BOOT-LU-01      ",
              "Harddisk2       CL2-B   210945   256   0       -  0011 A:00007 -               ",
              "Harddisk4       CL1-B   70000812    36   -       -     -       - -               ",
              "Harddisk10      -            -     -   -       -     -       - -               ",
              "Harddisk11      -            -     -   -       -     -       - SPARE-LU-1500   "}),
       "",
       0},
      {"-fr wins over -fn",
       {"-fnr", "-CLI", "hd2"},
       lines({"DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM",
              "Harddisk2       CL2-B   210945   256   0       -  0011 A:00007    64015    261  -"}),
       "",
       0},
      {"-fw: remote MU#0..3, local MU#0, local MU#1..63",
       {"-fw", "-CLI", "hd1", "hd2"},
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H.../M/.." + std::string(61, ' ') +
           "  SSID R:Group PRODUCT_ID\n"
           "Harddisk1       CL1-A    64015  1234   -  P---/s/P" +
           std::string(18, '-') + "S" + std::string(43, '-') +
           "  0004 5:01-02 DISK-1          \n"
           "Harddisk2       CL2-B   210945   256   0  -" +
           std::string(69, ' ') + "  0011 A:00007 DISK-2          \n",
       "",
       0},
      {"-fp -fl -pin mark the volumes; -fx",
       {"-fplx", "-pin", "-CLI", "hd1", "hd3", "hd7"},
       lines({"DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID",
              "Harddisk1*      CL1-A    64015   4D2   -  P/s/P-  0004 5:01-02 DISK-1          ",
              "Harddisk3*      CL3-C   150000   A0B  12  -/S/--  0021 S:00003 DISK-5          ",
              "Harddisk7*      CL5-A   73000101   1A0  20  P/-/--  0040 1:03-04 DISK-7          "}),
       "",
       0},
  });
}

TEST(ExampleCli, SortedTables) {
  // Serial order 64015, 150000, 210945, 412345, 70000812, 73000101; LDEV order within an
  // array; the two paths to LDEV 1234 and to LDEV 2047 in probe order. Devices that
  // could not be probed are not collected.
  check_all({
      {"-sort -CLI",
       {"-sort", "-CLI", "hd0-15"},
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n"
       "Harddisk15      CL1-B    64015  1023   -       -  0004 A:05-06 DISK-1-CM       \n"
       "Harddisk1       CL1-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
       "Harddisk8       CL2-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
       "Harddisk5       CL1-B    64015  1300   7  S/-/--  0005 U:00000 DISK-1          \n"
       "Harddisk12      CL1-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       \n"
       "Harddisk13      CL2-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       \n"
       "Harddisk3       CL3-C   150000  2571  12  -/S/--  0021 S:00003 DISK-5          \n"
       "Harddisk2       CL2-B   210945   256   0       -  0011 A:00007 DISK-2          \n"
       "Harddisk14      CL2-B   210945  4095   -       -  0011 6:12-01 DISK-2-CM       \n"
       "Harddisk6       CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          \n"
       "Harddisk4       CL1-B   70000812    36   -       -     -       - VDISK-7         \n"
       "Harddisk7       CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          \n",
       "",
       0},
      // Paths to one LDEV keep their arrival order: hd15-8 gives disks 8 to 15, so disk 8
      // comes before disk 1.
      {"-sort -CLI, devices given in another order",
       {"-sort", "-CLI", "hd15-8", "hd7-0"},
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n"
       "Harddisk15      CL1-B    64015  1023   -       -  0004 A:05-06 DISK-1-CM       \n"
       "Harddisk8       CL2-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
       "Harddisk1       CL1-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
       "Harddisk5       CL1-B    64015  1300   7  S/-/--  0005 U:00000 DISK-1          \n"
       "Harddisk12      CL1-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       \n"
       "Harddisk13      CL2-A    64015  2047   -       -  0004 5:01-01 DISK-1-CM       \n"
       "Harddisk3       CL3-C   150000  2571  12  -/S/--  0021 S:00003 DISK-5          \n"
       "Harddisk2       CL2-B   210945   256   0       -  0011 A:00007 DISK-2          \n"
       "Harddisk14      CL2-B   210945  4095   -       -  0011 6:12-01 DISK-2-CM       \n"
       "Harddisk6       CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          \n"
       "Harddisk4       CL1-B   70000812    36   -       -     -       - VDISK-7         \n"
       "Harddisk7       CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          \n",
       "",
       0},
      // LDEV 1234 counts once for its two paths; command devices, and volumes whose
      // standard data is too short for the counters, show "-".
      {"-sort -CLIB: local pages",
       {"-sort", "-CLIB", "hd0-15"},
       "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +LQ/LQ  UNUSED  PRODUCT_ID\n"
       "Harddisk15      CL1-B    64015  1023  0  1       -       -  DISK-1-CM       \n"
       "Harddisk1       CL1-A    64015  1234  0  1    1200    8000  DISK-1          \n"
       "Harddisk8       CL2-A    64015  1234  0  2    1200    8000  DISK-1          \n"
       "Harddisk5       CL1-B    64015  1300  - 126       -       -  DISK-1          \n"
       "Harddisk12      CL1-A    64015  2047  0  1       -       -  DISK-1-CM       \n"
       "Harddisk13      CL2-A    64015  2047  0  2       -       -  DISK-1-CM       \n"
       "Harddisk3       CL3-C   150000  2571  1  3     500    7500  DISK-5          \n"
       "Harddisk2       CL2-B   210945   256  2  2       0   12000  DISK-2          \n"
       "Harddisk14      CL2-B   210945  4095  0  2       -       -  DISK-2-CM       \n"
       "Harddisk6       CL3-B   412345    32  4  3    2500    3000  DISK-6          \n"
       "Harddisk4       CL1-B   70000812    36  -  -       -       -  VDISK-7         \n"
       "Harddisk7       CL5-A   73000101   416  5  5       0       0  DISK-7          \n",
       "",
       0},
      {"-sort -CLIB -fh: remote pages",
       {"-sort", "-CLIB", "-fh", "hd0-15"},
       "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +RZ/VX  UNUSED  PRODUCT_ID\n"
       "Harddisk15      CL1-B    64015  1023  0  1       -       -  DISK-1-CM       \n"
       "Harddisk1       CL1-A    64015  1234  0  1     340    1500  DISK-1          \n"
       "Harddisk8       CL2-A    64015  1234  0  2     340    1500  DISK-1          \n"
       "Harddisk5       CL1-B    64015  1300  - 126       -       -  DISK-1          \n"
       "Harddisk12      CL1-A    64015  2047  0  1       -       -  DISK-1-CM       \n"
       "Harddisk13      CL2-A    64015  2047  0  2       -       -  DISK-1-CM       \n"
       "Harddisk3       CL3-C   150000  2571  1  3       0    2000  DISK-5          \n"
       "Harddisk2       CL2-B   210945   256  2  2       0   12000  DISK-2          \n"
       "Harddisk14      CL2-B   210945  4095  0  2       -       -  DISK-2-CM       \n"
       "Harddisk6       CL3-B   412345    32  4  3       0       0  DISK-6          \n"
       "Harddisk4       CL1-B   70000812    36  -  -       -       -  VDISK-7         \n"
       "Harddisk7       CL5-A   73000101   416  5  5     780    6100  DISK-7          \n",
       "",
       0},
      {"-sort -CLIB -fhc: remote cylinders",
       {"-sort", "-CLIB", "-fhc", "hd0-15"},
       "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +RZ/VX  UNUSED  PRODUCT_ID\n"
       "Harddisk15      CL1-B    64015  1023  0  1       -       -  DISK-1-CM       \n"
       "Harddisk1       CL1-A    64015  1234  0  1      22    1500  DISK-1          \n"
       "Harddisk8       CL2-A    64015  1234  0  2      22    1500  DISK-1          \n"
       "Harddisk5       CL1-B    64015  1300  - 126       -       -  DISK-1          \n"
       "Harddisk12      CL1-A    64015  2047  0  1       -       -  DISK-1-CM       \n"
       "Harddisk13      CL2-A    64015  2047  0  2       -       -  DISK-1-CM       \n"
       "Harddisk3       CL3-C   150000  2571  1  3       0    2000  DISK-5          \n"
       "Harddisk2       CL2-B   210945   256  2  2       0   12000  DISK-2          \n"
       "Harddisk14      CL2-B   210945  4095  0  2       -       -  DISK-2-CM       \n"
       "Harddisk6       CL3-B   412345    32  4  3       0       0  DISK-6          \n"
       "Harddisk4       CL1-B   70000812    36  -  -       -       -  VDISK-7         \n"
       "Harddisk7       CL5-A   73000101   416  5  5      52    6100  DISK-7          \n",
       "",
       0},
  });
}

TEST(ExampleCli, CommandDeviceImage) {
  // 64015 has LDEV 1023 with one command-device path and LDEV 2047 with two: 2047 is
  // shown. 210945 has LDEV 4095. Without -CLI the probe's messages still go to stderr.
  const std::string image =
      lines({"VEXAM_CMD", "#dev_name               dev_name                dev_name",
             "#UnitID 0 (Serial# 64015)", "\\\\.\\PhysicalDrive12     \\\\.\\PhysicalDrive13     ",
             "#UnitID 1 (Serial# 210945)", "\\\\.\\PhysicalDrive14     "});
  const std::string probe_errors =
      lines({"Harddisk0 -> NOT supported RAID.                 [ATA     ] [SSD-512G        ]",
             "Harddisk9 -> NOT harddisk.                       [ZEB     ] [TAPE-DRIVE-9    ]",
             "Harddisk10 -> OPEN : [5] Access is denied.",
             "Harddisk11 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83] [TARVELO ] [DISK-1      "
             "    ]"});
  check_all({
      {"-sort -CM", {"-sort", "-CM", "hd0-15"}, image, probe_errors, 0},
      {"-sort -CM -CLI", {"-sort", "-CM", "-CLI", "hd0-15"}, image, "", 0},
      {"one path of LDEV 1023 only",
       {"-sort", "-CM", "hd15"},
       lines({"VEXAM_CMD", "#dev_name               dev_name                dev_name",
              "#UnitID 0 (Serial# 64015)", "\\\\.\\PhysicalDrive15     "}),
       "",
       0},
      {"no command device: nothing, status 1", {"-sort", "-CM", "hd1-8"}, "", "", 1},
      {"-CM without -sort has no effect",
       {"-CM", "-CLI", "hd15"},
       lines({"DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID",
              "Harddisk15      CL1-B    64015  1023   -       -  0004 A:05-06 DISK-1-CM       "}),
       "",
       0},
  });
}

TEST(ExampleCli, DosDeviceWords) {
  // Every drive letter in list order, each with its mount points; the CD-ROM Z: is not
  // below \Device\Harddisk and gives nothing. Names longer than the column shift the row.
  check_all({
      {"$LETALL -CLI",
       {"$LETALL", "-CLI"},
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n"
       "C:\\Vol3\\Dsk1    CL1-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
       "C:\\mnt\\data\\Vol4\\Dsk3 CL3-C   150000  2571  12  -/S/--  0021 S:00003 DISK-5          \n"
       "D:\\Vol5\\Dsk4    CL1-B   70000812    36   -       -     -       - VDISK-7         \n"
       "D:\\Vol5\\Dsk5    CL1-B    64015  1300   7  S/-/--  0005 U:00000 DISK-1          \n"
       "E:\\Dms1\\Dsk6    CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          \n"
       "E:\\logs\\Dmr1\\Dsk6 CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          \n"
       "E:\\logs\\Dmr1\\Dsk7 CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          \n"
       "E:\\logs\\Dmr1\\Dsk11 -            -     -   -       -     -       - DISK-1          \n"
       "F:\\Dsk2\\p1      CL2-B   210945   256   0       -  0011 A:00007 DISK-2          \n"
       "G:\\Dmt1\\Dsk7    CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          \n"
       "G:\\Dmt1\\Dsk11   -            -     -   -       -     -       - DISK-1          \n",
       "",
       0},
      {"$LETALLX is $LETALL",
       {"$LETALLX", "-CLI"},
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n"
       "C:\\Vol3\\Dsk1    CL1-A    64015  1234   -  P/s/P-  0004 5:01-02 DISK-1          \n"
       "C:\\mnt\\data\\Vol4\\Dsk3 CL3-C   150000  2571  12  -/S/--  0021 S:00003 DISK-5          \n"
       "D:\\Vol5\\Dsk4    CL1-B   70000812    36   -       -     -       - VDISK-7         \n"
       "D:\\Vol5\\Dsk5    CL1-B    64015  1300   7  S/-/--  0005 U:00000 DISK-1          \n"
       "E:\\Dms1\\Dsk6    CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          \n"
       "E:\\logs\\Dmr1\\Dsk6 CL3-B   412345    32   -  -/P/P-  0030 E:00257 DISK-6          \n"
       "E:\\logs\\Dmr1\\Dsk7 CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          \n"
       "E:\\logs\\Dmr1\\Dsk11 -            -     -   -       -     -       - DISK-1          \n"
       "F:\\Dsk2\\p1      CL2-B   210945   256   0       -  0011 A:00007 DISK-2          \n"
       "G:\\Dmt1\\Dsk7    CL5-A   73000101   416  20  P/-/--  0040 1:03-04 DISK-7          \n"
       "G:\\Dmt1\\Dsk11   -            -     -   -       -     -       - DISK-1          \n",
       "",
       0},
      // The first name has 25 characters or more: the wide layout for the whole table.
      {"$Volume -fv -CLI",
       {"$Volume", "-fv", "-CLI"},
       "DEVICE_FILE                                                  PORT    SERIAL  LDEV CTG  "
       "H/M/12  SSID R:Group PRODUCT_ID\n"
       "Volume{4c1b7e2a-0d3f-4a6b-8e91-3f5d2c7a9b01}\\Vol1\\Dsk0       -            -     -   -    "
       "   -     -       - SSD-512G        \n"
       "Volume{9a2f6c3e-1b4d-4c7e-a0f2-6d8e1b3c5a02}\\Vol2\\Dsk1       CL1-A    64015  1234   -  "
       "P/s/P-  0004 5:01-02 DISK-1          \n"
       "Volume{b7d3e91f-5a2c-4e8b-9c6d-1f0a3b5c7d03}\\Vol3\\Dsk1       CL1-A    64015  1234   -  "
       "P/s/P-  0004 5:01-02 DISK-1          \n"
       "Volume{2e8c4a6b-7d1f-4b3a-8e5c-9a1d3f6b8c04}\\Vol4\\Dsk3       CL3-C   150000  2571  12  "
       "-/S/--  0021 S:00003 DISK-5          \n"
       "Volume{5f1a9d2c-3e6b-4a8d-b1c7-2e4f6a8c0d05}\\Vol5\\Dsk4       CL1-B   70000812    36   -  "
       "     -     -       - VDISK-7         \n"
       "Volume{5f1a9d2c-3e6b-4a8d-b1c7-2e4f6a8c0d05}\\Vol5\\Dsk5       CL1-B    64015  1300   7  "
       "S/-/--  0005 U:00000 DISK-1          \n"
       "Volume{8c3e5a7d-9f2b-4d1c-a6e8-4b7d9f1a3e06}\\Vol6\\Dsk2       CL2-B   210945   256   0    "
       "   -  0011 A:00007 DISK-2          \n"
       "Volume{0a6d8f2b-4c7e-4a1d-9f5b-8e2a4c6d9f08}\\Dms1\\Dsk6       CL3-B   412345    32   -  "
       "-/P/P-  0030 E:00257 DISK-6          \n"
       "Volume{3b9e1c4f-6d8a-4c2e-b7f1-0d5b8e2a6c09}\\Dmt1\\Dsk7       CL5-A   73000101   416  20  "
       "P/-/--  0040 1:03-04 DISK-7          \n"
       "Volume{3b9e1c4f-6d8a-4c2e-b7f1-0d5b8e2a6c09}\\Dmt1\\Dsk11      -            -     -   -    "
       "   -     -       - DISK-1          \n"
       "Volume{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}\\Dmr1\\Dsk6       CL3-B   412345    32   -  "
       "-/P/P-  0030 E:00257 DISK-6          \n"
       "Volume{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}\\Dmr1\\Dsk7       CL5-A   73000101   416  20  "
       "P/-/--  0040 1:03-04 DISK-7          \n"
       "Volume{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}\\Dmr1\\Dsk11      -            -     -   -    "
       "   -     -       - DISK-1          \n",
       "",
       0},
  });
}

}  // namespace
}  // namespace vox::e2e::example
