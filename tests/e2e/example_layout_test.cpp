// The layout commands over the example host: the usable range of each disk (MBR, GPT,
// no table), the partition dump, and layout files saved and written back, also for the
// disks of a pair group that the pair-status tool lists.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

const std::string kProbeErrors = lines(
    {"Harddisk0 -> NOT supported RAID.                 [ATA     ] [SSD-512G        ]",
     "Harddisk9 -> NOT harddisk.                       [ZEB     ] [TAPE-DRIVE-9    ]",
     "Harddisk10 -> OPEN : [5] Access is denied.",
     "Harddisk11 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83] [TARVELO ] [DISK-1          ]"});

TEST(ExampleLayout, UsableRange) {
  // Disk 1: partitions at 1 MiB (100 MiB) and 101 MiB (1 GiB) and two empty MBR slots;
  // disk 2: 1 MiB + 200 GiB; disk 3 (GPT): 17408 bytes (16 MiB - 17408) and 16 MiB
  // (500 GiB); disks 4 and 5: 1 MiB + 50 GiB; disks 6, 7: 1 MiB + 300 GiB; the command
  // devices have no partition table.
  const std::string range =
      lines({"Harddisk1    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [DISK-1          ]",
             "Harddisk2    : SLBA = 0x00000800 ELBA = 0x19000800 PCNT = 1 [DISK-2          ]",
             "Harddisk3    : SLBA = 0x00000022 ELBA = 0x3e808000 PCNT = 2 [DISK-5          ]",
             "Harddisk4    : SLBA = 0x00000800 ELBA = 0x06400800 PCNT = 1 [VDISK-7         ]",
             "Harddisk5    : SLBA = 0x00000800 ELBA = 0x06400800 PCNT = 1 [DISK-1          ]",
             "Harddisk6    : SLBA = 0x00000800 ELBA = 0x25800800 PCNT = 1 [DISK-6          ]",
             "Harddisk7    : SLBA = 0x00000800 ELBA = 0x25800800 PCNT = 1 [DISK-7          ]",
             "Harddisk8    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [DISK-1          ]",
             "Harddisk12   : SLBA = 0x00000000 ELBA = 0x00000000 PCNT = 0 [DISK-1-CM       ]",
             "Harddisk13   : SLBA = 0x00000000 ELBA = 0x00000000 PCNT = 0 [DISK-1-CM       ]",
             "Harddisk14   : SLBA = 0x00000000 ELBA = 0x00000000 PCNT = 0 [DISK-2-CM       ]",
             "Harddisk15   : SLBA = 0x00000000 ELBA = 0x00000000 PCNT = 0 [DISK-1-CM       ]"});
  const struct {
    std::vector<std::string> args;
    std::string out;
    std::string err;
  } cases[] = {
      {{"hd0-15", "-gplba"}, range, kProbeErrors},
      {{"hd0-15", "-gplbaex"}, range, kProbeErrors},
      {{"hd0-15", "-gplba", "-CLI"}, range, ""},
      // Sorted: serial and LDEV order.
      {{"-sort", "-gplba", "-CLI", "$C:"},
       lines({"C:\\Vol3\\Dsk1 : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [DISK-1          ]",
              "C:\\mnt\\data\\Vol4\\Dsk3 : SLBA = 0x00000022 ELBA = 0x3e808000 PCNT = 2 [DISK-5    "
              "      ]"}),
       ""},
  };
  for (const auto& c : cases) {
    const RunResult r = run_example(c.args);
    EXPECT_EQ(r.out, c.out) << c.args[1];
    EXPECT_EQ(r.err, c.err) << c.args[1];
    EXPECT_EQ(r.exit_code, 0) << c.args[1];
  }
}

