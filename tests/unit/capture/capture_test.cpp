// Recording a host: what a capture finds, that it only reads, the notes it keeps where a
// host answers beyond what a host image can hold, and its command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "platform/hostimage/host_image_backend.h"
#include "platform/hostimage/image_loader.h"
#include "platform/win_defs.h"
#include "tools/capture/capture_cli.h"
#include "tools/capture/host_capture.h"

namespace vox::capture {
namespace {

constexpr std::uint32_t kEx = win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX;
constexpr std::uint32_t kLegacy = win::IOCTL_DISK_GET_DRIVE_LAYOUT;

hi::HostImage load(std::string_view json) {
  hi::HostImage image;
  std::string problem;
  EXPECT_TRUE(hi::load_host_image_text(json, "/img", image, problem)) << problem;
  return image;
}

// A host image that also answers as `odd` says ("key=error ..."): "ex", "legacy" and
// "property" queries fail, "name_d" fails for "D:" (0: no target), "open_c" fails to open
// "\\.\C:", "absent" refuses absent drives with another error than 2, "no_popen" finds no
// mountvol, "twice" lists "C:" twice. Any call that could change a device fails the test.
class OddHost : public plat::Backend {
 public:
  OddHost(std::string_view json, const std::string& odd) : in_(load(json)) {
    std::istringstream words(odd);
    for (std::string w; words >> w;)
      odd_[w.substr(0, w.find('='))] = std::stoul(w.substr(w.find('=') + 1));
  }
  plat::Handle create_file(const char* p, std::uint32_t a, std::uint32_t s, std::uint32_t d,
                           std::uint32_t f) override {
    EXPECT_EQ(d, win::OPEN_EXISTING) << p;
    if (odd("open_c") && p == std::string_view("\\\\.\\C:"))
      return fail(odd("open_c")), plat::kInvalidHandle;
    const plat::Handle h = in_.create_file(p, a, s, d, f);
    if (h == plat::kInvalidHandle && odd("absent") && in_.get_last_error() == 2)
      fail(odd("absent"));
    return h;
  }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void* in, std::uint32_t n,
                         void* out, std::uint32_t size, std::uint32_t* got) override {
    const auto* b = static_cast<const std::uint8_t*>(in);  // INQUIRY only, no layout SET
    EXPECT_TRUE(code != win::IOCTL_SCSI_PASS_THROUGH_DIRECT || (n >= 37 && b[36] == 0x12));
    EXPECT_TRUE(code != win::IOCTL_DISK_SET_DRIVE_LAYOUT &&
                code != win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX);
    const std::uint32_t e = odd(code == kEx                                 ? "ex"
                                : code == kLegacy                           ? "legacy"
                                : code == win::IOCTL_STORAGE_QUERY_PROPERTY ? "property"
                                                                            : "");
    return e ? fail(e) : in_.device_io_control(h, code, in, n, out, size, got);
  }
  std::uint32_t query_dos_device_a(const char* name, char* b, std::uint32_t n) override {
    const std::uint32_t e = name == std::string_view("D:") ? odd("name_d", ~0u) : ~0u;
    if (e == ~0u) return in_.query_dos_device_a(name, b, n);
    if (e) return fail(e);
    b[0] = b[1] = '\0';
    return 2;
  }
  std::uint32_t query_dos_device_list_w(char16_t* b, std::uint32_t n) override {
    const std::uint32_t units = in_.query_dos_device_list_w(b, n);
    if (!odd("twice") || units == 0) return units;
    std::copy_n(u"C:\0", 4, b + units - 1);  // "C:" once more before the closing NUL
    return units + 3;
  }
  std::FILE* popen(const char* c, const char* m) override {
    EXPECT_STREQ(c, "mountvol.exe 2>NUL");
    return odd("no_popen") ? nullptr : in_.popen(c, m);
  }
  bool close_handle(plat::Handle h) override { return in_.close_handle(h); }
  bool read_file(plat::Handle, void*, std::uint32_t, std::uint32_t*) override { return false; }
  bool write_file(plat::Handle, const void*, std::uint32_t, std::uint32_t*) override {
    return ADD_FAILURE() << "a capture wrote", false;
  }
  std::uint32_t get_last_error() override { return in_.get_last_error(); }
  void set_last_error(std::uint32_t c) override { in_.set_last_error(c); }
  std::string format_message(std::uint32_t c) override { return in_.format_message(c); }
  int pclose(std::FILE* f) override { return in_.pclose(f); }
  int system(const char* c) override { return ADD_FAILURE() << c, -1; }

