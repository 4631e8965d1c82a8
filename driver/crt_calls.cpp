#include "driver/crt_calls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/crt_env.h"

namespace vox {

int set_env(const char* name, const char* value) {
  const std::size_t size = std::strlen(name) + std::strlen(value) + 4;
  // Owned by the environment from here on: never freed.
  char* entry = static_cast<char*>(std::malloc(size));
  if (!entry) return 1;
  std::snprintf(entry, size, "%s=%s", name, value);
  return plat::putenv(entry) == 0 ? 0 : 1;
}

bool env_present(const char* name) {
  return std::getenv(name) != nullptr;
}

bool redirection_mode_ok(const char* mode) {
  if (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a') return false;
  bool plus = false;
  bool kind = false;  // 'b' or 't' seen
  for (const char* p = mode + 1; *p; ++p) {
    if (*p == '+' && !plus) {
      plus = true;
    } else if ((*p == 'b' || *p == 't') && !kind) {
      kind = true;
    } else {
      return false;
    }
  }
  return true;
}

bool redirect_descriptor(int fd, const char* path, const char* mode) {
  if (!redirection_mode_ok(mode) || path[0] == '\0') return false;
  std::FILE* file = std::fopen(path, mode);
  if (!file) return false;
  if (fd == 1) std::fflush(stdout);
  if (fd == 2) std::fflush(stderr);
  // The stream stays open: its descriptor may be the only one left on the file.
  return plat::dup2(plat::fileno(file), fd) != -1;
}

}  // namespace vox
