// The real Windows calls behind platform.h. Every method is one Windows or C runtime
// call with the argument conversions it needs and nothing else, so that the thread's
// last-error code after a method is the one the call itself left.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/backends.h"
#include "platform/crt_system.h"
#include "platform/platform.h"

namespace vox::plat {
namespace {

static_assert(sizeof(Handle) == sizeof(HANDLE), "a Handle carries a HANDLE unchanged");
static_assert(sizeof(char16_t) == sizeof(wchar_t), "QueryDosDeviceW writes UTF-16 units");
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

HANDLE to_native(Handle h) {
  return reinterpret_cast<HANDLE>(h);
}
Handle from_native(HANDLE h) {
  return reinterpret_cast<Handle>(h);
}

// What FormatMessage leaves the user with for a code the system has no text for.
std::string missing_message_text(std::uint32_t code) {
  char text[128];
  std::snprintf(text, sizeof text,
                "The system cannot find message text for message number 0x%x in the message "
                "file for System.\r\n",
                static_cast<unsigned>(code));
  return text;
}

class Win32Backend final : public Backend {
 public:
  Handle create_file(const char* path, std::uint32_t access, std::uint32_t share,
                     std::uint32_t disposition, std::uint32_t flags) override {
    HANDLE h = ::CreateFileA(path, access, share, nullptr, disposition, flags, nullptr);
    return h == INVALID_HANDLE_VALUE ? kInvalidHandle : from_native(h);
  }

  bool close_handle(Handle h) override { return ::CloseHandle(to_native(h)) != FALSE; }

  bool read_file(Handle h, void* buffer, std::uint32_t size, std::uint32_t* got) override {
    DWORD count = 0;
    const BOOL ok = ::ReadFile(to_native(h), buffer, size, &count, nullptr);
    if (got) *got = count;
    return ok != FALSE;
  }

  bool write_file(Handle h, const void* buffer, std::uint32_t size,
                  std::uint32_t* written) override {
    DWORD count = 0;
    const BOOL ok = ::WriteFile(to_native(h), buffer, size, &count, nullptr);
    if (written) *written = count;
    return ok != FALSE;
  }

  bool device_io_control(Handle h, std::uint32_t code, const void* in, std::uint32_t in_size,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override {
    // Without an OVERLAPPED record Windows requires a place for the byte count even
    // when the caller does not want it.
    DWORD count = 0;
    const BOOL ok = ::DeviceIoControl(to_native(h), code, const_cast<void*>(in), in_size, out,
                                      out_size, &count, nullptr);
    if (returned) *returned = count;
    return ok != FALSE;
  }

  std::uint32_t query_dos_device_a(const char* name, char* buffer, std::uint32_t size) override {
    return ::QueryDosDeviceA(name, buffer, size);
  }

  std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) override {
    return ::QueryDosDeviceW(nullptr, reinterpret_cast<wchar_t*>(buffer), size);
  }

  std::uint32_t get_last_error() override { return ::GetLastError(); }
  void set_last_error(std::uint32_t code) override { ::SetLastError(code); }

  std::string format_message(std::uint32_t code) override {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0x400, reinterpret_cast<char*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
      if (text) ::LocalFree(text);
      return missing_message_text(code);
    }
    std::string message(text, length);
    ::LocalFree(text);
    return message;
  }

  // The C runtime names these _popen and _pclose (and may map the plain names onto
  // them with macros), so the global ones are named explicitly.
  std::FILE* popen(const char* command, const char* mode) override {
    return ::_popen(command, mode);
  }
  int pclose(std::FILE* stream) override { return ::_pclose(stream); }
  int system(const char* command) override { return crt_system(command); }
};

}  // namespace

std::unique_ptr<Backend> make_win32_backend() {
  return std::make_unique<Win32Backend>();
}

}  // namespace vox::plat
