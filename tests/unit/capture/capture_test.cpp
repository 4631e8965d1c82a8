// Recording a host: what a capture holds, that its replay answers every call voxmira
// makes as the host did, that it only reads, and what it notes where a host answers
// beyond what a host image can hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "tools/hostgen/example_host.h"
#include "unit/capture/capture_fixture.h"
#include "unit/capture/edge_host.h"

namespace vox::capture::test {
namespace {

TEST(Capture, ReplayAnswersEveryCallAsTheHostDid) {
  const std::vector<std::pair<std::string, std::uint32_t>> hosts = {
      {edge_host_json(), 260}, {hostgen::write_host_json(hostgen::make_example_host()), 40}};
  for (const auto& [json, last_drive] : hosts) {
    const hi::HostImage original = load(json);
    use_host(json);
    const std::string before = answers(last_drive, original);
    const std::string image = recaptured(json);
    use_host(image);
    EXPECT_EQ(first_difference(before, answers(last_drive, original)), "");
    // A second round gives the same file.
    EXPECT_EQ(recaptured(image), image);
  }
}

TEST(Capture, RecordsWhatTheToolCanObserveAndNoMore) {
  use_host(edge_host_json());
  const Capture cap = capture_host(nullptr);
  std::vector<std::uint32_t> numbers;
  for (const hi::Disk& d : cap.image.disks) numbers.push_back(d.number);
  // 90 only through its volume, 200 through its DOS name, 210 past 200; not 300.
  EXPECT_EQ(numbers, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 90, 200, 210}));
  const hi::Disk& d5 = cap.image.disks[5];
  EXPECT_EQ(d5.pages.count(0x83), 1u);
  EXPECT_EQ(d5.pages.count(0xE2), 0u);  // the default refusal needs no entry
  EXPECT_EQ(cap.image.disks[2].layout_error, 21u);
  EXPECT_EQ(cap.image.dos_devices.back().targets.size(), 2u);
  EXPECT_EQ(cap.errors, 6u);
  EXPECT_TRUE(cap.notes.empty());
  EXPECT_TRUE(cap.disk_notes.empty());
}

TEST(Capture, WritesOnlyKnownReadCalls) {
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
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_TRUE(std::regex_match(line, allowed)) << line;
  }
  EXPECT_GT(count, 100);
}

TEST(Capture, FailedNameListKeepsTheNamesThatResolveAlone) {
  const std::string json = R"({"dos_list_error": 5,
    "dos_devices": [{"name": "C:", "target": "\\Device\\HarddiskVolume1"},
                    {"name": "Volume{11111111-0000-0000-0000-000000000000}",
                     "target": "\\Device\\HarddiskVolume1"},
                    {"name": "Other", "target": "\\Device\\Null"}],
    "volumes": [{"target": "\\Device\\HarddiskVolume1", "disks": []}],
    "mount_points": [{"volume": "Volume{11111111-0000-0000-0000-000000000000}",
                      "paths": ["C:\\"]}]})";
  use_host(json);
  const Capture cap = capture_host(nullptr);
  EXPECT_EQ(cap.image.dos_list_error, 5u);
  ASSERT_EQ(cap.image.dos_devices.size(), 2u);
  EXPECT_EQ(cap.image.dos_devices[1].name, "Volume{11111111-0000-0000-0000-000000000000}");
  // "Other" is only in the list: neither voxmira nor a capture can learn of it.
  hi::HostImage original = load(json);
  original.dos_devices.pop_back();
  const std::string before = answers(0, original);
  use_host(capture_json_text(cap, ""));
  EXPECT_EQ(first_difference(before, answers(0, original)), "");
}

TEST(Capture, ReportsProgressEveryHundredDrives) {
  std::string json = R"({"disks": [)";
  for (int n = 0; n < 205; ++n)
    json += (n ? ",{\"number\":" : "{\"number\":") + std::to_string(n) + "}";
  use_host(json + "]}");
  std::FILE* progress = std::tmpfile();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(capture_host(progress).image.disks.size(), 205u);
  EXPECT_EQ(contents(progress), "captured 100 drives so far\ncaptured 200 drives so far\n");
  std::fclose(progress);
}

