// Command lines for the command interpreter: the program lines the tool builds for a
// Windows host, made runnable on the host that runs the image.
#pragma once

#include <string>
#include <string_view>

namespace vox::plat::hostimage {

enum class ShellKind { posix, windows };
#ifdef _WIN32
inline constexpr ShellKind kNativeShell = ShellKind::windows;
#else
inline constexpr ShellKind kNativeShell = ShellKind::posix;
#endif

// A program path that begins with one backslash ("\VEXAM\etc\twinlist.exe") is placed
// under `root` (an absolute folder; on POSIX its backslashes become slashes), quoted
// when the folder holds characters the interpreter would split on. On POSIX the
// redirections ">NUL", "1>NUL" and "2>NUL" (any case) write to /dev/null. Everything
// else stays exactly as given.
std::string translate_command(std::string_view command, std::string_view root, ShellKind shell);

}  // namespace vox::plat::hostimage
