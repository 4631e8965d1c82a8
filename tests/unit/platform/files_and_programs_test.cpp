// Host images read (values, one precise line for every kind of broken image), the backend
// chosen from the environment, ordinary files with their Windows error codes, mountvol
// answered from the image, command lines translated, the trace line of every call, and the
// GUID and message texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/hostimage/command_line.h"
#include "platform/hostimage/guid_text.h"
#include "platform/hostimage/mountvol_text.h"
#include "platform/hostimage/real_files.h"
#include "platform/hostimage/system_messages.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using namespace std::string_literals;
using test::kRW;
using test::load_image;
using test::open;

std::string read_stream(std::FILE* f) {
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

TEST(RealFiles, BackslashPathsAndWindowsCodes) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.path / "sub");
  HostImageBackend b(load_image(R"({"disks": [{"number": 0}]})"));
  const std::string folder = dir.path.string(), path = folder + "\\sub\\VOL812_36.ini";
  Handle h = open(b, path, kRW, win::CREATE_ALWAYS);
  std::uint32_t n = 0;
  char buffer[32] = {};
  ASSERT_TRUE(b.get_last_error() == 0 && b.write_file(h, "layout", 6, &n) && n == 6);
  EXPECT_TRUE(b.close_handle(h) && b.read_file(h = open(b, path), buffer, 32, &n) && n == 6);
  EXPECT_TRUE(b.read_file(h, buffer, 32, &n) && n == 0);  // at the end, no error
  EXPECT_EQ(dir.read("sub/VOL812_36.ini"), "layout");
  const std::tuple<std::string, std::uint32_t, std::uint32_t> cases[] = {
      {path, win::CREATE_ALWAYS, 183},  // replaced, and emptied
      {folder + "\\missing.ini", win::OPEN_EXISTING, 2},
      {folder + "\\no\\x.ini", win::OPEN_EXISTING, 3},
      {path + "\\x.ini", win::CREATE_ALWAYS, 3},
      {"", win::OPEN_EXISTING, 3},
      {folder, win::OPEN_EXISTING, 5},
      {path, kCreateNew, 80},
      {path, 6, 87}};
  for (const auto& [file, disposition, error] : cases) {
    open(b, file, kRW, disposition);
    EXPECT_EQ(b.get_last_error(), error) << file << " " << disposition;
  }
  EXPECT_EQ(dir.read("sub/VOL812_36.ini"), "");
  const auto error_of = [&b](bool ok) { return ok ? 0u : b.get_last_error(); };
  EXPECT_EQ(error_of(b.write_file(open(b, path, win::GENERIC_READ), "x", 1, &n)), 5u);
  EXPECT_EQ(error_of(b.read_file(open(b, "\\\\.\\PhysicalDrive0"), buffer, 8, &n)), 1u);
  EXPECT_EQ(error_of(b.write_file(9999, "x", 1, &n)), 6u);
}

TEST(Mountvol, ListingAndAnswersWithoutAProcess) {
  const std::string head = mountvol_listing(load_image("{}"));
  EXPECT_TRUE(head.starts_with("Creates, deletes, or lists a volume mount point.\n\n"));
  EXPECT_TRUE(
      head.ends_with("\nPossible values for VolumeName along with current mount points are:\n"));
  EXPECT_EQ(mountvol_listing(load_image(R"({"mount_points": [
    {"volume": "Volume{11111111-0000-0000-0000-000000000000}", "paths": ["C:\\", "C:\\mnt\\data\\"]},
    {"volume": "Volume{22222222-0000-0000-0000-000000000000}"}]})")),
            head +
                "\n    \\\\?\\Volume{11111111-0000-0000-0000-000000000000}\\\n"
                "        C:\\\n"
                "        C:\\mnt\\data\\\n\n"
                "    \\\\?\\Volume{22222222-0000-0000-0000-000000000000}\\\n"
                "        *** NO MOUNT POINTS ***\n");
  EXPECT_TRUE(is_mountvol_command("  MOUNTVOL.EXE\t2>NUL") && is_mountvol_command("mountvol /L"));
  for (const char* other : {"", "mountvol.exe2", "\\VEXAM\\mountvol.exe", "echo mountvol"})
    EXPECT_FALSE(is_mountvol_command(other)) << other;
  // Answered verbatim, without a process.
  HostImageBackend b(load_image(R"({"mountvol_output": "line 1\r\nline 2\n"})"));
  std::FILE* f = b.popen("mountvol.exe 2>NUL", "rt");
  EXPECT_EQ(read_stream(f), "line 1\r\nline 2\n");
  EXPECT_EQ(b.pclose(f), 0);
  EXPECT_TRUE(b.popen("mountvol.exe", "w") == nullptr && errno == EINVAL);
  testing::internal::CaptureStdout();
  EXPECT_EQ(b.system("mountvol.exe"), 0);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "line 1\r\nline 2\n");
}

