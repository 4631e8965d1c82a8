#include "devices/mount_table.h"

#include <cstddef>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/name_forms.h"

namespace vox {
namespace {

const std::vector<MountPoint> kNoEntries;

}  // namespace

const std::vector<MountPoint>& MountTable::list(char letter) const {
  if (!is_drive_letter(letter)) return kNoEntries;
  return lists_[static_cast<std::size_t>(letter - 'A')];
}

void MountTable::add(MountPoint entry) {
  if (entry.path.empty() || !is_drive_letter(entry.path[0])) return;
  auto& entries = lists_[static_cast<std::size_t>(entry.path[0] - 'A')];
  try {
    entries.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    // Out of memory for one entry: the entry is dropped and the reading goes on.
  }
}

void MountvolParser::feed(std::string_view token, MountTable& table) {
  // The pipe is read in text mode; where that does not turn CR LF into LF the CR would
  // stay glued to the token.
  if (!token.empty() && token.back() == '\r') token.remove_suffix(1);

  if (token.starts_with("\\\\?\\")) {
    in_volume_ = true;
    std::string_view name = token.substr(4);
    const std::size_t cut = name.rfind('\\');
    if (cut != std::string_view::npos) name = name.substr(0, cut);
    volume_.assign(name);
    return;
  }
  if (!in_volume_) return;
  if (is_drive_root(token)) return;
  if (!is_mount_point_path(token)) {
    in_volume_ = false;
    return;
  }
  MountPoint entry;
  if (token.back() == '\\') {
    entry.path.assign(token.substr(0, token.size() - 1));
  } else {
    entry.path.assign(token);
    entry.path += "...";
  }
  if (entry.path.size() > kMountPathMax || volume_.size() > kMountVolumeMax) return;
  entry.volume = volume_;
  table.add(std::move(entry));
}

std::size_t next_mount_point(MountTable& table, char letter, std::size_t after) {
  load_mount_points(table);
  const std::size_t slot = after == kNoMountPoint ? 0 : after + 1;
  return slot < table.list(letter).size() ? slot : kNoMountPoint;
}

const char* mount_point_volume(MountTable& table, std::string_view path) {
  load_mount_points(table);
  if (path.empty()) return nullptr;
  for (const MountPoint& entry : table.list(path[0])) {
    if (entry.path == path) return entry.volume.c_str();
  }
  return nullptr;
}

}  // namespace vox
