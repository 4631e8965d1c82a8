// Recording a host: what a capture finds and keeps, that it only reads, and what it
// notes where a host answers beyond what a host image can hold.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "platform/win_defs.h"
#include "tools/hostgen/example_host.h"
#include "unit/capture/capture_fixture.h"
#include "unit/capture/edge_host.h"

namespace vox::capture::test {
namespace {

std::string recaptured(std::string_view json) {
  use_host(json);
  return capture_json_text(capture_host(nullptr), "test");
}

TEST(Capture, WhatItFindsAndKeeps) {
  // A capture captured again gives the same file: the second round loses and adds nothing.
  for (const std::string& json :
       {edge_host_json(), hostgen::write_host_json(hostgen::make_example_host())}) {
    const std::string image = recaptured(json);
    EXPECT_EQ(recaptured(image), image);
  }
  use_host(edge_host_json());
  const Capture cap = capture_host(nullptr);
  std::vector<std::uint32_t> numbers;
  for (const hi::Disk& d : cap.image.disks) numbers.push_back(d.number);
  // 90 only through its volume, 200 through its name, 210 past 200; 300 is too far.
  EXPECT_EQ(numbers, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 90, 200, 210}));
  EXPECT_EQ(cap.image.disks[5].pages.count(0xE2), 0u);  // the default refusal needs no entry
  EXPECT_TRUE(cap.notes.empty() && cap.disk_notes.empty());
}

TEST(Capture, OnlyReads) {
  const std::string trace = ::testing::TempDir() + "capture-trace.txt";
  std::remove(trace.c_str());
  auto backend = std::make_unique<hi::HostImageBackend>(load(edge_host_json()));
  std::string problem;
  ASSERT_TRUE(backend->trace_to(trace, problem)) << problem;
  plat::set_backend(std::move(backend));
  capture_host(nullptr);
  plat::set_backend(std::make_unique<hi::HostImageBackend>(hi::HostImage{}));  // closes the trace
  std::FILE* f = std::fopen(trace.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::istringstream lines(contents(f));
  std::fclose(f);
  const std::regex allowed(
      R"(CreateFile \\\\\.\\\S+ access=0x(c0000000|00000000) -> .*)"
      R"(|DeviceIoControl \S+ 0x0004d014 cdb=12(000000ff00|018300ff00|01e202ff00) .*)"
      R"(|DeviceIoControl \S+ 0x(002d1400|00070050|0007400c|00560000) -> .*)"
      R"(|QueryDosDevice .*|popen mountvol\.exe 2>NUL)");
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count)
    EXPECT_TRUE(std::regex_match(line, allowed)) << line;
  EXPECT_GT(count, 100);
}

TEST(Capture, FailedNameListKeepsTheNamesThatResolveAlone) {
  const std::string json = R"({"dos_list_error": 5, "dos_devices": [
    {"name": "C:", "target": "\\Device\\HarddiskVolume1"},
    {"name": "Volume{1}", "target": "\\Device\\HarddiskVolume1"},
    {"name": "Other", "target": "\\Device\\Null"}],
    "volumes": [{"target": "\\Device\\HarddiskVolume1", "disks": []}],
    "mount_points": [{"volume": "Volume{1}", "paths": ["C:\\"]}]})";
  use_host(json);
  const Capture cap = capture_host(nullptr);
  EXPECT_EQ(cap.image.dos_list_error, 5u);
  ASSERT_EQ(cap.image.dos_devices.size(), 2u);  // the drive letter and the mountvol volume
  EXPECT_EQ(cap.image.dos_devices[1].name, "Volume{1}");
}

TEST(Capture, ReportsProgressEveryHundredDrives) {
  std::string json = R"({"disks": [{"number": 0})";
  for (int n = 1; n < 205; ++n) json += ",{\"number\":" + std::to_string(n) + "}";
  use_host(json + "]}");
  std::FILE* progress = std::tmpfile();
  EXPECT_EQ(capture_host(progress).image.disks.size(), 205u);
  EXPECT_EQ(contents(progress), "captured 100 drives so far\ncaptured 200 drives so far\n");
  std::fclose(progress);
}

// A host that answers some calls in ways a host image cannot express.
class OddHost : public plat::Backend {
 public:
  explicit OddHost(std::string_view json) : in_(load(json)) {}
  std::map<std::uint32_t, std::uint32_t> failing_codes;  // control code -> error
  std::map<std::string, std::uint32_t> failing_names;    // name -> error, 0: no target
  std::map<std::string, std::uint32_t> failing_opens;    // path -> error
  std::uint32_t absent_drive_error = 0;                  // instead of 2
  bool no_popen = false, name_twice = false;

