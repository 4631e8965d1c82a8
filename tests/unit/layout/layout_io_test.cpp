// Saves, restores and the six commands against in-memory disks and files.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "layout/layout_cmd.h"
#include "layout/layout_files.h"
#include "layout_test_host.h"

namespace vox {
namespace {

using test::Bytes;
using Log = std::vector<std::string>;
using Operation = int (*)(DeviceSpace&, const char*, std::int32_t, std::int32_t, DiskTag&);

const std::string kDisk = "\\\\.\\PhysicalDrive3", kFile = "C:\\tmp\\VOL812_36.ini";
const std::string kGuidText = "00112233-4455-6677-8899-AABBCCDDEEFF";
const Bytes kBasic = test::canned_layout(LayoutForm::Basic, 0x1A2B3C4D,
                                         {{1048576, 104857600, 1}, {105906176, 1073741824, 2}});
const Bytes kGpt = test::canned_layout(LayoutForm::Ex, 0, {{17408, 1048576, 1, 0, kStyleGpt}},
                                       kStyleGpt, test::kGuid);

Bytes file_of(const Bytes& layout, std::int32_t serial = 812, std::int32_t ldev = 36) {
  const LayoutFileHeader h = make_layout_file_header(kDisk.c_str(), serial, ldev);
  Bytes file(h.begin(), h.end());
  file.insert(file.end(), layout.begin(), layout.end());
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
    disk().layout = kBasic;
    disk().layout_ex = kGpt;
  }
  void TearDown() override { cli_mode = 0; }
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
    host->log.clear();
    ASSERT_EQ(run(ex ? save_layout_ex : save_layout), 0);
    EXPECT_EQ(tag.data(), ex ? kGuidText : "1A2B3C4D");
    EXPECT_EQ(host->files[kFile], file_of(layout));
    ASSERT_EQ(run(ex ? restore_layout_ex : restore_layout), 0);
    EXPECT_EQ(tag.data(), ex ? kGuidText : "1A2B3C4D");
    EXPECT_EQ(disk().sets.back(), layout);
    // The GET and SET codes of the form, the file read up to the largest image.
    EXPECT_EQ(host->log[1] + host->log[9],
              "ioctl " + kDisk + (ex ? " 0x00070050 0" : " 0x0007400c 0") + "ioctl " + kDisk +
                  (ex ? " 0x0007c054 " : " 0x0007c010 ") + std::to_string(layout.size()));
    EXPECT_EQ(host->log[7], "read " + kFile + (ex ? " 147704" : " 32976"));
  }
}

