#include "platform/hostimage/volume_extents.h"

#include <algorithm>
#include <span>

#include "platform/hostimage/le_bytes.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage {

IoResult volume_disk_extents(const Volume& volume, void* out, std::uint32_t out_size) {
  if (volume.extents_error != 0) return io_error(volume.extents_error);
  if (out == nullptr || out_size < win::kDiskExtentsHeaderSize) {
    return io_error(win::ERROR_INSUFFICIENT_BUFFER);
  }
  const std::size_t fit = std::min<std::size_t>(
      volume.disks.size(), (out_size - win::kDiskExtentsHeaderSize) / win::kDiskExtentSize);
  const std::size_t used = win::kDiskExtentsHeaderSize + fit * win::kDiskExtentSize;
  std::span<std::uint8_t> s(static_cast<std::uint8_t*>(out), used);
  std::fill(s.begin(), s.end(), std::uint8_t{0});
  put_le<std::uint32_t>(s, 0, static_cast<std::uint32_t>(volume.disks.size()));
  for (std::size_t i = 0; i < fit; ++i) {
    const std::size_t at = win::kDiskExtentsHeaderSize + i * win::kDiskExtentSize;
    put_le<std::uint32_t>(s, at, volume.disks[i]);
    put_le<std::int64_t>(s, at + 8, kExtentStartingOffset);
    put_le<std::int64_t>(s, at + 16, kExtentLength);
  }
  IoResult r;
  r.returned = static_cast<std::uint32_t>(used);
  return r;
}

}  // namespace vox::plat::hostimage
