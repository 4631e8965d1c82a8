// Saves, restores and the six commands against in-memory disks and files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "layout/layout_cmd.h"
#include "layout/layout_files.h"
#include "layout_test_host.h"

namespace vox {
namespace {

using test::Bytes;
using Log = std::vector<std::string>;
using Operation = int (*)(DeviceSpace&, const char*, std::int32_t, std::int32_t, DiskTag&);

const std::string kDisk = "\\\\.\\PhysicalDrive3";
const std::string kFile = "C:\\tmp\\VOL812_36.ini";
const Bytes kBasic =
    test::basic_layout(0x1A2B3C4D, {{1048576, 104857600, 1}, {105906176, 1073741824, 2}});
const Bytes kGpt =
    test::ex_layout(kStyleGpt, 0, test::kGuid, {{17408, 1048576, 1, 0, kStyleGpt, {}, 0}});

Bytes file_of(const Bytes& layout, std::int32_t serial = 812, std::int32_t ldev = 36) {
  const LayoutFileHeader h = make_layout_file_header(kDisk.c_str(), serial, ldev);
  Bytes file(h.size() + layout.size());
  std::copy(h.begin(), h.end(), file.begin());
  std::copy(layout.begin(), layout.end(), file.begin() + static_cast<std::ptrdiff_t>(h.size()));
  return file;
}

class LayoutIo : public testing::Test {
 protected:
  void SetUp() override {
    auto owned = std::make_unique<test::LayoutTestHost>();
    host = owned.get();
    plat::set_backend(std::move(owned));
    test::set_env("VEXAM_USE_TEMP", "");
    test::set_env("TEMP", "C:\\tmp");
    host->disks[kDisk].layout = kBasic;
    host->disks[kDisk].layout_ex = kGpt;
  }
  void TearDown() override { cli_mode = inqdump_mode = 0; }
  int run(Operation op) {
    testing::internal::CaptureStderr();
    tag.fill('x');
    const int rc = op(space, kDisk.c_str(), 812, 36, tag);
    err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(host->open.empty());  // every handle closed
    return rc;
  }
  test::FakeDisk& disk() { return host->disks[kDisk]; }

