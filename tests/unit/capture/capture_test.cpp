// Recording a host: what a capture finds, that it only reads, the notes it keeps where a
// host answers beyond what a host image can hold, and its command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

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

// What a host can answer beyond its image: layout or property queries failing, "D:"
// failing (0: without a target), "\\.\C:" failing to open, absent drives refused with
// another error than 2, no mountvol, "C:" listed twice.
struct Odd {
  std::uint32_t ex = 0, legacy = 0, property = 0, open_c = 0, absent = 0;
  std::optional<std::uint32_t> name_d = {};
  bool no_popen = false, twice = false;
};

// A host image with Odd answers. Any call that could change a device fails the test: a
// capture only reads.
class OddHost : public plat::Backend {
 public:
  OddHost(std::string_view json, Odd odd) : odd_(odd), in_(load(json)) {}
  plat::Handle create_file(const char* p, std::uint32_t a, std::uint32_t s, std::uint32_t d,
                           std::uint32_t f) override {
    EXPECT_EQ(d, win::OPEN_EXISTING) << p;
    if (odd_.open_c && p == std::string_view("\\\\.\\C:"))
      return fail(odd_.open_c), plat::kInvalidHandle;
    const plat::Handle h = in_.create_file(p, a, s, d, f);
    if (h == plat::kInvalidHandle && odd_.absent && in_.get_last_error() == 2) fail(odd_.absent);
    return h;
  }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void* in, std::uint32_t n,
                         void* out, std::uint32_t size, std::uint32_t* got) override {
    const auto* b = static_cast<const std::uint8_t*>(in);  // INQUIRY only, no layout SET
    EXPECT_TRUE(code != win::IOCTL_SCSI_PASS_THROUGH_DIRECT || (n >= 37 && b[36] == 0x12));
    EXPECT_TRUE(code != win::IOCTL_DISK_SET_DRIVE_LAYOUT &&
                code != win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX);
    const std::uint32_t e = code == kEx                                 ? odd_.ex
                            : code == kLegacy                           ? odd_.legacy
                            : code == win::IOCTL_STORAGE_QUERY_PROPERTY ? odd_.property
                                                                        : 0;
    return e ? fail(e) : in_.device_io_control(h, code, in, n, out, size, got);
  }
  std::uint32_t query_dos_device_a(const char* name, char* b, std::uint32_t n) override {
    if (!odd_.name_d || name != std::string_view("D:")) return in_.query_dos_device_a(name, b, n);
    if (*odd_.name_d) return fail(*odd_.name_d);
    b[0] = b[1] = '\0';
    return 2;
  }
  std::uint32_t query_dos_device_list_w(char16_t* b, std::uint32_t n) override {
    const std::uint32_t units = in_.query_dos_device_list_w(b, n);
    if (!odd_.twice || units == 0) return units;
    std::copy_n(u"C:\0", 4, b + units - 1);  // "C:" once more before the closing NUL
    return units + 3;
  }
  std::FILE* popen(const char* c, const char* m) override {
    EXPECT_STREQ(c, "mountvol.exe 2>NUL");
    return odd_.no_popen ? nullptr : in_.popen(c, m);
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
  Odd odd_;
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
    Odd odd;
    std::string note;  // on the host, or "disk: " on disk 0
    unsigned errors, disks = 1;
  } cases[] = {
      {{}, "", 0},
      {{.ex = 1},
       "disk: the extended layout query fails with 1; the image answers it from the legacy layout",
       0},
      {{.legacy = 1},
       "disk: the legacy layout query fails with 1; the image answers it from the layout",
       0},
      {{.ex = 21, .legacy = 21}, "", 1},
      {{.ex = 21, .legacy = 87},
       "disk: the extended layout query fails with 21, the legacy one fails with 87",
       1},
      {{.property = 1},
       "disk: the device property query fails with 1; the image answers it with 50",
       0},
      {{.name_d = 5}, "QueryDosDevice of 'D:' fails with 5: the name is left out", 1},
      {{.name_d = 0}, "DOS name 'D:' has no target: the name is left out", 0},
      {{.open_c = 5},
       "volume \\Device\\HarddiskVolume1 answers through 'Volume{1}' otherwise than through 'C:': "
       "the image answers as through 'C:'",
       1},
      {{.absent = 3}, "", 63, 64},  // drives refused otherwise do not widen the search
      {{.no_popen = true},
       "mountvol.exe could not be started: the image answers it with no output",
       1},
      {{.twice = true}, "DOS name 'C:' is listed more than once; the image lists it once", 0},
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
  // A failed name list keeps the names that resolve alone: drive letters and the volumes
  // mountvol names.
  plat::set_backend(std::make_unique<OddHost>(R"({"dos_list_error": 5, "dos_devices": [
    {"name": "C:", "target": "\\Device\\HarddiskVolume1"},
    {"name": "Volume{1}", "target": "\\Device\\HarddiskVolume1"}, {"name": "Other", "target": "x"}],
    "volumes": [{"target": "\\Device\\HarddiskVolume1", "disks": []}],
    "mount_points": [{"volume": "Volume{1}", "paths": ["C:\\"]}]})",
                                              Odd{}));
  const Capture cap = capture_host(nullptr);
  EXPECT_EQ(cap.image.dos_list_error, 5u);
  ASSERT_EQ(cap.image.dos_devices.size(), 2u);
  EXPECT_EQ(cap.image.dos_devices[1].name, "Volume{1}");
}

