// The scratch stream that carries answered program output (mountvol). Kept apart from
// the other file code: <windows.h> defines the Windows constants as macros, which must
// not meet the typed constants of platform/win_defs.h.
#include <cstdio>

#include "platform/hostimage/real_files.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vox::plat::hostimage {

std::FILE* open_scratch_stream() {
#ifdef _WIN32
  // The C runtime's tmpfile() creates its file in the root of the current drive, where
  // a user may not write: the user's temporary folder is used instead.
  char folder[MAX_PATH + 1];
  char name[MAX_PATH + 1];
  const DWORD n = GetTempPathA(sizeof folder, folder);
  if (n == 0 || n > MAX_PATH || GetTempFileNameA(folder, "vox", 0, name) == 0) return nullptr;
  return std::fopen(name, "w+bTD");
#else
  return std::tmpfile();
#endif
}

}  // namespace vox::plat::hostimage