TEST_F(LayoutIo, FailedSaveReports) {
  const struct {
    bool ex;
    std::uint32_t open_error, get_error, create_error, write_error, short_write;
    const char* folder;
    int cli;
    const char* err;
  } cases[] = {
      {false, 5, 0, 0, 0, 0, "C:\\tmp", 0, "Createfile : [5] message 5\n"},
      {false, 0, 1117, 0, 0, 0, "C:\\tmp", 0, "IOCTL_GET_DRIVE_LAYOUT : [1117] message 1117\n"},
      {true, 0, 21, 0, 0, 0, "C:\\tmp", 0, "IOCTL_GET_DRIVE_LAYOUT_EX : [21] message 21\n"},
      {false, 0, 0, 5, 0, 0, "C:\\tmp", 0, "Createfile : [5] message 5\n"},
      {true, 0, 0, 0, 0, 0, nullptr, 0, "Createfile : [3] message 3\n"},  // no folder
      {false, 0, 0, 0, 112, 0, "C:\\tmp", 0, "WriteFile : [112] message 112\n"},
      {true, 0, 0, 0, 0, 100, "C:\\tmp", 0, "WriteFile : [112] message 112\n"},
      {false, 0, 0, 0, 112, 0, "C:\\tmp", 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    test::set_env("TEMP", c.folder);
    disk().open_error = c.open_error;
    disk().get_error = c.get_error;
    host->create_error = c.create_error;
    host->write_error = c.write_error;
    host->short_write = c.short_write;
    host->files[kFile] = Bytes{'o', 'l', 'd'};
    cli_mode = c.cli;
    EXPECT_EQ(run(c.ex ? save_layout_ex : save_layout), 1);
    EXPECT_EQ(err, c.err);
    // The old file goes only once a new one is being written.
    EXPECT_EQ(host->files[kFile] == Bytes({'o', 'l', 'd'}), !c.write_error && !c.short_write);
  }
}

TEST_F(LayoutIo, FailedRestoreIssuesNoSet) {
  const Bytes ex_mbr = file_of(test::canned_layout(LayoutForm::Ex, 0x0A, {}));
  const std::string too_short = " is too short for its 200-byte header\n";
  const struct {
    bool ex;
    std::optional<Bytes> file;  // none: no file
    std::uint32_t read_error, open_error, set_error;
    int cli;
    std::string err, tag;
  } cases[] = {
      {false, std::nullopt, 0, 0, 0, 0, "Createfile : [2] message 2\n", ""},
      {false, file_of(kBasic), 1117, 0, 0, 0, "ReadFile : [1117] message 1117\n", ""},
      {true, Bytes(1, 1), 0, 0, 0, 0, kFile + " : layout file of 1 byte" + too_short, "00000000"},
      {false, file_of(kBasic), 0, 2, 0, 0, "Createfile : [2] message 2\n", "1A2B3C4D"},
      {false, file_of(kBasic), 0, 0, 87, 0, "IOCTL_SET_DRIVE_LAYOUT : [87] message 87\n",
       "1A2B3C4D"},
      {true, ex_mbr, 0, 0, 19, 0, "IOCTL_SET_DRIVE_LAYOUT_EX : [19] message 19\n", "0000000A"},
      {true, ex_mbr, 0, 0, 19, 1, "", "0000000A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    host->files.erase(kFile);
    if (c.file) host->files[kFile] = *c.file;
    host->read_error = c.read_error;
    disk().open_error = c.open_error;
    disk().set_error = c.set_error;
    cli_mode = c.cli;
    host->log.clear();
    EXPECT_EQ(run(c.ex ? restore_layout_ex : restore_layout), 1);
    EXPECT_EQ(err, c.err);
    EXPECT_EQ(tag.data(), c.tag);
    EXPECT_TRUE(disk().sets.empty());
    // The disk is touched only after the volume test held.
    EXPECT_EQ(std::count(host->log.begin(), host->log.end(), "open " + kDisk),
              c.open_error || c.set_error);
  }
}

TEST_F(LayoutIo, RestoreHandsOverWhatTheFileHoldsUpToTheImage) {
  const std::size_t cases[][3] = {
      {0, 200, 0}, {1, 200, 0}, {0, 200000, 32776}, {1, 200000, 147504}};
  for (const auto& [ex, file_size, set_size] : cases) {
    Bytes file = file_of({});
    for (std::size_t i = 200; i < file_size; ++i) file.push_back(static_cast<std::uint8_t>(i * 7));
    host->files[kFile] = file;
    ASSERT_EQ(run(ex ? restore_layout_ex : restore_layout), 0);
    EXPECT_EQ(disk().sets.back(), Bytes(file.begin() + 200, file.begin() + 200 + set_size));
  }
  test::set_env("TEMP", nullptr);  // no folder: the open of "" fails, nothing more
  host->log.clear();
  EXPECT_EQ(run(restore_layout), 1);
  EXPECT_EQ(host->log, Log{"open "});
}

TEST_F(LayoutIo, CommandLines) {
  const std::string product = " [OPEN-V          ]\n",
                    vol = "[VOL812_36_" + kGuidText + "] -> Harddisk3       " + product;
  const std::string read_error = "ERROR: Harddisk3        -> [VOL812_36]" + product;
  const std::string restore_error = "ERROR: [VOL812_36] -> Harddisk3       " + product;
  const std::string not_found = "Createfile : [2] message 2\n";
  const struct {
    int cmd;
    bool disk_fails;
    std::int32_t file_serial;  // 0: no layout file
    int cli;
    std::string out, err;
  } cases[] = {
      {3, false, 0, 0, "Harddisk3    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2" + product, ""},
      {3, true, 0, 0, "", not_found + read_error},
      {4, true, 0, 1, "", read_error},
      {1, false, 0, 0,
       "\\\\.\\PhysicalDrive3:\n# Harddisk3        -> [VOL812_36_1A2B3C4D]" + product, ""},
      {1, true, 0, 0, "", not_found + read_error},
      {2, true, 0, 1, "", read_error},
      {5, false, 812, 0, "[VOL812_36_1A2B3C4D] -> Harddisk3       " + product, ""},
      {6, false, 812, 0, vol, ""},
      {9, false, 812, 0, vol, ""},  // any other value restores the ex form
      {5, false, 0, 0, "", not_found + restore_error},
      {6, false, 813, 1, "", restore_error},
  };
  DevIdentity id;
  std::strcpy(id.dev_path, kDisk.c_str());
  id.serial = 812;
  id.ldev = 36;
  std::strcpy(id.product_id, "OPEN-V          ");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cmd);
    disk().open_error = c.disk_fails ? 2 : 0;
    host->files.erase(kFile);
    if (c.file_serial) host->files[kFile] = file_of(c.cmd == 5 ? kBasic : kGpt, c.file_serial);
    cli_mode = c.cli;
    int exit_error = 0;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    run_layout_cmd(space, c.cmd, "Harddisk3", id, exit_error);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
    EXPECT_EQ(exit_error, c.err.empty() ? 0 : 1);
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