TEST(CommandLine, ProgramPathUnderTheRootAndNullRedirections) {
  const std::tuple<const char*, const char*, ShellKind, const char*> cases[] = {
      {"\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 -fd -CLI 2>NUL", "/srv/host", ShellKind::posix,
       "/srv/host/VEXAM/etc/twinlist.exe -d 64015 1234 0 -fd -CLI 2>/dev/null"},
      {"\\x.exe a\\b", "/srv/host/", ShellKind::posix, "/srv/host/x.exe a\\b"},
      {"\\x.exe", "/it's here", ShellKind::posix, "'/it'\\''s here/x.exe'"},
      {"\\x.exe -l", "C:\\my host", ShellKind::windows, "\"C:\\my host\\x.exe\" -l"},
      {"echo a  >NUL 1>nul\t2>Nul", "/r", ShellKind::posix,
       "echo a  >/dev/null 1>/dev/null\t2>/dev/null"},
      {"echo 2>NULL x2>NUL 3>NUL", "/r", ShellKind::posix, "echo 2>NULL x2>NUL 3>NUL"},
      {"\\\\server\\share\\x.exe", "/r", ShellKind::posix, "\\\\server\\share\\x.exe"},
      {"", "/r", ShellKind::posix, ""}};
  for (const auto& [command, root, shell, expected] : cases)
    EXPECT_EQ(translate_command(command, root, shell), expected) << command;
}

