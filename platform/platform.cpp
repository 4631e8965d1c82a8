// Backend selection and the few calls that need no backend of their own.
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/backends.h"
#include "platform/platform.h"

namespace vox::plat {
namespace {

constexpr std::uint32_t kErrorEnvVarNotFound = 203;

std::unique_ptr<Backend>& current() {
  static std::unique_ptr<Backend> selected;
  return selected;
}

std::unique_ptr<Backend> native_backend() {
#ifdef _WIN32
  return make_win32_backend();
#else
  return make_empty_host_backend();
#endif
}

}  // namespace

bool init_from_environment() {
  const char* host = std::getenv("VOXMIRA_HOST");
  if (host != nullptr && *host != '\0') {
    std::string error;
    std::unique_ptr<Backend> image = make_host_image_backend(host, error);
    if (!image) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::fflush(stderr);
      return false;
    }
    current() = std::move(image);
    return true;
  }
  current() = native_backend();
  return true;
}

void set_backend(std::unique_ptr<Backend> backend) {
  current() = std::move(backend);
}

Backend& backend() {
  // A program that asks before choosing gets the host it runs on.
  if (!current()) current() = native_backend();
  return *current();
}

std::uint32_t GetEnvironmentVariableA(const char* name, char* buffer, std::uint32_t size) {
#ifdef _WIN32
  const DWORD n = ::GetEnvironmentVariableA(name, buffer, size);
  // The host-image backend keeps its own last error: hand it the thread's.
  if (n == 0) backend().set_last_error(::GetLastError());
  return n;
#else
  const char* value = name != nullptr ? std::getenv(name) : nullptr;
  if (value == nullptr) {
    backend().set_last_error(kErrorEnvVarNotFound);
    return 0;
  }
  const std::size_t length = std::strlen(value);
  if (length >= 0xFFFFFFFFu) {  // beyond what the 32-bit result can carry
    backend().set_last_error(kErrorEnvVarNotFound);
    return 0;
  }
  if (buffer == nullptr || size < length + 1) return static_cast<std::uint32_t>(length + 1);
  std::memcpy(buffer, value, length + 1);
  if (length == 0) backend().set_last_error(0);
  return static_cast<std::uint32_t>(length);
#endif
}

void SetErrorMode(unsigned mode) {
#ifdef _WIN32
  ::SetErrorMode(mode);
#else
  (void)mode;
#endif
}

}  // namespace vox::plat
