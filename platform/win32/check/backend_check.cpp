// The Win32 backend driven against a running Windows (or Wine): every call once with
// a good and a bad argument, checking what comes back through the interface. It is its
// own small program (the unit tests run on Linux only); scripts/test.sh builds it with
// MinGW and runs it under Wine. Exit status 0 when every check holds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backends.h"
#include "platform/win_defs.h"

namespace {

using vox::plat::Backend;
using vox::plat::kInvalidHandle;
namespace win = vox::win;

int failures = 0;

void check(bool ok, const char* what, const std::string& detail = {}) {
  std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", what, detail.empty() ? "" : ": ",
              detail.c_str());
  if (!ok) ++failures;
}

std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c > 0x7e) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string temp_folder() {
  const char* t = std::getenv("TEMP");
  return t && *t ? t : ".";
}

void files(Backend& b) {
  const std::string dir = temp_folder();
  const std::string path = dir + "\\voxmira_backend_check.bin";

  b.set_last_error(0);
  auto h = b.create_file((dir + "\\no_such_file.vox").c_str(), win::GENERIC_READ,
                         win::FILE_SHARE_READ, win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL);
  check(h == kInvalidHandle, "open of a missing file fails with the invalid handle");
  check(b.get_last_error() == win::ERROR_FILE_NOT_FOUND, "missing file gives error 2",
        std::to_string(b.get_last_error()));

  h = b.create_file((dir + "\\no_such_folder\\x.vox").c_str(), win::GENERIC_READ,
                    win::FILE_SHARE_READ, win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL);
  check(h == kInvalidHandle && b.get_last_error() == win::ERROR_PATH_NOT_FOUND,
        "missing folder gives error 3", std::to_string(b.get_last_error()));

  const char data[] = {'v', 'o', 'x', '\0', '\r', '\n', '\x7f', '\xff'};
  h = b.create_file(path.c_str(), win::GENERIC_READ | win::GENERIC_WRITE, 0, win::CREATE_ALWAYS,
                    win::FILE_ATTRIBUTE_NORMAL);
  check(h != kInvalidHandle, "create a file", path);
  if (h == kInvalidHandle) return;
  std::uint32_t written = 0;
  const bool wrote = b.write_file(h, data, sizeof data, &written);
  check(wrote && written == sizeof data, "write 8 bytes", std::to_string(written));
  check(b.close_handle(h), "close after writing");

  h = b.create_file(path.c_str(), win::GENERIC_READ, win::FILE_SHARE_READ, win::OPEN_EXISTING,
                    win::FILE_ATTRIBUTE_NORMAL);
  check(h != kInvalidHandle, "open it again");
  if (h == kInvalidHandle) return;
  char back[32] = {};
  std::uint32_t got = 0;
  const bool read = b.read_file(h, back, sizeof back, &got);
  check(read && got == sizeof data && std::memcmp(back, data, sizeof data) == 0,
        "read the same 8 bytes back, unchanged", quoted(std::string_view(back, got)));
  got = 99;
  check(b.read_file(h, back, sizeof back, &got) && got == 0, "read at the end gives 0 bytes");
  check(b.read_file(h, back, sizeof back, nullptr), "read without a count place");

  // A control code on a plain file is refused; the count place may be absent.
  win::StoragePropertyQuery query{win::StorageDeviceProperty, win::PropertyStandardQuery, {}};
  unsigned char out[512] = {};
  check(!b.device_io_control(h, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &query, sizeof query, out,
                             sizeof out, nullptr),
        "pass-through on a plain file is refused");
  check(b.close_handle(h), "close after reading");
  std::remove(path.c_str());

  b.set_last_error(0);
  check(!b.device_io_control(kInvalidHandle - 1, win::IOCTL_STORAGE_QUERY_PROPERTY, &query,
                             sizeof query, out, sizeof out, nullptr),
        "control code on a bad handle is refused");
}

void errors(Backend& b) {
  b.set_last_error(1234);
  check(b.get_last_error() == 1234, "last error set and read back");
  b.set_last_error(0);

  const std::string known = b.format_message(win::ERROR_ACCESS_DENIED);
  check(known.size() > 2 && known.ends_with("\r\n"), "system text of error 5 ends with CR LF",
        quoted(known));
  const std::string unknown = b.format_message(0x2badc0de);
  check(unknown ==
            "The system cannot find message text for message number 0x2badc0de in the message "
            "file for System.\r\n",
        "text of a code without a message", quoted(unknown));
}

void dos_names(Backend& b) {
  char target[1024];
  std::memset(target, 'x', sizeof target);
  const std::uint32_t n = b.query_dos_device_a("C:", target, sizeof target);
  check(n > 2 && n <= sizeof target && target[n - 1] == '\0' && target[n - 2] == '\0',
        "C: has a target list closed by an empty string", quoted(std::string_view(target, n)));

  b.set_last_error(0);
  const std::uint32_t none = b.query_dos_device_a("NO_SUCH_DOS_NAME_VOX", target, sizeof target);
  const std::uint32_t none_error = b.get_last_error();
  check(none == 0 && none_error != 0, "an unknown DOS name has no target",
        std::to_string(none_error));

  std::vector<char16_t> list(65536);
  const std::uint32_t units = b.query_dos_device_list_w(list.data(), list.size());
  bool has_c = false;
  for (std::size_t i = 0; i + 2 < units; ++i) {
    if ((i == 0 || list[i - 1] == 0) && list[i] == u'C' && list[i + 1] == u':' &&
        list[i + 2] == 0) {
      has_c = true;
    }
  }
  check(units > 0 && has_c, "the whole DOS name list holds C:", std::to_string(units));

  char16_t tiny[2];
  b.set_last_error(0);
  const std::uint32_t short_units = b.query_dos_device_list_w(tiny, 2);
  const std::uint32_t short_error = b.get_last_error();
  check(short_units == 0 && short_error == win::ERROR_INSUFFICIENT_BUFFER,
        "the whole list into 2 units fails with error 122", std::to_string(short_error));
}

void child_processes(Backend& b) {
  std::FILE* f = b.popen("echo voxmira-child", "r");
  check(f != nullptr, "start a command through the interpreter");
  if (f) {
    char line[128] = {};
    const bool got = std::fgets(line, sizeof line, f) != nullptr;
    check(got && std::string_view(line) == "voxmira-child\n", "read its line in text mode",
          quoted(line));
    check(b.pclose(f) == 0, "its status through pclose");
  }
  check(b.system("exit 3") == 3, "system returns the command's status");
}

}  // namespace

int main() {
  auto backend = vox::plat::make_win32_backend();
  files(*backend);
  errors(*backend);
  dos_names(*backend);
  child_processes(*backend);
  std::printf("%d failed\n", failures);
  return failures == 0 ? 0 : 1;
}
