// The C runtime's environment and descriptor calls, whose names differ between the
// POSIX and the Windows C libraries.
#pragma once

#include <cstdio>

namespace vox::plat {

// putenv: `entry` ("NAME=value") becomes part of the environment and must stay alive.
int putenv(char* entry);
// fileno and dup2.
int fileno(std::FILE* stream);
int dup2(int from, int to);

}  // namespace vox::plat