TEST(Trace, OneLinePerCallAppendedToTheFile) {
  test::TempDir dir;
  dir.write("trace.txt", "earlier line\n");
  HostImageBackend b(load_image(R"({"disks": [{"number": 1, "device_property": "00"},
    {"number": 2, "inquiry_error": 21}], "dos_devices": [{"name": "C:", "target": "\\Device\\V3"}]})"));
  std::string problem;
  ASSERT_TRUE(b.trace_to(dir.file("trace.txt"), problem)) << problem;
  const Handle d1 = open(b, "\\\\.\\PhysicalDrive1"), d2 = open(b, "\\\\.\\PhysicalDrive2");
  std::uint8_t data[256];
  for (const auto& [h, evpd, page] : {std::tuple{d1, 1, 0xE2}, {d2, 0, 0}}) {
    auto block = test::inquiry_block({0x12, evpd, page, 2, 0xFF, 0}, data, 255, 12);
    b.device_io_control(h, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, 56, &block, sizeof block,
                        nullptr);
  }
  const win::StoragePropertyQuery query{win::StorageDeviceProperty, 0, {0, 0, 0, 0}};
  b.device_io_control(d1, win::IOCTL_STORAGE_QUERY_PROPERTY, &query, 12, data, 256, nullptr);
  b.device_io_control(9999, win::IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, data, 8, nullptr);
  open(b, "\\\\.\\X:", 0);
  char16_t list[16];
  b.query_dos_device_a("C:", reinterpret_cast<char*>(data), 64);
  b.query_dos_device_list_w(list, 16);
  b.pclose(b.popen("mountvol.exe 2>NUL", "rt"));
  b.system("exit 0");
  const Handle f = open(b, dir.path.string() + "\\L.ini", kRW, win::CREATE_ALWAYS);
  std::uint32_t n = 0;
  b.write_file(f, "layout", 6, &n);
  b.read_file(f, data, 32, &n);
  std::string expected =
      "earlier line\n"
      "CreateFile \\\\.\\PhysicalDrive1 access=0xc0000000 -> ok\n"
      "CreateFile \\\\.\\PhysicalDrive2 access=0xc0000000 -> ok\n"
      "DeviceIoControl \\\\.\\PhysicalDrive1 0x0004d014 cdb=1201e202ff00 length=255 timeout=12 -> "
      "ok status=2\n"
      "DeviceIoControl \\\\.\\PhysicalDrive2 0x0004d014 cdb=12000002ff00 length=255 timeout=12 -> "
      "error 21\n"
      "DeviceIoControl \\\\.\\PhysicalDrive1 0x002d1400 -> ok\n"
      "DeviceIoControl ? 0x0007400c -> error 6\n"
      "CreateFile \\\\.\\X: access=0x00000000 -> error 2\n"
      "QueryDosDevice C: -> 12\n"
      "QueryDosDevice * size=16 -> 4\n"
      "popen mountvol.exe 2>NUL\n"
      "system exit 0\n"
      "CreateFile @\\L.ini access=0xc0000000 -> ok\n"
      "WriteFile @\\L.ini 6 -> ok\n"
      "ReadFile @\\L.ini 32 -> ok 0\n";
  for (std::size_t at; (at = expected.find('@')) != std::string::npos;)
    expected.replace(at, 1, dir.path.string());
  EXPECT_EQ(dir.read("trace.txt"), expected);
  // A trace file named in the environment that cannot be opened stops the backend.
  ::setenv("VOXMIRA_TRACE", dir.file("no/trace.txt").c_str(), 1);
  EXPECT_EQ(make_host_image_backend(dir.write("host.json", "{}"), problem), nullptr);
  ::unsetenv("VOXMIRA_TRACE");
  EXPECT_EQ(problem, "voxmira: trace file '" + dir.file("no/trace.txt") +
                         "': cannot be opened (No such file or directory)");
}

std::string problem_of(std::string_view json) {
  std::string problem;
  load_image(json, false, &problem);
  return problem;
}

TEST(ImageLoader, ValuesAndDefaults) {
  const Disk d = load_image(R"({"_note": 1, "pairs": [1, "x"], "disks": [{"number": 1,
    "device_property": "", "inquiry_status": "0x08", "inquiry": " 0a\tFf\r\n12 "}]})")
                     .disks[0];
  EXPECT_EQ(d.inquiry, (Bytes{0x0A, 0xFF, 0x12}));
  EXPECT_EQ(d.inquiry_status, 8);
  EXPECT_TRUE(d.device_property.has_value() && d.device_property->empty());
  EXPECT_EQ(load_image("{}").root, std::filesystem::path("/img"));
  EXPECT_EQ(load_image(R"({"root": "..\\up"})").root, std::filesystem::path("/up"));
  EXPECT_EQ(load_image(R"({"root": "/abs/x"})").root, std::filesystem::path("/abs/x"));
}

