// The one door to the operating system.
//
// Every call the tool makes into Windows (files and devices, control codes, the DOS
// device namespace, environment, error texts) and into the C runtime's child-process
// calls goes through the functions below. They keep the shape of the Windows calls so
// that the logic above them reads like the Windows program it is. Two backends answer
// them: the real Win32 calls (Windows builds only) and a host image, a JSON file that
// answers as a Windows host's kernel would (every OS; see docs/host-images.md).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vox::plat {

// An open file or device. The value is opaque to callers.
using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandle = -1;

// The backend interface. The free functions below forward to the selected backend.
class Backend {
 public:
  virtual ~Backend() = default;

  // CreateFileA: path, desired access, share mode, creation disposition, flags and
  // attributes (no security attributes, no template).
  virtual Handle create_file(const char* path, std::uint32_t access, std::uint32_t share,
                             std::uint32_t disposition, std::uint32_t flags) = 0;
  virtual bool close_handle(Handle h) = 0;
  virtual bool read_file(Handle h, void* buffer, std::uint32_t size, std::uint32_t* got) = 0;
  virtual bool write_file(Handle h, const void* buffer, std::uint32_t size,
                          std::uint32_t* written) = 0;
  // DeviceIoControl without overlap. `returned` may be null.
  virtual bool device_io_control(Handle h, std::uint32_t code, const void* in,
                                 std::uint32_t in_size, void* out, std::uint32_t out_size,
                                 std::uint32_t* returned) = 0;
  // QueryDosDeviceA for one name: the target(s) of the name, each string-terminated,
  // closed by an empty string; result = characters stored, 0 on failure.
  virtual std::uint32_t query_dos_device_a(const char* name, char* buffer, std::uint32_t size) = 0;
  // QueryDosDeviceW(NULL, ...): the whole list of DOS names in UTF-16 units, each
  // string-terminated, closed by an empty name; result = units stored, 0 on failure.
  virtual std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) = 0;

  virtual std::uint32_t get_last_error() = 0;
  virtual void set_last_error(std::uint32_t code) = 0;
  // FormatMessageA(FROM_SYSTEM) of a Windows error code: the system text with its own
  // line end ("\r\n" on Windows, "\n" elsewhere).
  virtual std::string format_message(std::uint32_t code) = 0;

  // The C runtime's child-process calls through the command interpreter.
  virtual std::FILE* popen(const char* command, const char* mode) = 0;
  virtual int pclose(std::FILE* stream) = 0;
  virtual int system(const char* command) = 0;
};

// Chooses the backend from VOXMIRA_HOST (a host image) or the OS (Win32 on Windows,
// an empty host elsewhere). A host image that cannot be loaded prints one line on
// stderr naming the file and the problem; the result is then false and the caller
// ends with status 1.
bool init_from_environment();
// Replaces the backend (tests, the capture tool).
void set_backend(std::unique_ptr<Backend> backend);
Backend& backend();

// Forwarders, named after the Windows calls.
inline Handle CreateFileA(const char* path, std::uint32_t access, std::uint32_t share,
                          std::uint32_t disposition, std::uint32_t flags) {
  return backend().create_file(path, access, share, disposition, flags);
}
inline bool CloseHandle(Handle h) {
  return backend().close_handle(h);
}
inline bool ReadFile(Handle h, void* buffer, std::uint32_t size, std::uint32_t* got) {
  return backend().read_file(h, buffer, size, got);
}
inline bool WriteFile(Handle h, const void* buffer, std::uint32_t size, std::uint32_t* written) {
  return backend().write_file(h, buffer, size, written);
}
inline bool DeviceIoControl(Handle h, std::uint32_t code, const void* in, std::uint32_t in_size,
                            void* out, std::uint32_t out_size, std::uint32_t* returned) {
  return backend().device_io_control(h, code, in, in_size, out, out_size, returned);
}
inline std::uint32_t QueryDosDeviceA(const char* name, char* buffer, std::uint32_t size) {
  return backend().query_dos_device_a(name, buffer, size);
}
inline std::uint32_t QueryDosDeviceListW(char16_t* buffer, std::uint32_t size) {
  return backend().query_dos_device_list_w(buffer, size);
}
inline std::uint32_t GetLastError() {
  return backend().get_last_error();
}
inline void SetLastError(std::uint32_t code) {
  backend().set_last_error(code);
}
inline std::string FormatSystemMessage(std::uint32_t code) {
  return backend().format_message(code);
}
inline std::FILE* popen(const char* command, const char* mode) {
  return backend().popen(command, mode);
}
inline int pclose(std::FILE* stream) {
  return backend().pclose(stream);
}
inline int system(const char* command) {
  return backend().system(command);
}

// GetEnvironmentVariableA: 0 when the variable is absent or empty (last error set);
// the size needed, terminator included, when it does not fit; else its length.
std::uint32_t GetEnvironmentVariableA(const char* name, char* buffer, std::uint32_t size);
// SetErrorMode; no counterpart outside Windows.
void SetErrorMode(unsigned mode);

// RAII owner of a Handle: closes it on every path.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }
  Handle get() const { return h_; }
  bool valid() const { return h_ != kInvalidHandle; }
  Handle release() {
    Handle h = h_;
    h_ = kInvalidHandle;
    return h;
  }
  void reset(Handle h = kInvalidHandle) {
    if (h_ != kInvalidHandle) CloseHandle(h_);
    h_ = h;
  }

 private:
  Handle h_ = kInvalidHandle;
};

}  // namespace vox::plat