struct Outcome {
  int status;
  std::string out, err;
};

std::string contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  return text;
}

Outcome run(std::vector<const char*> args, std::string_view host = R"({"mountvol_output": ""})",
            std::FILE* out = std::tmpfile()) {
  plat::set_backend(std::make_unique<hi::HostImageBackend>(load(host)));
  args.insert(args.begin(), "voxmira-capture");
  std::FILE* err = std::tmpfile();
  const int status = capture_main(static_cast<int>(args.size()), args.data(), out, err, {false, 1});
  return {status, contents(out), contents(err)};
}

TEST(CaptureCli, UsageAndOutput) {
  const std::pair<std::vector<const char*>, const char*> errors[] = {
      {{"--bogus"}, "unknown argument: --bogus"},
      {{"extra"}, "unknown argument: extra"},
      {{"-o"}, "-o needs a file name"},
      {{"-o", ""}, "-o needs a file name"},
      {{"-o", "a", "-o", "b"}, "-o given twice"}};
  for (const auto& [args, problem] : errors) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 2) << problem;
    EXPECT_EQ(r.out + r.err, "voxmira-capture: " + std::string(problem) + "\n" + kCaptureUsage);
  }
  for (const char* arg : {"-h", "--help"}) {
    const Outcome r = run({"--anonymize", arg, "--bogus"});  // answered before anything else
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, kCaptureUsage);
  }
  EXPECT_EQ(run({"--version"}).out, "voxmira-capture 0.1.0\n");
  const Outcome r =
      run({}, R"({"disks": [{"number": 0, "inquiry": "00 00 05 02"}], "mountvol_output": ""})");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "captured 1 drives, 0 volumes, 0 names, 0 errors\n");
  EXPECT_EQ(r.out, R"({
  "_note": "Recorded by voxmira-capture 0.1.0; replay with VOXMIRA_HOST=<this file> voxmira ...",
  "disks": [
    {
      "number": 0,
      "inquiry": "00 00 05 02",
      "layout": { "style": "mbr", "signature": 0, "partitions": [] }
    }
  ],
  "dos_devices": [],
  "volumes": [],
  "mountvol_output": ""
}
)");
}

TEST(CaptureCli, WriteFailures) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "capture-cli";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "host.json").string(),
                    missing = (dir / "no" / "host.json").string();
  EXPECT_EQ(run({"-o", file.c_str()}).status, 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no .tmp left
  const Outcome bad = run({"-o", missing.c_str()});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err,
            "captured 0 drives, 0 volumes, 0 names, 0 errors\nvoxmira-capture: cannot write " +
                missing + ".tmp: No such file or directory\n");
  std::filesystem::remove_all(dir);
  if (std::FILE* full = std::fopen("/dev/full", "w")) {
    const Outcome r = run({}, R"({"mountvol_output": ""})", full);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("voxmira-capture: cannot write standard output: No space left"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace vox::capture
