// The layout commands over the example host: the usable range of each disk (MBR, GPT, no
// table), and layout files saved, refused and written back, also to a pair group's disks.
#include <filesystem>
#include <string>

#include "e2e/example_support.h"

namespace vox::e2e::example {
namespace {

const std::string kRange1 =
    "Harddisk1    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [DISK-1          ]\n";
const std::string kRange3 =
    "Harddisk3    : SLBA = 0x00000022 ELBA = 0x3e808000 PCNT = 2 [DISK-5          ]\n";

TEST(ExampleLayout, UsableRange) {
  // Disk 1: partitions at 1 MiB (100 MiB) and 101 MiB (1 GiB) and two empty MBR slots;
  // disk 2: 1 MiB + 200 GiB; disk 3 (GPT): 17408 bytes (16 MiB - 17408) and 16 MiB
  // (500 GiB); the command device 12 has no partition table.
  const std::string range =
      kRange1 + "Harddisk2    : SLBA = 0x00000800 ELBA = 0x19000800 PCNT = 1 [DISK-2          ]\n" +
      kRange3 + "Harddisk12   : SLBA = 0x00000000 ELBA = 0x00000000 PCNT = 0 [DISK-1-CM       ]\n";
  // Sorted by serial and LDEV; a long name shifts the colon.
  const std::string c =
      "C:\\Vol3\\Dsk1" + kRange1.substr(12) + "C:\\mnt\\data\\Vol4\\Dsk3" + kRange3.substr(12);
  check_all({{"hd0-3 hd12 -gplba", range, probe_error(0)},
             {"hd0-3 hd12 -gplbaex -CLI", range},
             {"-sort -gplba -CLI $C:", c}});
}

// A copy of the example host, which restores rewrite, and a windir for the layout files.
struct LayoutHost : HostCopy {
  LayoutHost() { std::filesystem::create_directories(dir.file("win")); }
  RunResult run(const std::string& args, std::string stdin_text = {}) const {
    return run_example(args, std::move(stdin_text), {{"windir", dir.file("win")}}, path);
  }
  std::string file(const std::string& name) const { return dir.file("win/" + name); }
};

TEST(ExampleLayout, LayoutFilesSavedWrittenBackAndRefused) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses windir and TEMP itself";
  const LayoutHost host;
  // The old layout record of a GPT disk carries no signature.
  expect_run(host.run("-gvinf hd1 hd3 hd5 hd7 hd9"),
             lines({"\\\\.\\PhysicalDrive1:",
                    "# Harddisk1        -> [VOL64015_1234_5A1B2C3D] [DISK-1          ]",
                    "\\\\.\\PhysicalDrive3:",
                    "# Harddisk3        -> [VOL150000_2571_00000000] [DISK-5          ]",
                    "\\\\.\\PhysicalDrive5:",
                    "# Harddisk5        -> [VOL64015_1300_4D5E6F70] [DISK-1          ]",
                    "\\\\.\\PhysicalDrive7:",
                    "# Harddisk7        -> [VOL73000101_416_6F708192] [DISK-7          ]"}),
             probe_error(9));
  // Header texts, serial and LDEV, then the layout record: 8 bytes and four 32-byte
  // entries for disk 1.
  const std::string saved = read_file(host.file("VOL64015_1234.ini"));
  ASSERT_EQ(saved.size(), 200u + 8u + 4u * 32u);
  EXPECT_EQ(saved.substr(0, 192), "DEVFILE = \\\\.\\PhysicalDrive1\n" + std::string(99, '\0') +
                                      "SER = 64015\n" + std::string(20, '\0') +
                                      "LDEV = 1234(0x0004d2)\n" + std::string(10, '\0'));
  // Serial, LDEV, partition count and disk signature, little-endian.
  EXPECT_EQ(saved.substr(192, 16),
            std::string("\x0f\xfa\0\0\xd2\x04\0\0\x04\0\0\0\x3d\x2c\x1b\x5a", 16));

  // The EX form of the GPT disk: its tag is the disk GUID; the same file name is used.
  const std::string tag3 = "[VOL150000_2571_6E1F2A3B-4C5D-4E6F-8091-A2B3C4D5E6F7]";
  expect_run(host.run("-gvinfex -CLI hd3"),
             "\\\\.\\PhysicalDrive3:\n# Harddisk3        -> " + tag3 + " [DISK-5          ]\n", "");
  EXPECT_EQ(read_file(host.file("VOL150000_2571.ini")).size(), 200u + 48u + 2u * 144u);
  expect_run(host.run("-svinfex hd3"), tag3 + " -> Harddisk3        [DISK-5          ]\n", "");

  // The disks of group VG01 as the pair-status tool lists them, written back; the title
  // line and the other words of the listing do not begin with "Harddisk".
  const RunResult listing = vox::e2e::run(Invocation{
      "twinlist", {"-l", "-fd", "-g", "VG01"}, {{"VOXMIRA_HOST", example_host()}}, {}, {}});
  const std::string d7 = "[VOL73000101_416_6F708192] -> Harddisk7        [DISK-7          ]\n";
  expect_run(host.run("-svinf=Harddisk", listing.out),
             "[VOL64015_1234_5A1B2C3D] -> Harddisk1        [DISK-1          ]\n" + d7 +
                 "[VOL64015_1300_4D5E6F70] -> Harddisk5        [DISK-1          ]\n" + d7,
             "");
  // The host image was written back after each restore and still reads the same.
  EXPECT_EQ(host.run("-gplba hd1 hd3").out, kRange1 + kRange3);

  // A file that names another volume is refused; a missing file fails to open. The error
  // lines are printed in CLI form too, the Windows error report is not.
  std::filesystem::copy_file(host.file("VOL64015_1234.ini"), host.file("VOL64015_1300.ini"),
                             std::filesystem::copy_options::overwrite_existing);
  const std::string no2 = "ERROR: [VOL210945_256] -> Harddisk2        [DISK-2          ]\n";
  const Case cases[] = {
      {"-svinf hd5", "",
       "PhysicalDrive5 unmatch : ser = 64015 -> 64015,ldev = 1300 -> 1234"
       "ERROR: [VOL64015_1300] -> Harddisk5        [DISK-1          ]\n",
       1},
      {"-svinf hd8 hd2", "[VOL64015_1234_5A1B2C3D] -> Harddisk8        [DISK-1          ]\n",
       "Createfile : [2] The system cannot find the file specified.\n" + no2, 1},
      {"-svinf -CLI hd2", "", no2, 1},
      // -gvinfex fails the run for a device that cannot be probed, and goes on; -gvinf not.
      {"-gvinfex -CLI hd10 hd12",
       "\\\\.\\PhysicalDrive12:\n# Harddisk12       -> [VOL64015_2047_00000000] [DISK-1-CM       "
       "]\n",
       "", 1},
      {"-gvinf -CLI hd10", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    expect_run(host.run(c.args), c.out, c.err, c.status);
  }
}

}  // namespace
}  // namespace vox::e2e::example
