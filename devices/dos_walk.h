// The walk over DOS names and mount points behind a DOS-device word, and the lookups
// that translate a mount-point path to its volume.
#pragma once

#include <cstddef>
#include <cstdint>

#include "devices/device_space.h"

namespace vox {

// WordCursor::position values: 0 is the start of the walk; a DOS-name list offset
// (1 and up) is a name of the list; kMountPosition plus (slot x 32 + letter index) is a
// mount point of the table.
inline constexpr std::size_t kMountPosition = ~(~std::size_t{0} >> 1);
inline std::size_t mount_position(char letter, std::size_t slot) {
  return kMountPosition | slot << 5 | static_cast<std::size_t>(letter - 'A');
}

// The next name for `pattern` after the cursor position. On success writes "\\.\" +
// the name into `device_path` (`size` bytes), moves the cursor there and returns true;
// false at the end of the walk. State DosStart starts a new walk; the cursor leaves in
// state DosNext.
//
// A pattern "X:\..." walks only the mount points of X whose path begins with it. Any
// other pattern walks the DOS name list: "LETALL..." (six characters compared) takes
// every bare drive name, other text every name that begins with it; each bare drive
// taken is followed by all the mount points of its letter. Names that would not fit in
// `size` bytes with "\\.\" are passed over.
bool next_dos_device(DeviceSpace& space, WordCursor& cursor, const char* pattern, char* device_path,
                     std::size_t size);

// QueryDosDevice of one name; a mount-point path known to mountvol queries its volume.
std::uint32_t query_dos_target(DeviceSpace& space, const char* name, char* buffer,
                               std::uint32_t size);

}  // namespace vox