 private:
  bool fail(std::uint32_t error) { return in_.set_last_error(error), false; }
  std::uint32_t odd(const char* key, std::uint32_t none = 0) {
    return odd_.count(key) ? odd_[key] : none;
  }
  std::map<std::string, std::uint32_t> odd_;
  hi::HostImageBackend in_;
};

constexpr std::string_view kPlainHost = R"({
  "disks": [{"number": 0, "inquiry": "00 00 05 02",
             "layout": {"signature": "0x01020304", "partitions": [{"offset": 512, "length": 512}]}}],
  "dos_devices": [{"name": "Volume{1}", "target": "\\Device\\HarddiskVolume1"},
                  {"name": "C:", "target": "\\Device\\HarddiskVolume1"},
                  {"name": "D:", "target": "\\Device\\CdRom0"}],
  "volumes": [{"target": "\\Device\\HarddiskVolume1", "disks": [0]}], "mountvol_output": "x"})";

TEST(Capture, NotesWhatTheImageCannotHold) {
  const struct {
    const char* odd;
    unsigned errors;
    std::string note;  // on the host, or "disk: " on disk 0
    unsigned disks = 1;
  } cases[] = {
      {"", 0, ""},
      {"ex=1", 0,
       "disk: the extended layout query fails with 1; the image answers it from the legacy layout"},
      {"legacy=1", 0,
       "disk: the legacy layout query fails with 1; the image answers it from the layout"},
      {"ex=21 legacy=21", 1, ""},
      {"ex=21 legacy=87", 1,
       "disk: the extended layout query fails with 21, the legacy one fails with 87"},
      {"property=1", 0,
       "disk: the device property query fails with 1; the image answers it with 50"},
      {"name_d=5", 1, "QueryDosDevice of 'D:' fails with 5: the name is left out"},
      {"name_d=0", 0, "DOS name 'D:' has no target: the name is left out"},
      {"open_c=5", 1,
       "volume \\Device\\HarddiskVolume1 answers through 'Volume{1}' otherwise than through 'C:': "
       "the image answers as through 'C:'"},
      {"absent=3", 63, "", 64},  // drives refused otherwise do not widen the search
      {"no_popen=1", 1, "mountvol.exe could not be started: the image answers it with no output"},
      {"twice=1", 0, "DOS name 'C:' is listed more than once; the image lists it once"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.note);
    plat::set_backend(std::make_unique<OddHost>(kPlainHost, c.odd));
    const Capture cap = capture_host(nullptr);
    std::string notes;
    for (const std::string& n : cap.notes) notes += n;
    for (const auto& [disk, list] : cap.disk_notes) notes += "disk: " + list.front();
    EXPECT_EQ(notes, c.note);
    EXPECT_EQ(cap.errors, c.errors);
    ASSERT_EQ(cap.image.disks.size(), c.disks);
    const hi::Disk& d = cap.image.disks[0];
    EXPECT_EQ(d.layout_error == 0 ? d.layout.signature : 0x01020304u, 0x01020304u);
  }
}

std::string contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  return text;
}

TEST(CaptureCli, StatusAndStreams) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "capture-cli";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "host.json").string(), bad = (dir / "no" / "host.json").string();
  const std::string usage = "\n" + std::string(kCaptureUsage),
                    summary = "captured 1 drives, 0 volumes, 0 names, 0 errors\n";
  const struct {
    std::vector<const char*> args;
    int status;
    std::string text;  // what both streams received
  } cases[] = {
      {{"--bogus"}, 2, "voxmira-capture: unknown argument: --bogus" + usage},
      {{"-o"}, 2, "voxmira-capture: -o needs a file name" + usage},
      {{"-o", ""}, 2, "voxmira-capture: -o needs a file name" + usage},
      {{"-o", "a", "-o", "b"}, 2, "voxmira-capture: -o given twice" + usage},
      {{"--anonymize", "--help", "--bogus"}, 0, kCaptureUsage},  // answered before anything else
      {{"--version"}, 0, "voxmira-capture 0.1.0\n"},
      {{"-o", file.c_str()}, 0, summary},
      {{"-o", bad.c_str()},
       1,
       summary + "voxmira-capture: cannot write " + bad + ".tmp: No such file or directory\n"},
      {{}, 1, summary + "voxmira-capture: cannot write standard output: No space left on device\n"},
  };
  for (auto c : cases) {
    plat::set_backend(std::make_unique<hi::HostImageBackend>(
        load(R"({"disks": [{"number": 0}], "mountvol_output": ""})")));
    c.args.insert(c.args.begin(), "voxmira-capture");
    // The capture to standard output meets a full disk.
    std::FILE *out = c.args.size() == 1 ? std::fopen("/dev/full", "w") : std::tmpfile(),
              *err = std::tmpfile();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(capture_main(static_cast<int>(c.args.size()), c.args.data(), out, err, {false, 1}),
              c.status);
    const std::string text = contents(out);
    EXPECT_EQ(text + contents(err), c.text);
  }
  load(contents(std::fopen(file.c_str(), "r")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no .tmp left
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vox::capture
