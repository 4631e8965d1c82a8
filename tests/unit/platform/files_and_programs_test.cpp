// Ordinary files with their Windows error codes, mountvol answered from the image,
// other command lines translated and run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/backends.h"
#include "platform/hostimage/command_line.h"
#include "platform/hostimage/mountvol_text.h"
#include "platform/hostimage/real_files.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::backend_for;
using test::load_image;

constexpr std::uint32_t kReadWrite = win::GENERIC_READ | win::GENERIC_WRITE;

std::string read_stream(std::FILE* f) {
  std::string text;
  char chunk[256];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  return text;
}

TEST(RealFiles, WriteThenReadBackWithBackslashSeparators) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  auto b = backend_for("{}");
  const std::string path = dir.path().string() + "\\sub\\VOL812_36.ini";
  Handle h = b->create_file(path.c_str(), kReadWrite, 3, win::CREATE_ALWAYS, 0x80);
  ASSERT_NE(h, kInvalidHandle);
  EXPECT_EQ(b->get_last_error(), 0u);
  std::uint32_t n = 0;
  ASSERT_TRUE(b->write_file(h, "layout", 6, &n));
  EXPECT_EQ(n, 6u);
  EXPECT_TRUE(b->close_handle(h));
  EXPECT_EQ(dir.read("sub/VOL812_36.ini"), "layout");

  h = b->create_file(path.c_str(), kReadWrite, 3, win::OPEN_EXISTING, 0x80);
  char buffer[32] = {};
  ASSERT_TRUE(b->read_file(h, buffer, sizeof buffer, &n));
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(std::string(buffer, n), "layout");
  ASSERT_TRUE(b->read_file(h, buffer, sizeof buffer, &n));  // at the end: 0 bytes, no error
  EXPECT_EQ(n, 0u);
  EXPECT_TRUE(b->close_handle(h));

  h = b->create_file(path.c_str(), win::GENERIC_WRITE, 3, win::CREATE_ALWAYS, 0x80);
  EXPECT_EQ(b->get_last_error(), 183u);  // replaced an existing file
  EXPECT_TRUE(b->close_handle(h));
  EXPECT_EQ(dir.read("sub/VOL812_36.ini"), "");
}

TEST(RealFiles, OpenFailuresCarryWindowsCodes) {
  test::TempDir dir;
  dir.write("there.ini", "x");
  auto b = backend_for("{}");
  struct Case {
    std::string path;
    std::uint32_t disposition;
    std::uint32_t error;
  };
  const Case cases[] = {
      {dir.file("missing.ini"), win::OPEN_EXISTING, 2},
      {dir.file("nofolder") + "\\x.ini", win::OPEN_EXISTING, 3},
      {dir.file("nofolder") + "\\x.ini", win::CREATE_ALWAYS, 3},
      {dir.file("there.ini") + "\\x.ini", win::CREATE_ALWAYS, 3},
      {"", win::OPEN_EXISTING, 3},
      {"", win::CREATE_ALWAYS, 3},
      {dir.path().string(), win::OPEN_EXISTING, 5},
      {dir.path().string(), win::CREATE_ALWAYS, 5},
      {dir.file("there.ini"), kCreateNew, 80},
      {dir.file("missing.ini"), kTruncateExisting, 2},
      {dir.file("there.ini"), 0, 87},
      {dir.file("there.ini"), 6, 87},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(b->create_file(c.path.c_str(), kReadWrite, 3, c.disposition, 0x80), kInvalidHandle)
        << c.path;
    EXPECT_EQ(b->get_last_error(), c.error) << c.path << " " << c.disposition;
  }
}

