// Directory mount points as mountvol.exe lists them, one list per drive letter.
//
// mountvol prints each volume as a "\\?\Volume{...}\" line followed by the paths it is
// mounted on, one to a line (drive roots such as "C:\" among them). Only directory mount
// points become entries: drive letters come from the DOS name list.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vox {

// Longest path and volume name that an entry holds; a line with a longer one makes no
// entry, since a cut path would name a different directory.
inline constexpr std::size_t kMountPathMax = 255;
inline constexpr std::size_t kMountVolumeMax = 127;

struct MountPoint {
  // The directory without its trailing "\" ("D:\mnt\data"), or the first token of the
  // line followed by "..." when the token did not end in "\" (a path cut at a blank).
  std::string path;
  // The volume it belongs to ("Volume{...}", without "\\?\" and the trailing "\").
  std::string volume;
};

inline constexpr std::size_t kNoMountPoint = static_cast<std::size_t>(-1);

class MountTable {
 public:
  // Entries of one drive letter ("A" to "Z"), in the order mountvol printed them.
  const std::vector<MountPoint>& list(char letter) const;
  void add(MountPoint entry);
  // True from the start of the first load on, even when mountvol could not be run.
  bool loaded = false;

 private:
  std::array<std::vector<MountPoint>, 26> lists_;
};

// The mountvol line parser: fed the first token of each line in order.
class MountvolParser {
 public:
  void feed(std::string_view token, MountTable& table);

 private:
  bool in_volume_ = false;
  std::string volume_;
};

// Runs "mountvol.exe 2>NUL" once per table and parses its output. A pipe that cannot
// be opened leaves the table empty, silently.
void load_mount_points(MountTable& table);

// The slot of the entry after slot `after` in the list of `letter` (kNoMountPoint: the
// first entry), or kNoMountPoint at the end. Loads the table first.
std::size_t next_mount_point(MountTable& table, char letter, std::size_t after);

// The volume of the first entry whose path equals `path` exactly (case-sensitive), or
// null. Loads the table first.
const char* mount_point_volume(MountTable& table, std::string_view path);

}  // namespace vox