  test::LayoutTestHost* host = nullptr;
  DeviceSpace space;
  DiskTag tag{};
  std::string err;
};

TEST_F(LayoutIo, SaveThenRestoreGivesTheSameLayoutAndTag) {
  for (const bool ex : {false, true}) {
    const Bytes& layout = ex ? kGpt : kBasic;
    const char* expected_tag = ex ? "00112233-4455-6677-8899-AABBCCDDEEFF" : "1A2B3C4D";
    host->log.clear();
    ASSERT_EQ(run(ex ? save_layout_ex : save_layout), 0);
    EXPECT_STREQ(tag.data(), expected_tag);
    EXPECT_EQ(host->files[kFile], file_of(layout));
    EXPECT_EQ(host->log,
              (Log{"open " + kDisk, "ioctl " + kDisk + (ex ? " 0x00070050 0" : " 0x0007400c 0"),
                   "create " + kFile, "write " + kFile + " " + std::to_string(200 + layout.size()),
                   "close " + kFile, "close " + kDisk}));
    host->log.clear();
    ASSERT_EQ(run(ex ? restore_layout_ex : restore_layout), 0);
    EXPECT_EQ(err, "");
    EXPECT_STREQ(tag.data(), expected_tag);
    EXPECT_EQ(disk().sets.back().second, layout);
    const std::string set = ex ? " 0x0007c054 " : " 0x0007c010 ";
    EXPECT_EQ(host->log,
              (Log{"open " + kFile, "read " + kFile + (ex ? " 147704" : " 32976"), "open " + kDisk,
                   "ioctl " + kDisk + set + std::to_string(layout.size()), "close " + kDisk,
                   "close " + kFile}));
  }
}

TEST_F(LayoutIo, SecondSaveReplacesTheFile) {
  ASSERT_EQ(run(save_layout), 0);
  disk().layout = test::basic_layout(2, {{512, 512, 1}});
  ASSERT_EQ(run(save_layout), 0);
  EXPECT_EQ(host->files[kFile], file_of(disk().layout));
  EXPECT_STREQ(tag.data(), "00000002");
}

TEST_F(LayoutIo, FailedSaveReports) {
  struct Case {
    bool ex;
    std::uint32_t open_error, get_error, create_error, write_error, short_write;
    const char* folder;
    int cli;
    const char* err;
    bool old_file_kept;
  } const cases[] = {
      {false, 5, 0, 0, 0, 0, "C:\\tmp", 0, "Createfile : [5] message 5\n", true},
      {false, 0, 1117, 0, 0, 0, "C:\\tmp", 0, "IOCTL_GET_DRIVE_LAYOUT : [1117] message 1117\n",
       true},
      {true, 0, 21, 0, 0, 0, "C:\\tmp", 0, "IOCTL_GET_DRIVE_LAYOUT_EX : [21] message 21\n", true},
      {false, 0, 0, 5, 0, 0, "C:\\tmp", 0, "Createfile : [5] message 5\n", true},
      {true, 0, 0, 0, 0, 0, nullptr, 0, "Createfile : [3] message 3\n", true},  // no folder
      {false, 0, 0, 0, 112, 0, "C:\\tmp", 0, "WriteFile : [112] message 112\n", false},
      {true, 0, 0, 0, 0, 100, "C:\\tmp", 0, "WriteFile : [112] message 112\n", false},
      {false, 0, 0, 0, 112, 0, "C:\\tmp", 1, "", false},
  };
  for (const Case& c : cases) {
    test::set_env("TEMP", c.folder);
    disk().open_error = c.open_error;
    disk().get_error = c.get_error;
    host->create_error = c.create_error;
    host->write_error = c.write_error;
    host->short_write = c.short_write;
    host->files[kFile] = Bytes{'o', 'l', 'd'};
    cli_mode = c.cli;
    EXPECT_EQ(run(c.ex ? save_layout_ex : save_layout), 1) << c.err;
    EXPECT_EQ(err, c.err);
    EXPECT_EQ(host->files[kFile] == Bytes({'o', 'l', 'd'}), c.old_file_kept) << c.err;
  }
}

TEST_F(LayoutIo, FailedRestoreIssuesNoSet) {
  const Bytes ex_mbr = test::ex_layout(kStyleMbr, 0x0A, {}, {});
  const std::string too_short = kFile + " : layout file of ";
  struct Case {
    bool ex, file_present;
    Bytes file;
    std::uint32_t read_error, open_error, set_error;
    int cli;
    std::string err;
    const char* tag;
  } const cases[] = {
      {false, false, {}, 0, 0, 0, 0, "Createfile : [2] message 2\n", ""},
      {false, true, file_of(kBasic), 1117, 0, 0, 0, "ReadFile : [1117] message 1117\n", ""},
      {false,
       true,
       {},
       0,
       0,
       0,
       0,
       too_short + "0 bytes is too short for its 200-byte header\n",
       "00000000"},
      {true, true, Bytes(199, 1), 0, 0, 0, 0,
       too_short + "199 bytes is too short for its 200-byte header\n", "00000000"},
      {false, true, Bytes(1, 1), 0, 0, 0, 0,
       too_short + "1 byte is too short for its 200-byte header\n", "00000000"},
      {false, true, file_of(kBasic, 813), 0, 0, 0, 0,
       "PhysicalDrive3 unmatch : ser = 812 -> 813,ldev = 36 -> 36", "1A2B3C4D"},
      {true, true, file_of(kGpt, 812, -1), 0, 0, 0, 0,
       "PhysicalDrive3 unmatch : ser = 812 -> 812,ldev = 36 -> -1",
       "00112233-4455-6677-8899-AABBCCDDEEFF"},
      {false, true, file_of(kBasic), 0, 2, 0, 0, "Createfile : [2] message 2\n", "1A2B3C4D"},
      {false, true, file_of(kBasic), 0, 0, 87, 0, "IOCTL_SET_DRIVE_LAYOUT : [87] message 87\n",
       "1A2B3C4D"},
      {true, true, file_of(ex_mbr), 0, 0, 19, 0, "IOCTL_SET_DRIVE_LAYOUT_EX : [19] message 19\n",
       "0000000A"},
      {true, true, file_of(ex_mbr), 0, 0, 19, 1, "", "0000000A"},
  };
  for (const Case& c : cases) {
    host->files.erase(kFile);
    if (c.file_present) host->files[kFile] = c.file;
    host->read_error = c.read_error;
    disk().open_error = c.open_error;
    disk().set_error = c.set_error;
    cli_mode = c.cli;
    host->log.clear();
    EXPECT_EQ(run(c.ex ? restore_layout_ex : restore_layout), 1) << c.err;
    EXPECT_EQ(err, c.err);
    EXPECT_STREQ(tag.data(), c.tag) << c.err;
    EXPECT_TRUE(disk().sets.empty()) << c.err;
    // The disk is touched only after the volume test held.
    const bool disk_opened = std::count(host->log.begin(), host->log.end(), "open " + kDisk) > 0;
    EXPECT_EQ(disk_opened, c.open_error || c.set_error) << c.err;
  }
}

TEST_F(LayoutIo, RestoreHandsOverWhatTheFileHoldsUpToTheImage) {
  struct Case {
    bool ex;
    std::size_t file_size, set_size;
  } const cases[] = {
      {false, 200, 0}, {true, 200, 0}, {false, 200000, 32776}, {true, 200000, 147504}};
  for (const Case& c : cases) {
    Bytes file = file_of({});
    file.resize(c.file_size);
    for (std::size_t i = 200; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 7);
    host->files[kFile] = file;
    ASSERT_EQ(run(c.ex ? restore_layout_ex : restore_layout), 0);
    EXPECT_EQ(disk().sets.back().second,
              Bytes(file.begin() + 200, file.begin() + 200 + c.set_size));
  }
  test::set_env("TEMP", nullptr);
  host->log.clear();
  EXPECT_EQ(run(restore_layout), 1);
  EXPECT_EQ(host->log, Log{"open "});
}

TEST_F(LayoutIo, CommandLines) {
  const std::string vol =
      "[VOL812_36_00112233-4455-6677-8899-AABBCCDDEEFF] -> Harddisk3        [OPEN-V          ]\n";
  const std::string read_error = "ERROR: Harddisk3        -> [VOL812_36] [OPEN-V          ]\n";
  const std::string restore_error = "ERROR: [VOL812_36] -> Harddisk3        [OPEN-V          ]\n";
  struct Case {
    int cmd;
    bool disk_fails;
    std::int32_t file_serial;  // 0: no layout file
    int cli, inqdump;
    std::string out, err;
  } const cases[] = {
      {3, false, 0, 0, 0,
       "Harddisk3    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [OPEN-V          ]\n", ""},
      {4, false, 0, 0, 1,
       "[GPT_PNO = 001]:[Atr = 0000000000000000]: 00000000-0000-0000-0000-000000000000\n"
       "ST[000] -> 0000000000004400\nLN[000] -> 0000000000100000\n"
       "Harddisk3    : SLBA = 0x00000022 ELBA = 0x00000822 PCNT = 1 [OPEN-V          ]\n",
       ""},
      {3, true, 0, 0, 0, "", "Createfile : [2] message 2\n" + read_error},
      {4, true, 0, 1, 0, "", read_error},
      {1, false, 0, 0, 0,
       "\\\\.\\PhysicalDrive3:\n# Harddisk3        -> [VOL812_36_1A2B3C4D] [OPEN-V          ]\n",
       ""},
      {2, false, 0, 0, 0,
       "\\\\.\\PhysicalDrive3:\n# Harddisk3        -> "
       "[VOL812_36_00112233-4455-6677-8899-AABBCCDDEEFF] [OPEN-V          ]\n",
       ""},
      {1, true, 0, 0, 0, "", "Createfile : [2] message 2\n" + read_error},
      {2, true, 0, 1, 0, "", read_error},
      {5, false, 812, 0, 0, "[VOL812_36_1A2B3C4D] -> Harddisk3        [OPEN-V          ]\n", ""},
      {6, false, 812, 0, 0, vol, ""},
      {9, false, 812, 0, 0, vol, ""},  // any other value restores the ex form
      {5, false, 0, 0, 0, "", "Createfile : [2] message 2\n" + restore_error},
      {5, false, 813, 0, 0, "",
       "PhysicalDrive3 unmatch : ser = 812 -> 813,ldev = 36 -> 36" + restore_error},
      {6, false, 813, 1, 0, "", restore_error},
  };
  DevIdentity id;
  std::strcpy(id.dev_path, kDisk.c_str());
  id.serial = 812;
  id.ldev = 36;
  for (const Case& c : cases) {
    disk().open_error = c.disk_fails ? 2 : 0;
    host->files.erase(kFile);
    if (c.file_serial) host->files[kFile] = file_of(c.cmd == 5 ? kBasic : kGpt, c.file_serial);
    cli_mode = c.cli;
    inqdump_mode = c.inqdump;
    std::strcpy(id.product_id, "OPEN-V          ");
    int exit_error = 0;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    run_layout_cmd(space, c.cmd, "Harddisk3", id, exit_error);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.cmd;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.cmd;
    EXPECT_EQ(exit_error, c.err.empty() ? 0 : 1) << c.cmd;
  }
  // A success leaves an earlier failure standing; a product id without string end is
  // read no further than its field.
  std::memset(id.product_id, 'P', sizeof id.product_id);
  int exit_error = 1;
  testing::internal::CaptureStdout();
  run_layout_cmd(space, 3, "Hd3", id, exit_error);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Hd3          : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2 [PPPPPPPPPPPPPPPPP]\n");
  EXPECT_EQ(exit_error, 1);
}

}  // namespace
}  // namespace vox