// A host that answers some calls in ways a host image cannot express.
class OddHost : public plat::Backend {
 public:
  explicit OddHost(std::string_view json) : inner_(load(json)) {}
  std::map<std::uint32_t, std::uint32_t> failing_codes;  // control code -> error
  std::map<std::string, std::uint32_t> failing_names;    // QueryDosDevice name -> error
  std::set<std::string> empty_names;                     // resolve to an empty target
  std::map<std::string, std::uint32_t> failing_opens;    // CreateFile path -> error
  std::uint32_t absent_drive_error = 0;                  // instead of 2
  bool no_popen = false;
  bool name_twice = false;

  plat::Handle create_file(const char* p, std::uint32_t a, std::uint32_t s, std::uint32_t d,
                           std::uint32_t f) override {
    if (const auto it = failing_opens.find(p); it != failing_opens.end()) {
      inner_.set_last_error(it->second);
      return plat::kInvalidHandle;
    }
    const plat::Handle h = inner_.create_file(p, a, s, d, f);
    if (h == plat::kInvalidHandle && absent_drive_error != 0 &&
        inner_.get_last_error() == win::ERROR_FILE_NOT_FOUND) {
      inner_.set_last_error(absent_drive_error);
    }
    return h;
  }
  bool close_handle(plat::Handle h) override { return inner_.close_handle(h); }
  bool read_file(plat::Handle h, void* b, std::uint32_t n, std::uint32_t* g) override {
    return inner_.read_file(h, b, n, g);
  }
  bool write_file(plat::Handle h, const void* b, std::uint32_t n, std::uint32_t* w) override {
    return inner_.write_file(h, b, n, w);
  }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void* in, std::uint32_t in_size,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override {
    if (const auto it = failing_codes.find(code); it != failing_codes.end()) {
      inner_.set_last_error(it->second);
      return false;
    }
    return inner_.device_io_control(h, code, in, in_size, out, out_size, returned);
  }
  std::uint32_t query_dos_device_a(const char* name, char* b, std::uint32_t n) override {
    if (const auto it = failing_names.find(name); it != failing_names.end()) {
      inner_.set_last_error(it->second);
      return 0;
    }
    if (empty_names.count(name) != 0 && n >= 2) {
      b[0] = b[1] = '\0';
      return 2;
    }
    return inner_.query_dos_device_a(name, b, n);
  }
  std::uint32_t query_dos_device_list_w(char16_t* b, std::uint32_t n) override {
    const std::uint32_t units = inner_.query_dos_device_list_w(b, n);
    if (!name_twice || units == 0 || units + 3 > n) return units;
    std::copy_n(u"C:\0", 4, b + units - 1);  // "C:" once more before the closing NUL
    return units + 3;
  }
  std::uint32_t get_last_error() override { return inner_.get_last_error(); }
  void set_last_error(std::uint32_t c) override { inner_.set_last_error(c); }
  std::string format_message(std::uint32_t c) override { return inner_.format_message(c); }
  std::FILE* popen(const char* c, const char* m) override {
    return no_popen ? nullptr : inner_.popen(c, m);
  }
  int pclose(std::FILE* f) override { return inner_.pclose(f); }
  int system(const char* c) override { return inner_.system(c); }

 private:
  hi::HostImageBackend inner_;
};

constexpr std::string_view kPlainHost = R"({
  "disks": [{"number": 0, "inquiry": "00 00 05 02",
             "layout": {"signature": "0x01020304",
                        "partitions": [{"offset": 1048576, "length": 1048576}]}}],
  "dos_devices": [{"name": "Volume{1}", "target": "\\Device\\HarddiskVolume1"},
                  {"name": "C:", "target": "\\Device\\HarddiskVolume1"},
                  {"name": "D:", "target": "\\Device\\CdRom0"}],
  "volumes": [{"target": "\\Device\\HarddiskVolume1", "disks": [0]}],
  "mountvol_output": "x\n"})";

