#include "devices/volume_extents.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "driver/flags.h"
#include "platform/platform.h"
#include "platform/win_defs.h"
#include "transport/win_error.h"

namespace vox {
namespace {

std::uint32_t read_u32le(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace

void decode_disk_extents(std::span<const std::uint8_t> answer, DiskExtents& extents) {
  extents.count = 0;
  if (answer.size() < 4) return;
  std::size_t count = read_u32le(answer, 0);
  count = std::min(count, win::kMaxDiskExtents);
  const std::size_t present =
      answer.size() < win::kDiskExtentsHeaderSize
          ? 0
          : (answer.size() - win::kDiskExtentsHeaderSize) / win::kDiskExtentSize;
  count = std::min(count, present);
  for (std::size_t i = 0; i < count; ++i) {
    extents.disks[i] = read_u32le(answer, win::kDiskExtentsHeaderSize + i * win::kDiskExtentSize);
  }
  extents.count = static_cast<std::uint32_t>(count);
}

bool get_volume_extents(DeviceSpace& space, const char* device_path, DiskExtents& extents) {
  extents.count = 0;
  plat::UniqueHandle volume(open_device(space, device_path, 0,
                                        win::FILE_SHARE_READ | win::FILE_SHARE_WRITE,
                                        win::OPEN_EXISTING, win::FILE_ATTRIBUTE_NORMAL));
  if (!volume.valid()) {
    if (!cli_mode) report_win_error("Createfile");
    return false;
  }
  alignas(8) std::array<std::uint8_t, win::kDiskExtentsBufferSize> answer{};
  std::uint32_t returned = 0;
  if (!plat::DeviceIoControl(volume.get(), win::IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                             answer.data(), static_cast<std::uint32_t>(answer.size()), &returned)) {
    if (!cli_mode) report_win_error("DeviceIoControl");
    return false;
  }
  const std::size_t got = std::min<std::size_t>(returned, answer.size());
  decode_disk_extents(std::span<const std::uint8_t>(answer.data(), got), extents);
  return true;
}

}  // namespace vox