  plat::Handle create_file(const char* p, std::uint32_t a, std::uint32_t s, std::uint32_t d,
                           std::uint32_t f) override {
    if (failing_opens.count(p)) return in_.set_last_error(failing_opens[p]), plat::kInvalidHandle;
    const plat::Handle h = in_.create_file(p, a, s, d, f);
    if (h == plat::kInvalidHandle && absent_drive_error != 0 && in_.get_last_error() == 2)
      in_.set_last_error(absent_drive_error);
    return h;
  }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void* in, std::uint32_t n,
                         void* out, std::uint32_t size, std::uint32_t* got) override {
    if (failing_codes.count(code)) return in_.set_last_error(failing_codes[code]), false;
    return in_.device_io_control(h, code, in, n, out, size, got);
  }
  std::uint32_t query_dos_device_a(const char* name, char* b, std::uint32_t n) override {
    if (!failing_names.count(name)) return in_.query_dos_device_a(name, b, n);
    if (failing_names[name] != 0) return in_.set_last_error(failing_names[name]), 0;
    b[0] = b[1] = '\0';
    return 2;
  }
  std::uint32_t query_dos_device_list_w(char16_t* b, std::uint32_t n) override {
    const std::uint32_t units = in_.query_dos_device_list_w(b, n);
    if (!name_twice || units == 0) return units;
    std::copy_n(u"C:\0", 4, b + units - 1);  // "C:" once more before the closing NUL
    return units + 3;
  }
  std::FILE* popen(const char* c, const char* m) override {
    return no_popen ? nullptr : in_.popen(c, m);
  }
  bool close_handle(plat::Handle h) override { return in_.close_handle(h); }
  bool read_file(plat::Handle, void*, std::uint32_t, std::uint32_t*) override { return false; }
  bool write_file(plat::Handle, const void*, std::uint32_t, std::uint32_t*) override {
    return false;
  }
  std::uint32_t get_last_error() override { return in_.get_last_error(); }
  void set_last_error(std::uint32_t c) override { in_.set_last_error(c); }
  std::string format_message(std::uint32_t c) override { return in_.format_message(c); }
  int pclose(std::FILE* f) override { return in_.pclose(f); }
  int system(const char*) override { return -1; }

 private:
  hi::HostImageBackend in_;
};

constexpr std::string_view kPlainHost = R"({
  "disks": [{"number": 0, "inquiry": "00 00 05 02",
             "layout": {"signature": "0x01020304", "partitions": [{"offset": 512, "length": 512}]}}],
  "dos_devices": [{"name": "Volume{1}", "target": "\\Device\\HarddiskVolume1"},
                  {"name": "C:", "target": "\\Device\\HarddiskVolume1"},
                  {"name": "D:", "target": "\\Device\\CdRom0"}],
  "volumes": [{"target": "\\Device\\HarddiskVolume1", "disks": [0]}], "mountvol_output": "x"})";

constexpr std::uint32_t kEx = win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX;
constexpr std::uint32_t kLegacy = win::IOCTL_DISK_GET_DRIVE_LAYOUT;

TEST(Capture, NotesWhatTheImageCannotHold) {
  const struct {
    std::function<void(OddHost&)> setup;
    std::string note;  // on the host, or "disk: " on disk 0
    unsigned errors;
  } cases[] = {
      {[](OddHost&) {}, "", 0},
      {[](OddHost& h) { h.failing_codes[kEx] = 1; },
       "disk: the extended layout query fails with 1; the image answers it from the legacy layout",
       0},
      {[](OddHost& h) { h.failing_codes[kLegacy] = 1; },
       "disk: the legacy layout query fails with 1; the image answers it from the layout", 0},
      {[](OddHost& h) { h.failing_codes[kEx] = h.failing_codes[kLegacy] = 21; }, "", 1},
      {[](OddHost& h) { h.failing_codes[kEx] = 21, h.failing_codes[kLegacy] = 87; },
       "disk: the extended layout query fails with 21, the legacy one fails with 87", 1},
      {[](OddHost& h) { h.failing_codes[win::IOCTL_STORAGE_QUERY_PROPERTY] = 1; },
       "disk: the device property query fails with 1; the image answers it with 50", 0},
      {[](OddHost& h) { h.no_popen = true; },
       "mountvol.exe could not be started: the image answers it with no output", 1},
      {[](OddHost& h) { h.name_twice = true; },
       "DOS name 'C:' is listed more than once; the image lists it once", 0},
      {[](OddHost& h) { h.failing_names["D:"] = 5; },
       "QueryDosDevice of 'D:' fails with 5: the name is left out", 1},
      {[](OddHost& h) { h.failing_names["D:"] = 0; },
       "DOS name 'D:' has no target: the name is left out", 0},
      {[](OddHost& h) { h.failing_opens["\\\\.\\C:"] = 5; },
       "volume \\Device\\HarddiskVolume1 answers through 'Volume{1}' otherwise than through "
       "'C:': the image answers as through 'C:'",
       1},
  };
  for (const auto& c : cases) {
    auto host = std::make_unique<OddHost>(kPlainHost);
    c.setup(*host);
    plat::set_backend(std::move(host));
    const Capture cap = capture_host(nullptr);
    std::string notes;
    for (const std::string& n : cap.notes) notes += n;
    for (const auto& [disk, list] : cap.disk_notes) notes += "disk: " + list.front();
    EXPECT_EQ(notes, c.note);
    EXPECT_EQ(cap.errors, c.errors) << c.note;
    ASSERT_EQ(cap.image.disks.size(), 1u) << c.note;
    const hi::Disk& d = cap.image.disks[0];
    EXPECT_EQ(d.layout_error == 0 ? d.layout.signature : 0x01020304u, 0x01020304u) << c.note;
  }
}

TEST(Capture, DrivesRefusedWithOtherCodesDoNotWidenTheSearch) {
  auto host = std::make_unique<OddHost>(kPlainHost);
  host->absent_drive_error = 3;
  plat::set_backend(std::move(host));
  const Capture cap = capture_host(nullptr);
  ASSERT_EQ(cap.image.disks.size(), 64u);  // 0..63: only drive 0 opens
  EXPECT_EQ(cap.image.disks[63].open_error, 3u);
  EXPECT_EQ(cap.errors, 63u);
}

}  // namespace
}  // namespace vox::capture::test
