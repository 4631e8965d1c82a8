// Saves, restores and the six commands against one disk and files in memory.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>

#include "driver/flags.h"
#include "layout/layout_cmd.h"
#include "layout/layout_files.h"
#include "layout_test_host.h"
#include "support/fake_backend.h"

namespace vox {
namespace {

using test::Bytes;

const std::string kDisk = "\\\\.\\PhysicalDrive3", kFile = "C:\\tmp\\VOL812_36.ini";
const Bytes kBasic = test::canned_layout(LayoutForm::Basic, 0x1A2B3C4D,
                                         {{1048576, 104857600, 1}, {105906176, 1073741824, 2}});
const Bytes kGpt =
    test::canned_layout(LayoutForm::Ex, 0, {{17408, 1048576, 1, 0, kStyleGpt}}, kStyleGpt);

Bytes bytes_of(const void* p, std::size_t n) {
  return Bytes(static_cast<const std::uint8_t*>(p), static_cast<const std::uint8_t*>(p) + n);
}

// The disk answers the GET codes with kBasic and kGpt. `faults` makes a step fail with an
// error: "open" (the disk), "get", "set", "create", "read", "write"; "short" writes only
// so many bytes.
struct MemoryHost : test::FakeBackend {
  std::map<std::string, std::uint32_t> faults;
  std::map<std::string, Bytes> files;
  std::vector<Bytes> sets;
  std::map<plat::Handle, std::string> open;

