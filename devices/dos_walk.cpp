#include "devices/dos_walk.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "devices/dos_query.h"
#include "devices/mount_table.h"
#include "devices/name_forms.h"
#include "devices/space_state.h"

namespace vox {
namespace {

// Writes "\\.\" + name when it fits in `size` bytes and moves the cursor to `position`.
bool take(std::string_view name, std::size_t position, WordCursor& cursor, char* device_path,
          std::size_t size) {
  if (name.size() + 4 >= size) return false;
  std::memcpy(device_path, "\\\\.\\", 4);
  std::memcpy(device_path + 4, name.data(), name.size());
  device_path[4 + name.size()] = '\0';
  cursor.position = position;
  return true;
}

bool is_mount_position(std::size_t position) {
  return (position & kMountPosition) != 0;
}
char position_letter(std::size_t position) {
  return static_cast<char>('A' + (position & 31));
}
std::size_t position_slot(std::size_t position) {
  return (position & ~kMountPosition) >> 5;
}

// A pattern "X:\...": the mount points of X whose path begins with it. The DOS name
// list is not read.
bool next_matching_mount_point(MountTable& mounts, WordCursor& cursor, std::string_view pattern,
                               char* device_path, std::size_t size) {
  const char letter = pattern[0];
  std::size_t slot = kNoMountPoint;
  if (is_mount_position(cursor.position) && position_letter(cursor.position) == letter) {
    slot = position_slot(cursor.position);
  }
  while ((slot = next_mount_point(mounts, letter, slot)) != kNoMountPoint) {
    const MountPoint& entry = mounts.list(letter)[slot];
    if (entry.path.starts_with(pattern) &&
        take(entry.path, mount_position(letter, slot), cursor, device_path, size)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool next_dos_device(DeviceSpace& space, WordCursor& cursor, const char* pattern, char* device_path,
                     std::size_t size) {
  DeviceSpace::Impl& s = space.impl();
  if (cursor.state == WordCursor::DosStart) {
    cursor.position = 0;
    s.current_drive = 0;
  }
  cursor.state = WordCursor::DosNext;
  const std::string_view pat(pattern);

  if (starts_with_drive_root(pat)) {
    return next_matching_mount_point(s.mount_table, cursor, pat, device_path, size);
  }

  if (!s.dos_names.built()) {
    if (s.list_base_size == 0) s.list_base_size = read_list_base_size();
    if (!s.dos_names.build(s.list_base_size, s.list_allocator)) return false;
  }
  const DosNameList& list = s.dos_names;
  std::size_t c = cursor.position;

  // A bare drive is followed by the mount points of its letter, taken without looking
  // at the pattern; when they run out the list walk goes on after the drive.
  char letter = '\0';
  std::size_t slot = kNoMountPoint;
  if (is_mount_position(c)) {
    letter = position_letter(c);
    slot = position_slot(c);
  } else if (const std::string_view name = list.at(c); is_bare_drive(name)) {
    s.current_drive = c;
    letter = name[0];
  }
  if (letter != '\0') {
    while ((slot = next_mount_point(s.mount_table, letter, slot)) != kNoMountPoint) {
      // Entry paths hold at most 255 characters, so only a caller's buffer far below
      // the usual 512 bytes can pass one over here.
      if (take(s.mount_table.list(letter)[slot].path, mount_position(letter, slot), cursor,
               device_path, size)) {
        return true;
      }
    }
    c = s.current_drive;
  }

  const bool all_letters = pat.starts_with("LETALL");
  for (std::size_t p = list.next(c); p < list.size(); p = list.next(p)) {
    const std::string_view name = list.at(p);
    const bool match = all_letters ? is_bare_drive(name) : name.starts_with(pat);
    if (match && take(name, p, cursor, device_path, size)) return true;
  }
  return false;
}

std::uint32_t query_dos_target(DeviceSpace& space, const char* name, char* buffer,
                               std::uint32_t size) {
  if (is_mount_point_path(name)) {
    if (const char* volume = mount_point_volume(space.impl().mount_table, name)) {
      return query_dos_device(volume, buffer, size);
    }
  }
  return query_dos_device(name, buffer, size);
}

}  // namespace vox
