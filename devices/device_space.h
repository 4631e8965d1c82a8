// The tool's view of the Windows object namespace and the expansion of device words.
//
// A DeviceSpace holds what is built once per process and kept: the DOS name list (read
// with QueryDosDevice on the first walk that needs it) and the mount-point table (read
// from mountvol.exe once), plus the state of the word being expanded (the number range
// and the disk extents of the current volume). The input loop owns one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace vox {

inline constexpr std::size_t kDevicePathSize = 512;   // "\\.\" + name, at most 511 chars
inline constexpr std::size_t kDisplayNameSize = 256;  // the input loop's display-name buffer

struct DiskExtents {
  std::uint32_t count = 0;
  std::uint32_t disks[1024] = {};
};

struct WordCursor {
  enum State { DosStart, NumberStart, NumberNext, DosNext };
  State state = NumberStart;
  // Place in the DOS-name walk: an index kept and advanced by next_dos_device.
  std::size_t position = 0;
  int extent_index = 0;
};

class DeviceSpace {
 public:
  DeviceSpace();
  ~DeviceSpace();
  DeviceSpace(const DeviceSpace&) = delete;
  DeviceSpace& operator=(const DeviceSpace&) = delete;

  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// The next display name of `word` (the text after the prefix character for a DOS-device
// word). Returns -1 when the word has no further device, else the disk number, or -2
// for an echo word. `device_path` has kDevicePathSize bytes; `display_name` has
// `display_size` bytes and is always string-terminated.
int expand_device_word(DeviceSpace& space, WordCursor& cursor, const char* word, char* device_path,
                       char* display_name, std::size_t display_size, unsigned fmt_flags);

// CreateFileA with the mount-point translation: "\\.\" + a mount-point path known to
// mountvol opens "\\.\" + its volume name instead. Drive names are never translated.
plat::Handle open_device(DeviceSpace& space, const char* path, std::uint32_t access,
                         std::uint32_t share, std::uint32_t disposition, std::uint32_t flags);

}  // namespace vox