// The part of a -inqdump run after the two inquiry dumps.
std::string after_inquiry_dumps(const std::string& out) {
  const std::string title = "***** P83 inquiry dump  *****\n";
  const std::size_t at = out.find(title);
  if (at == std::string::npos) return "(no page dump) " + out;
  std::size_t end = at + title.size();
  // The page dump: the column header and the lines that begin with an address.
  for (;;) {
    const std::size_t next = out.find('\n', end);
    if (next == std::string::npos) break;
    const std::string line = out.substr(end, next - end);
    if (!line.starts_with("[0x") && !line.starts_with(" ---ADDR---")) break;
    end = next + 1;
  }
  return out.substr(end);
}

TEST(ExampleLayout, PartitionDump) {
  const struct {
    std::vector<std::string> args;
    std::string tail;
  } cases[] = {
      // Every MBR slot is dumped, the empty ones too, though they are not counted.
      {{"-inqdump", "-gplba", "hd1"},
       lines({"[MBR_PNO = 001]:[Atr = 07]:", "ST[000] -> 0000000000100000",
              "LN[000] -> 0000000006400000", "[MBR_PNO = 002]:[Atr = 07]:",
              "ST[001] -> 0000000006500000", "LN[001] -> 0000000040000000",
              "[MBR_PNO = 000]:[Atr = 00]:", "ST[002] -> 0000000000000000",
              "LN[002] -> 0000000000000000", "[MBR_PNO = 000]:[Atr = 00]:",
              "ST[003] -> 0000000000000000", "LN[003] -> 0000000000000000",
              "Harddisk1    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [DISK-1          ]"})},
      // GPT entries show their unique partition GUID and their attributes.
      {{"-inqdump", "-gplbaex", "hd3"},
       lines({"[GPT_PNO = 001]:[Atr = 0000000000000000]: 0D1C2B3A-4958-4677-8695-A4B3C2D1E0F1",
              "ST[000] -> 0000000000004400", "LN[000] -> 0000000000ffbc00",
              "[GPT_PNO = 002]:[Atr = 8000000000000000]: 7A6B5C4D-3E2F-4011-9A8B-7C6D5E4F3A2B",
              "ST[001] -> 0000000001000000", "LN[001] -> 0000007d00000000",
              "Harddisk3    : SLBA = 0x00000022 ELBA = 0x3e808000 PCNT = 2 [DISK-5          ]"})},
      // The EX form of an MBR disk.
      {{"-inqdump", "-gplbaex", "hd2"},
       lines({"[MBR_PNO = 001]:[Atr = 07]:", "ST[000] -> 0000000000100000",
              "LN[000] -> 0000003200000000", "[MBR_PNO = 000]:[Atr = 00]:",
              "ST[001] -> 0000000000000000", "LN[001] -> 0000000000000000",
              "[MBR_PNO = 000]:[Atr = 00]:", "ST[002] -> 0000000000000000",
              "LN[002] -> 0000000000000000", "[MBR_PNO = 000]:[Atr = 00]:",
              "ST[003] -> 0000000000000000", "LN[003] -> 0000000000000000",
              "Harddisk2    : SLBA = 0x00000800 ELBA = 0x19000800 PCNT = 1 [DISK-2          ]"})},
  };
  for (const auto& c : cases) {
    const RunResult r = run_example(c.args);
    EXPECT_EQ(after_inquiry_dumps(r.out), c.tail) << c.args[1];
    EXPECT_EQ(r.err, "") << c.args[1];
    EXPECT_EQ(r.exit_code, 0) << c.args[1];
  }
}

std::uint32_t le32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = v * 256 + static_cast<unsigned char>(bytes.at(at + k));
  return v;
}

// A writable copy of the example host and a folder for the layout files.
class LayoutHost {
 public:
  LayoutHost() {
    std::string image;
    EXPECT_TRUE(read_file(example_host(), image));
    host_ = dir_.write("host.json", image);
    std::filesystem::create_directories(dir_.file("win"));
    windir_ = dir_.file("win");
  }
  RunResult run(std::vector<std::string> args, std::string stdin_text = {}) const {
    return run_example(std::move(args), std::move(stdin_text), {{"windir", windir_}}, host_);
  }
  std::string file(const std::string& name) const { return dir_.file("win/" + name); }

