// IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS of a volume of the image.
#pragma once

#include <cstdint>

#include "platform/hostimage/image_model.h"
#include "platform/hostimage/io_result.h"

namespace vox::plat::hostimage {

// Every extent starts 1 MiB into its disk and is 1 GiB long.
inline constexpr std::int64_t kExtentStartingOffset = 1048576;
inline constexpr std::int64_t kExtentLength = 1073741824;

// VOLUME_DISK_EXTENTS into `out`: NumberOfDiskExtents is always the volume's true count;
// as many DISK_EXTENT records follow as fit. An output smaller than the 8-byte header
// fails with ERROR_INSUFFICIENT_BUFFER; `extents_error` fails the call with that code.
IoResult volume_disk_extents(const Volume& volume, void* out, std::uint32_t out_size);

}  // namespace vox::plat::hostimage