TEST(RealFiles, AccessAndHandleChecks) {
  test::TempDir dir;
  const std::string path = dir.write("a.ini", "abc");
  auto b = backend_for(R"({"disks": [{"number": 0}]})");
  const Handle read_only =
      b->create_file(path.c_str(), win::GENERIC_READ, 3, win::OPEN_EXISTING, 0);
  const Handle write_only =
      b->create_file(path.c_str(), win::GENERIC_WRITE, 3, win::OPEN_EXISTING, 0);
  const Handle disk = b->create_file("\\\\.\\PhysicalDrive0", kReadWrite, 3, win::OPEN_EXISTING, 0);
  char buffer[8];
  std::uint32_t n = 7;
  EXPECT_FALSE(b->write_file(read_only, "x", 1, &n));
  EXPECT_EQ(b->get_last_error(), 5u);
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(b->read_file(write_only, buffer, 8, &n));
  EXPECT_EQ(b->get_last_error(), 5u);
  EXPECT_FALSE(b->read_file(disk, buffer, 8, &n));
  EXPECT_EQ(b->get_last_error(), 1u);
  EXPECT_FALSE(b->read_file(9999, buffer, 8, &n));
  EXPECT_EQ(b->get_last_error(), 6u);
  EXPECT_FALSE(b->write_file(9999, "x", 1, &n));
  EXPECT_EQ(b->get_last_error(), 6u);
  EXPECT_FALSE(b->device_io_control(read_only, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0,
                                    buffer, 8, &n));
  EXPECT_EQ(b->get_last_error(), 1u);
  EXPECT_TRUE(b->close_handle(read_only));
  EXPECT_TRUE(b->close_handle(write_only));
}

TEST(RealFiles, ErrnoToWindowsCodes) {
  test::TempDir dir;
  const std::pair<int, std::uint32_t> cases[] = {
      {EACCES, 5}, {EISDIR, 5}, {ENOTDIR, 3}, {ENOSPC, 112}, {EIO, 31}};
  for (const auto& [err, code] : cases) EXPECT_EQ(windows_error_of_errno(err, "x"), code) << err;
  EXPECT_EQ(windows_error_of_errno(ENOENT, dir.file("x")), 2u);
  EXPECT_EQ(windows_error_of_errno(ENOENT, dir.file("no/x")), 3u);
  EXPECT_EQ(windows_error_of_errno(ENOENT, "x"), 2u);
}

TEST(Mountvol, ListingInTheLayoutWindowsUses) {
  const HostImage image = load_image(R"({"mount_points": [
    {"volume": "Volume{11111111-0000-0000-0000-000000000000}", "paths": ["C:\\", "C:\\mnt\\data\\"]},
    {"volume": "Volume{22222222-0000-0000-0000-000000000000}"}]})");
  const std::string text = mountvol_listing(image);
  EXPECT_TRUE(text.starts_with("Creates, deletes, or lists a volume mount point.\n\n"));
  const std::string tail =
      "Possible values for VolumeName along with current mount points are:\n"
      "\n"
      "    \\\\?\\Volume{11111111-0000-0000-0000-000000000000}\\\n"
      "        C:\\\n"
      "        C:\\mnt\\data\\\n"
      "\n"
      "    \\\\?\\Volume{22222222-0000-0000-0000-000000000000}\\\n"
      "        *** NO MOUNT POINTS ***\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_TRUE(mountvol_listing(load_image("{}")).ends_with("mount points are:\n"));
  EXPECT_EQ(mountvol_listing(load_image(R"({"mountvol_output": "as is\r\n", "mount_points": []})")),
            "as is\r\n");
}

TEST(Mountvol, RecognisesItsCommandLines) {
  for (const char* yes :
       {"mountvol.exe 2>NUL", "mountvol.exe", "MOUNTVOL.EXE", "  mountvol /L", "mountvol\t2>NUL"}) {
    EXPECT_TRUE(is_mountvol_command(yes)) << yes;
  }
  for (const char* no :
       {"", "mountvol.exe2", "\\VEXAM\\mountvol.exe", "echo mountvol.exe", "mountvolx"}) {
    EXPECT_FALSE(is_mountvol_command(no)) << no;
  }
}