TEST(Capture, NotesWhatTheImageCannotHold) {
  using win::IOCTL_DISK_GET_DRIVE_LAYOUT;
  using win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX;
  struct Case {
    const char* what;
    std::function<void(OddHost&)> setup;
    std::vector<std::string> host_notes;
    std::vector<std::string> disk_notes;
    unsigned errors;
  };
  const std::vector<Case> cases = {
      {"nothing odd", [](OddHost&) {}, {}, {}, 0},
      {"extended layout fails",
       [](OddHost& h) { h.failing_codes[IOCTL_DISK_GET_DRIVE_LAYOUT_EX] = 1; },
       {},
       {"the extended layout query fails with 1; the image answers it from the legacy layout"},
       0},
      {"legacy layout fails",
       [](OddHost& h) { h.failing_codes[IOCTL_DISK_GET_DRIVE_LAYOUT] = 1; },
       {},
       {"the legacy layout query fails with 1; the image answers it from the layout"},
       0},
      {"both fail alike",
       [](OddHost& h) {
         h.failing_codes[IOCTL_DISK_GET_DRIVE_LAYOUT_EX] = 21;
         h.failing_codes[IOCTL_DISK_GET_DRIVE_LAYOUT] = 21;
       },
       {},
       {},
       1},
      {"both fail otherwise",
       [](OddHost& h) {
         h.failing_codes[IOCTL_DISK_GET_DRIVE_LAYOUT_EX] = 21;
         h.failing_codes[IOCTL_DISK_GET_DRIVE_LAYOUT] = 87;
       },
       {},
       {"the extended layout query fails with 21, the legacy one fails with 87"},
       1},
      {"property queries fail",
       [](OddHost& h) { h.failing_codes[win::IOCTL_STORAGE_QUERY_PROPERTY] = 1; },
       {},
       {"the device property query fails with 1; the image answers it with 50",
        "the identifier property query fails with 1; the image answers it with 50"},
       0},
      {"no mountvol",
       [](OddHost& h) { h.no_popen = true; },
       {"mountvol.exe could not be started: the image answers it with no output"},
       {},
       1},
      {"a name twice",
       [](OddHost& h) { h.name_twice = true; },
       {"DOS name 'C:' is listed more than once; the image lists it once"},
       {},
       0},
      {"a name that does not resolve",
       [](OddHost& h) { h.failing_names["D:"] = 5; },
       {"QueryDosDevice of 'D:' fails with 5: the name is left out"},
       {},
       1},
      {"a volume that answers otherwise through its drive letter",
       [](OddHost& h) { h.failing_opens["\\\\.\\C:"] = 5; },
       {"volume \\Device\\HarddiskVolume1 answers through 'Volume{1}' otherwise than through "
        "'C:': the image answers as through 'C:'"},
       {},
       1},
      {"a name without a target",
       [](OddHost& h) { h.empty_names.insert("D:"); },
       {"DOS name 'D:' has no target: the name is left out"},
       {},
       0},
  };
  for (const Case& c : cases) {
    auto host = std::make_unique<OddHost>(kPlainHost);
    c.setup(*host);
    plat::set_backend(std::move(host));
    const Capture cap = capture_host(nullptr);
    EXPECT_EQ(cap.notes, c.host_notes) << c.what;
    const auto it = cap.disk_notes.find(0);
    EXPECT_EQ(it == cap.disk_notes.end() ? std::vector<std::string>{} : it->second, c.disk_notes)
        << c.what;
    EXPECT_EQ(cap.errors, c.errors) << c.what;
    ASSERT_EQ(cap.image.disks.size(), 1u) << c.what;
    const hi::DiskLayout& layout = cap.image.disks[0].layout;
    if (cap.image.disks[0].layout_error == 0) {
      EXPECT_EQ(layout.signature, 0x01020304u) << c.what;
      EXPECT_EQ(layout.partitions.size(), 1u) << c.what;
    }
  }
}

TEST(Capture, DrivesRefusedWithOtherCodesDoNotWidenTheSearch) {
  auto host = std::make_unique<OddHost>(kPlainHost);
  host->absent_drive_error = 3;
  plat::set_backend(std::move(host));
  const Capture cap = capture_host(nullptr);
  // 0..63 and the 16 after drive 0, which opened: every other one is recorded as refused.
  ASSERT_EQ(cap.image.disks.size(), 64u);
  EXPECT_EQ(cap.image.disks[1].open_error, 3u);
  EXPECT_EQ(cap.image.disks.back().number, 63u);
  EXPECT_EQ(cap.errors, 63u);
}

}  // namespace
}  // namespace vox::capture::test