 private:
  TempDir dir_;
  std::string host_;
  std::string windir_;
};

TEST(ExampleLayout, LayoutFilesSavedAndWrittenBack) {
  if (!layout_files_reachable()) GTEST_SKIP() << "Wine chooses windir and TEMP itself";
  const LayoutHost host;
  RunResult r = host.run({"-gvinf", "hd1", "hd3", "hd5", "hd7", "hd9"});
  EXPECT_EQ(r.out, lines({"\\\\.\\PhysicalDrive1:",
                          "# Harddisk1        -> [VOL64015_1234_5A1B2C3D] [DISK-1          ]",
                          // The old layout record of a GPT disk carries no signature.
                          "\\\\.\\PhysicalDrive3:",
                          "# Harddisk3        -> [VOL150000_2571_00000000] [DISK-5          ]",
                          "\\\\.\\PhysicalDrive5:",
                          "# Harddisk5        -> [VOL64015_1300_4D5E6F70] [DISK-1          ]",
                          "\\\\.\\PhysicalDrive7:",
                          "# Harddisk7        -> [VOL73000101_416_6F708192] [DISK-7          ]"}));
  EXPECT_EQ(r.err,
            "Harddisk9 -> NOT harddisk.                       [ZEB     ] [TAPE-DRIVE-9    ]\n");
  EXPECT_EQ(r.exit_code, 0);

  // Header texts, serial and LDEV, then the layout record: 8 bytes and four 32-byte
  // entries for disk 1.
  std::string saved;
  ASSERT_TRUE(read_file(host.file("VOL64015_1234.ini"), saved));
  ASSERT_EQ(saved.size(), 200u + 8u + 4u * 32u);
  EXPECT_EQ(saved.substr(0, 29), "DEVFILE = \\\\.\\PhysicalDrive1\n");
  EXPECT_EQ(saved.substr(29, 128 - 29), std::string(128 - 29, '\0'));
  EXPECT_EQ(saved.substr(128, 32), "SER = 64015\n" + std::string(20, '\0'));
  EXPECT_EQ(saved.substr(160, 32), "LDEV = 1234(0x0004d2)\n" + std::string(10, '\0'));
  EXPECT_EQ(le32(saved, 192), 64015u);
  EXPECT_EQ(le32(saved, 196), 1234u);
  EXPECT_EQ(le32(saved, 200), 4u);           // partition count
  EXPECT_EQ(le32(saved, 204), 0x5A1B2C3Du);  // disk signature

  // The EX form of the GPT disk: its tag is the disk GUID; the same file name is used.
  r = host.run({"-gvinfex", "-CLI", "hd3"});
  EXPECT_EQ(r.out,
            lines({"\\\\.\\PhysicalDrive3:",
                   "# Harddisk3        -> [VOL150000_2571_6E1F2A3B-4C5D-4E6F-8091-A2B3C4D5E6F7] "
                   "[DISK-5          ]"}));
  EXPECT_EQ(r.exit_code, 0);
  ASSERT_TRUE(read_file(host.file("VOL150000_2571.ini"), saved));
  EXPECT_EQ(saved.size(), 200u + 48u + 2u * 144u);
  r = host.run({"-svinfex", "hd3"});
  EXPECT_EQ(r.out,
            "[VOL150000_2571_6E1F2A3B-4C5D-4E6F-8091-A2B3C4D5E6F7] -> Harddisk3        [DISK-5     "
            "     ]\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exit_code, 0);

  // The disks of group VG01 as the pair-status tool lists them, written back; the
  // title line and the other words of the listing do not begin with "Harddisk".
  Invocation list;
  list.program = "twinlist";
  list.args = {"-l", "-fd", "-g", "VG01"};
  list.env = {{"VOXMIRA_HOST", example_host()}};
  const RunResult listing = vox::e2e::run(list);
  EXPECT_EQ(
      listing.out,
      lines({"Group PairVol  L/R Device    Serial   LDEV P/S   Status Copy   P-Serial P-LDEV MU",
             "VG01  boot     L   Harddisk1 64015    1234 P-VOL PAIR   remote 150000   2816   0",
             "VG01  files    L   Harddisk7 73000101 416  P-VOL PAIR   remote 64015    1300   0",
             "VG01  files    R   Harddisk5 64015    1300 S-VOL PAIR   remote 73000101 416    0",
             "VG01  files_dr L   Harddisk7 73000101 416  P-VOL PSUE   remote 150000   3000   2"}));
  r = host.run({"-svinf=Harddisk"}, listing.out);
  EXPECT_EQ(r.out, lines({"[VOL64015_1234_5A1B2C3D] -> Harddisk1        [DISK-1          ]",
                          "[VOL73000101_416_6F708192] -> Harddisk7        [DISK-7          ]",
                          "[VOL64015_1300_4D5E6F70] -> Harddisk5        [DISK-1          ]",
                          "[VOL73000101_416_6F708192] -> Harddisk7        [DISK-7          ]"}));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exit_code, 0);

  // The host image was written back after each restore and still reads the same.
  r = host.run({"-gplba", "hd1", "hd3"});
  EXPECT_EQ(
      r.out,
      lines({"Harddisk1    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [DISK-1          ]",
             "Harddisk3    : SLBA = 0x00000022 ELBA = 0x3e808000 PCNT = 2 [DISK-5          ]"}));
}