  plat::Handle create_file(const char* path, std::uint32_t, std::uint32_t, std::uint32_t how,
                           std::uint32_t) override {
    const std::string p = path;
    disk_opens += p == kDisk;
    if (p == kDisk && faults.count("open")) return fail_handle(faults["open"]);
    if (p != kDisk && how == win::CREATE_ALWAYS) {
      if (faults.count("create")) return fail_handle(faults["create"]);
      files[p].clear();
    }
    if (p != kDisk && !files.count(p)) return fail_handle(win::ERROR_FILE_NOT_FOUND);
    open[next] = p;
    return next++;
  }
  bool close_handle(plat::Handle h) override { return open.erase(h); }
  bool read_file(plat::Handle h, void* out, std::uint32_t size, std::uint32_t* got) override {
    if (faults.count("read")) return fail_step("read");
    const Bytes& data = files.at(open.at(h));
    *got = static_cast<std::uint32_t>(std::min<std::size_t>(size, data.size()));
    if (*got) std::memcpy(out, data.data(), *got);
    return true;
  }
  bool write_file(plat::Handle h, const void* in, std::uint32_t size,
                  std::uint32_t* done) override {
    if (faults.count("write")) return fail_step("write");
    *done = faults.count("short") ? faults["short"] : size;
    files[open.at(h)] = bytes_of(in, *done);
    return true;
  }
  bool device_io_control(plat::Handle, std::uint32_t code, const void* in, std::uint32_t in_size,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override {
    const bool basic = code == win::IOCTL_DISK_GET_DRIVE_LAYOUT;
    if (basic || code == win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX) {
      if (faults.count("get")) return fail_step("get");
      const Bytes& src = basic ? kBasic : kGpt;
      *returned = static_cast<std::uint32_t>(std::min<std::size_t>(src.size(), out_size));
      std::memcpy(out, src.data(), *returned);
      return true;
    }
    if (faults.count("set")) return fail_step("set");
    sets.push_back(bytes_of(in, in_size));
    return true;
  }
  bool fail_step(const char* step) { return fail(faults[step]); }
  plat::Handle next = 100;
  int disk_opens = 0;
};

Bytes file_of(const Bytes& layout, std::int32_t serial = 812, std::int32_t ldev = 36) {
  const LayoutFileHeader h = make_layout_file_header(kDisk.c_str(), serial, ldev);
  Bytes file(h.begin(), h.end());
  file.insert(file.end(), layout.begin(), layout.end());
  return file;
}

class LayoutIo : public testing::Test {
 protected:
  void SetUp() override {
    auto owned = std::make_unique<MemoryHost>();
    host = owned.get();
    plat::set_backend(std::move(owned));
    test::set_env("VEXAM_USE_TEMP", "");
    test::set_env("TEMP", "C:\\tmp");
  }
  void TearDown() override { cli_mode = 0; }
  MemoryHost* host = nullptr;
  DeviceSpace space;
};

TEST_F(LayoutIo, RestoreHandsOverWhatTheFileHoldsUpToTheImage) {
  const std::size_t cases[][3] = {
      {0, 200, 0}, {1, 200, 0}, {0, 200000, 32776}, {1, 200000, 147504}};
  for (const auto& [ex, file_size, set_size] : cases) {
    Bytes file = file_of({});
    for (std::size_t i = 200; i < file_size; ++i) file.push_back(static_cast<std::uint8_t>(i * 7));
    host->files[kFile] = file;
    DiskTag tag{};
    ASSERT_EQ((ex ? restore_layout_ex : restore_layout)(space, kDisk.c_str(), 812, 36, tag), 0);
    EXPECT_EQ(host->sets.back(), Bytes(file.begin() + 200, file.begin() + 200 + set_size));
  }
}

// Commands 1 and 2 save the layout, 3 and 4 print the usable range, 5 and 6 restore. The
// product id has no string end: it is read no further than its field.
TEST_F(LayoutIo, CommandsAndTheirFailureLines) {
  const std::string product = " [PPPPPPPPPPPPPPPPP]\n", not_found = "Createfile : [2] message 2\n";
  const std::string vol =
      "[VOL812_36_00112233-4455-6677-8899-AABBCCDDEEFF] -> Harddisk3       " + product;
  const std::string save_error = "ERROR: Harddisk3        -> [VOL812_36]" + product;
  const std::string restore_error = "ERROR: [VOL812_36] -> Harddisk3       " + product;
  const Bytes old = {'o', 'l', 'd'},
              ex_mbr = file_of(test::canned_layout(LayoutForm::Ex, 0x0A, {}));
  const struct {
    int cmd;
    const char* step;  // the step that fails, see MemoryHost
    std::uint32_t error;
    std::optional<Bytes> file;  // the layout file before; none: no file
    int cli;
    std::string out, err;
  } cases[] = {
      {3, "", 0, std::nullopt, 0,
       "Harddisk3    : SLBA = 0x00000800 ELBA = 0x00232800 PCNT = 2" + product, ""},
      {3, "open", 2, {}, 0, "", not_found + save_error},
      {4, "open", 2, {}, 1, "", save_error},
      {1, "open", 5, old, 0, "", "Createfile : [5] message 5\n" + save_error},
      {1, "get", 1117, old, 0, "", "IOCTL_GET_DRIVE_LAYOUT : [1117] message 1117\n" + save_error},
      {2, "get", 21, old, 0, "", "IOCTL_GET_DRIVE_LAYOUT_EX : [21] message 21\n" + save_error},
      {1, "create", 5, old, 0, "", "Createfile : [5] message 5\n" + save_error},
      {1, "write", 112, old, 0, "", "WriteFile : [112] message 112\n" + save_error},
      {2, "short", 100, old, 0, "", "WriteFile : [112] message 112\n" + save_error},
      {2, "open", 2, old, 1, "", save_error},
      {9, "", 0, file_of(kGpt), 0, vol, ""},  // any other value restores the ex form
      {5, "read", 1117, file_of(kBasic), 0, "", "ReadFile : [1117] message 1117\n" + restore_error},
      {6, "", 0, Bytes(1, 1), 0, "",
       kFile + " : layout file of 1 byte is too short for its 200-byte header\n" + restore_error},
      {5, "open", 2, file_of(kBasic), 0, "", not_found + restore_error},
      {5, "set", 87, file_of(kBasic), 0, "",
       "IOCTL_SET_DRIVE_LAYOUT : [87] message 87\n" + restore_error},
      {6, "set", 19, ex_mbr, 0, "",
       "IOCTL_SET_DRIVE_LAYOUT_EX : [19] message 19\n" + restore_error},
      {6, "set", 19, ex_mbr, 1, "", restore_error},
  };
  DevIdentity id;
  std::strcpy(id.dev_path, kDisk.c_str());
  id.serial = 812;
  id.ldev = 36;
  std::memset(id.product_id, 'P', sizeof id.product_id);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.cmd) + " " + c.step);
    *host = MemoryHost{};
    host->faults = {{c.step, c.error}};
    if (c.file) host->files[kFile] = *c.file;
    cli_mode = c.cli;
    int exit_error = 7;  // a success leaves it, a failure makes it 1
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    run_layout_cmd(space, c.cmd, "Harddisk3", id, exit_error);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
    EXPECT_EQ(exit_error, c.err.empty() ? 7 : 1);
    EXPECT_TRUE(host->open.empty());  // every handle closed
    const bool save = c.cmd <= 2, restore = c.cmd >= 5, failed = !c.err.empty();
    EXPECT_EQ(host->sets.size(), restore && !failed);
    // A save replaces the old file only once it has the layout; a restore touches the
    // disk only once the file names this volume.
    const bool written = !failed || c.step[0] == 'w' || c.step[0] == 's';
    EXPECT_EQ(save && host->files[kFile] != old, save && written);
    EXPECT_EQ(restore && host->disk_opens > 0, restore && (written || c.step[0] == 'o'));
  }
}

}  // namespace
}  // namespace vox