TEST(Mountvol, PopenAndSystemAnswerWithoutAProcess) {
  auto b = backend_for(R"({"mountvol_output": "line 1\nline 2\n"})");
  std::FILE* f = b->popen("mountvol.exe 2>NUL", "rt");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(read_stream(f), "line 1\nline 2\n");
  EXPECT_EQ(b->pclose(f), 0);
  EXPECT_EQ(b->popen("mountvol.exe", "w"), nullptr);
  EXPECT_EQ(errno, EINVAL);
  testing::internal::CaptureStdout();
  EXPECT_EQ(b->system("mountvol.exe"), 0);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "line 1\nline 2\n");
  std::FILE* foreign = std::tmpfile();
  EXPECT_EQ(b->pclose(foreign), -1);  // not a stream of this backend
  std::fclose(foreign);
}

TEST(CommandLine, TranslatesProgramPathAndNullRedirections) {
  struct Case {
    const char* command;
    const char* root;
    ShellKind shell;
    const char* expected;
  };
  const Case cases[] = {
      {"\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 -fd -CLI 2>NUL", "/srv/host", ShellKind::posix,
       "/srv/host/VEXAM/etc/twinlist.exe -d 64015 1234 0 -fd -CLI 2>/dev/null"},
      {"\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 -fd -CLI 2>NUL", "C:\\img", ShellKind::windows,
       "C:\\img\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 -fd -CLI 2>NUL"},
      {"\\x.exe a\\b", "/srv/host/", ShellKind::posix, "/srv/host/x.exe a\\b"},
      {"\\x.exe", "/my host", ShellKind::posix, "'/my host/x.exe'"},
      {"\\x.exe", "/it's", ShellKind::posix, "'/it'\\''s/x.exe'"},
      {"\\x.exe -l", "C:\\my host", ShellKind::windows, "\"C:\\my host\\x.exe\" -l"},
      {"echo a  >NUL 1>nul\t2>Nul", "/r", ShellKind::posix,
       "echo a  >/dev/null 1>/dev/null\t2>/dev/null"},
      {"echo 2>NULL x2>NUL 3>NUL", "/r", ShellKind::posix, "echo 2>NULL x2>NUL 3>NUL"},
      {"\\\\server\\share\\x.exe", "/r", ShellKind::posix, "\\\\server\\share\\x.exe"},
      {"  \\x.exe", "/r", ShellKind::posix, "  /r/x.exe"},
      {"", "/r", ShellKind::posix, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(translate_command(c.command, c.root, c.shell), c.expected) << c.command;
  }
}

TEST(CommandLine, RunsProgramsUnderTheRoot) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.path() / "root/VEXAM/etc");
  const std::string script = dir.write("root/VEXAM/etc/twinlist.exe",
                                       "#!/bin/sh\necho \"args: $*\"\necho noise >&2\nexit $2\n");
  ::chmod(script.c_str(), 0755);
  const std::string image = dir.write("host.json", R"({"root": "root"})");
  std::string error;
  auto b = make_host_image_backend(image, error);
  ASSERT_NE(b, nullptr) << error;
  std::FILE* f = b->popen("\\VEXAM\\etc\\twinlist.exe -d 0 1 2>NUL", "rt");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(read_stream(f), "args: -d 0 1\n");
  EXPECT_EQ(b->pclose(f), 0);
  f = b->popen("\\VEXAM\\etc\\twinlist.exe -d 3 2>NUL", "r");
  ASSERT_NE(f, nullptr);
  read_stream(f);
  EXPECT_NE(b->pclose(f), 0);
  testing::internal::CaptureStdout();
  EXPECT_EQ(b->system("\\VEXAM\\etc\\twinlist.exe -d 0 2>NUL"), 0);
  EXPECT_NE(b->system("\\VEXAM\\etc\\twinlist.exe -d 4 2>NUL"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "args: -d 0\nargs: -d 4\n");
  EXPECT_NE(b->system("\\VEXAM\\etc\\missing.exe 2>NUL"), 0);
}

}  // namespace
}  // namespace vox::plat::hostimage