TEST(ExampleLayout, LayoutFileRefusals) {
  if (!layout_files_reachable()) GTEST_SKIP() << "Wine chooses windir and TEMP itself";
  const LayoutHost host;
  ASSERT_EQ(host.run({"-gvinf", "-CLI", "hd1"}).exit_code, 0);
  // A file that names another volume is refused; a missing file fails to open. The
  // error lines are printed in CLI form too, the Windows error report is not.
  std::filesystem::copy_file(host.file("VOL64015_1234.ini"), host.file("VOL64015_1300.ini"));
  const struct {
    std::vector<std::string> args;
    std::string out;
    std::string err;
    int status;
  } cases[] = {
      {{"-svinf", "hd5"},
       "",
       "PhysicalDrive5 unmatch : ser = 64015 -> 64015,ldev = 1300 -> 1234"
       "ERROR: [VOL64015_1300] -> Harddisk5        [DISK-1          ]\n",
       1},
      {{"-svinf", "hd8", "hd2"},
       "[VOL64015_1234_5A1B2C3D] -> Harddisk8        [DISK-1          ]\n",
       "Createfile : [2] The system cannot find the file specified.\n"
       "ERROR: [VOL210945_256] -> Harddisk2        [DISK-2          ]\n",
       1},
      {{"-svinf", "-CLI", "hd2"},
       "",
       "ERROR: [VOL210945_256] -> Harddisk2        [DISK-2          ]\n",
       1},
      // -gvinfex fails the run for a device that cannot be probed, and goes on.
      {{"-gvinfex", "-CLI", "hd10", "hd12"},
       lines({"\\\\.\\PhysicalDrive12:",
              "# Harddisk12       -> [VOL64015_2047_00000000] [DISK-1-CM       ]"}),
       "",
       1},
      // -gvinf does not.
      {{"-gvinf", "-CLI", "hd10"}, "", "", 0},
  };
  for (const auto& c : cases) {
    const RunResult r = host.run(c.args);
    EXPECT_EQ(r.out, c.out) << c.args[0] << " " << c.args.back();
    EXPECT_EQ(r.err, c.err) << c.args[0] << " " << c.args.back();
    EXPECT_EQ(r.exit_code, c.status) << c.args[0] << " " << c.args.back();
  }
}

}  // namespace
}  // namespace vox::e2e::example
