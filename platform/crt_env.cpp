#include "platform/crt_env.h"

#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vox::plat {

int putenv(char* entry) {
#ifdef _WIN32
  return ::_putenv(entry);
#else
  return ::putenv(entry);
#endif
}

int fileno(std::FILE* stream) {
#ifdef _WIN32
  return ::_fileno(stream);
#else
  return ::fileno(stream);
#endif
}

int dup2(int from, int to) {
#ifdef _WIN32
  return ::_dup2(from, to);
#else
  return ::dup2(from, to);
#endif
}

}  // namespace vox::plat