TEST(ImageLoader, ReportsWhereAndWhatIsWrong) {
  const std::string d = R"({"disks": [{"number": 1, )",
                    p = d + R"("layout": {"partitions": [{"offset": 0, )";
  const std::string guid = "expected a GUID text like \"01234567-89AB-CDEF-0123-456789ABCDEF\"";
  const std::pair<std::string, std::string> cases[] = {
      {"",
       "line 1, column 1: syntax error while parsing value - unexpected end of input; "
       "expected '[', '{', or a literal"},
      {"{\"disks\": []}\n \0{\"disks\": 5}"s, "line 2, column 2: NUL byte in the text"},
      {R"({"disks": [], "disks": []})", "top level: key 'disks' appears twice"},
      {R"({"a\nb\u0001": 1})", "top level: unknown key 'a\\nb\\x01'"},
      {R"({"disks": [{"number": -1}]})", "disks[0].number: must be from 0 to 2147483647"},
      {R"({"disks": [{"number": 1.5}]})", "disks[0].number: expected an integer"},
      {R"({"disks": [{"number": 1}, {"number": 2}, {"number": 1}]})",
       "disks[2].number: disk 1 is already listed at disks[0]"},
      {d + R"("inquiry": "00 11 2x"}]})", "disks[0].inquiry: bad hex digit at position 8"},
      {d + R"("layout": {"style": "GPT"}}]})",
       "disks[0].layout.style: must be \"mbr\", \"gpt\" or \"raw\""},
      {p + R"("length": 9223372036854775808}]}}]})",
       "disks[0].layout.partitions[0].length: must be from -9223372036854775808 to "
       "9223372036854775807"},
      {d + R"("layout": {"style": "gpt", "partitions": [{"offset": 0, "length": 1, "type": 7}]}}]})",
       "disks[0].layout.partitions[0].type: " + guid},
      {p + R"("length": 1, "attributes": "0x1ffffffffffffffff"}]}}]})",
       "disks[0].layout.partitions[0].attributes: expected an integer or a text \"0x...\""},
      {p + R"("length": 1, "name": ")" + std::string(37, 'n') + "\"}]}}]}",
       "disks[0].layout.partitions[0].name: longer than 36 UTF-16 units"},
      {R"({"dos_devices": [{"name": "C\u0000", "target": "x"}]})",
       "dos_devices[0].name: must not contain a NUL character"},
      {R"({"volumes": [{"target": "\\Device\\V1"}, {"target": "\\device\\v1"}]})",
       "volumes[1].target: '\\device\\v1' is already listed at volumes[0]"}};
  for (const auto& [json, problem] : cases) EXPECT_EQ(problem_of(json), problem) << json;
  // 512 levels of containers load (the document is copied and written back recursively).
  const auto nested = [](std::size_t n) {
    return "{\"_note\": " + std::string(n, '[') + std::string(n, ']') + ", \"disks\": []}";
  };
  load_image(nested(511));
  EXPECT_EQ(problem_of(nested(512)), "_note: nested deeper than 512 levels");
}

// An image named by VOXMIRA_HOST; unset or empty, an empty host: no disks, no DOS names.
TEST(PlatformSelection, FromTheEnvironment) {
  test::TempDir dir;
  const std::string image =
      dir.write("h.json", R"({"dos_devices": [{"name": "C:", "target": "x"}]})");
  for (const char* host : {image.c_str(), "", static_cast<const char*>(nullptr)}) {
    host ? ::setenv("VOXMIRA_HOST", host, 1) : ::unsetenv("VOXMIRA_HOST");
    ASSERT_TRUE(init_from_environment());
    char16_t list[8] = {u'#'};
    EXPECT_EQ(QueryDosDeviceListW(list, 8), host == image.c_str() ? 4u : 1u);
    EXPECT_EQ(CreateFileA("\\\\.\\PhysicalDrive0", 0xC0000000u, 3, 3, 0x80), kInvalidHandle);
    EXPECT_EQ(FormatSystemMessage(GetLastError()), "The system cannot find the file specified.\n");
  }
}

TEST(TextForms, GuidBytesAndSystemMessages) {
  Guid g{};
  ASSERT_TRUE(parse_guid_text("00112233-4455-6677-8899-AABBCCDDEEFF", g));
  EXPECT_EQ(Bytes(g.begin(), g.end()), (Bytes{0x33, 0x22, 0x11, 0, 0x55, 0x44, 0x77, 0x66, 0x88,
                                              0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
  const std::pair<std::uint32_t, const char*> messages[] = {
      {1117, "The request could not be performed because of an I/O device error."},
      {0x1234,
       "The system cannot find message text for message number 0x1234 in the message file for "
       "System."}};
  for (const auto& [code, text] : messages) EXPECT_EQ(system_message(code, "\r\n"), text + "\r\n"s);
}

}  // namespace
}  // namespace vox::plat::hostimage
