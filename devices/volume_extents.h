// The disks a volume lies on, from IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS.
#pragma once

#include <cstdint>
#include <span>

#include "devices/device_space.h"

namespace vox {

// Reads a VOLUME_DISK_EXTENTS answer (the bytes the call returned): the count at offset
// 0, records of 24 bytes from offset 8 with the disk number in their first 4 bytes,
// all little-endian. The count is lowered to 1024 and to the records wholly present.
void decode_disk_extents(std::span<const std::uint8_t> answer, DiskExtents& extents);

// Opens `device_path` without data access and reads its disk extents. Failures report
// report_win_error("Createfile") or ("DeviceIoControl") unless cli_mode; false.
bool get_volume_extents(DeviceSpace& space, const char* device_path, DiskExtents& extents);

}  // namespace vox
