// The C runtime's system() as the tool's callers expect it.
#pragma once

#include <cerrno>
#include <cstdlib>

namespace vox::plat {

// Runs `command` through the command interpreter. Callers clear errno before the call
// and read it afterwards to learn whether the interpreter could be started at all. The
// Windows runtime leaves ENOENT behind even when the command ran (it searches the PATH
// for the interpreter), so errno keeps its value from before the call unless system()
// itself failed (returned -1).
inline int crt_system(const char* command) {
  const int saved = errno;
  const int status = std::system(command);
  if (status != -1) errno = saved;
  return status;
}

}  // namespace vox::plat
