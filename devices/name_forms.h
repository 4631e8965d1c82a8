// The shapes of DOS names and paths that the walk and the mountvol parser tell apart.
// Drive letters are upper-case only: "c:" is never a drive name.
#pragma once

#include <string_view>

namespace vox {

inline bool is_drive_letter(char c) {
  return c >= 'A' && c <= 'Z';
}

// "C:" alone.
inline bool is_bare_drive(std::string_view s) {
  return s.size() == 2 && is_drive_letter(s[0]) && s[1] == ':';
}

// A drive name: "C:" alone or followed by "\" and anything ("C:\", "C:\mnt\data").
inline bool is_drive_name(std::string_view s) {
  return s.size() >= 2 && is_drive_letter(s[0]) && s[1] == ':' && (s.size() == 2 || s[2] == '\\');
}

// "C:\" and nothing more.
inline bool is_drive_root(std::string_view s) {
  return s.size() == 3 && is_drive_name(s);
}

// "C:\" followed by at least one more character: a directory on a drive.
inline bool is_mount_point_path(std::string_view s) {
  return s.size() > 3 && is_drive_name(s);
}

// The text begins with a drive letter, ":" and "\" (a drive root or a path below it).
inline bool starts_with_drive_root(std::string_view s) {
  return s.size() >= 3 && is_drive_name(s);
}

}  // namespace vox
