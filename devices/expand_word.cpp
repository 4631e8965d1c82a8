// Expansion of one device word into display names, one per call.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "devices/device_space.h"
#include "devices/display_names.h"
#include "devices/dos_walk.h"
#include "devices/space_state.h"
#include "devices/volume_extents.h"
#include "driver/flags.h"
#include "driver/unit_number.h"

namespace vox {
namespace {

// A display name that does not fit the caller's buffer is refused rather than cut: a
// cut name would make the probe open another disk, or a layout file carry another name.
// The refusal reads "<name, at most 255 characters> -> Device name too long." with the
// message padded to 35 columns like the other device diagnostics.
bool emit(std::string_view name, char* display_name, std::size_t display_size) {
  if (name.size() < display_size) {
    std::memcpy(display_name, name.data(), name.size());
    display_name[name.size()] = '\0';
    return true;
  }
  if (!cli_mode) {
    std::fprintf(stderr, "%.*s -> %-35s\n",
                 static_cast<int>(std::min<std::size_t>(name.size(), 255)), name.data(),
                 "Device name too long.");
  }
  return false;
}

// Display names that are accepted back as words, with or without a leading "X:".
bool is_echo_name(std::string_view p) {
  return p.starts_with("\\Vol") || p.starts_with("\\Dms") || p.starts_with("\\Dmt") ||
         p.starts_with("\\Dsk");
}

// Disk numbers are unsigned to Windows; the result stays clear of -1 and -2.
int disk_result(std::uint32_t disk) {
  return disk > static_cast<std::uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(disk);
}

int expand_number_word(DeviceSpace::Impl& s, WordCursor& cursor, const char* word,
                       char* display_name, std::size_t display_size) {
  if (cursor.state == WordCursor::NumberStart) {
    cursor.state = WordCursor::NumberNext;
    const std::string_view text(word);
    const std::string_view p = text.size() >= 2 && text[1] == ':' ? text.substr(2) : text;
    if (is_echo_name(p)) {
      s.first = 1;
      s.last = 0;
      return emit(text, display_name, display_size) ? -2 : -1;
    }
    const char* rest = nullptr;
    s.first = parse_unit_number(word, &rest);
    s.last = s.first;
    if (rest != nullptr) {
      const int last = parse_unit_number(rest);
      if (last != -1) s.last = last;
    }
    if (s.first > s.last) std::swap(s.first, s.last);
  }
  while (s.first >= 0 && s.first <= s.last) {
    const int disk = static_cast<int>(s.first++);
    if (emit("Harddisk" + std::to_string(disk), display_name, display_size)) return disk;
  }
  return -1;
}

// Resolves the DOS name in `device_path` to its disks and builds its display name into
// s.current_name. False when the name gives no device.
bool resolve_dos_name(DeviceSpace& space, DeviceSpace::Impl& s, WordCursor& cursor,
                      const char* device_path, unsigned fmt_flags) {
  const char* name = device_path + 4;
  char target[kDevicePathSize + 1] = {};  // one more than handed out: always terminated
  if (query_dos_target(space, name, target, kDevicePathSize) == 0) return false;
  const std::string_view text(target);
  if (!text.starts_with("\\Device\\Harddisk")) return false;
  const std::string_view prefix = display_prefix(name, fmt_flags);

  if (text.starts_with("\\Device\\HarddiskVolume") ||
      text.starts_with("\\Device\\HarddiskDmVolumes")) {
    // A volume that lists no disk is passed over like one whose extents cannot be read.
    if (!get_volume_extents(space, device_path, s.extents) || s.extents.count == 0) {
      s.extents.count = 0;
      return false;
    }
    if (s.extents.count > 1) cursor.extent_index = 1;
    s.current_name = volume_display_name(prefix, target, s.extents.disks[0]);
    return true;
  }
  int disk = 0;
  if (!disk_display_name(prefix, target, s.current_name, disk)) return false;
  s.extents.count = 1;
  s.extents.disks[0] = static_cast<std::uint32_t>(disk);
  return true;
}

int expand_dos_word(DeviceSpace& space, WordCursor& cursor, const char* word, char* device_path,
                    char* display_name, std::size_t display_size, unsigned fmt_flags) {
  DeviceSpace::Impl& s = space.impl();
  if (cursor.state == WordCursor::DosStart) cursor.extent_index = 0;
  for (;;) {
    // The other disks of the last volume come first, without moving the walk.
    while (cursor.extent_index != 0) {
      const auto index = static_cast<std::uint32_t>(cursor.extent_index);
      if (cursor.extent_index < 0 || index >= s.extents.count) {
        cursor.extent_index = 0;
        break;
      }
      const std::uint32_t disk = s.extents.disks[index];
      cursor.extent_index = index + 1 >= s.extents.count ? 0 : cursor.extent_index + 1;
      replace_disk_component(s.current_name, disk);
      if (emit(s.current_name, display_name, display_size)) return disk_result(disk);
    }
    s.extents.count = 0;
    if (!next_dos_device(space, cursor, word, device_path, kDevicePathSize)) return -1;
    if (resolve_dos_name(space, s, cursor, device_path, fmt_flags) &&
        emit(s.current_name, display_name, display_size)) {
      return disk_result(s.extents.disks[0]);
    }
  }
}

}  // namespace

int expand_device_word(DeviceSpace& space, WordCursor& cursor, const char* word, char* device_path,
                       char* display_name, std::size_t display_size, unsigned fmt_flags) {
  if (cursor.state == WordCursor::NumberStart || cursor.state == WordCursor::NumberNext) {
    return expand_number_word(space.impl(), cursor, word, display_name, display_size);
  }
  return expand_dos_word(space, cursor, word, device_path, display_name, display_size, fmt_flags);
}

}  // namespace vox
