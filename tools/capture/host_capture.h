// Recording the host through the platform interface: the calls voxmira makes, with the
// sizes it makes them with, and nothing that changes a device.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tools/capture/capture_model.h"

namespace vox::capture {

// Every drive from 0 to 63 is tried, and the 16 numbers after every drive found, named
// or listed by a volume, so that drives without a DOS name are found too.
inline constexpr std::uint32_t kFirstDrivesTried = 64;
inline constexpr std::uint32_t kDrivesTriedPastOne = 16;
// A progress line goes to `progress` after every so many drives recorded.
inline constexpr unsigned kProgressEvery = 100;

// The DOS names and their targets, the mountvol output, the volumes and the physical
// drives of the current backend. `progress` may be null.
Capture capture_host(std::FILE* progress);

}  // namespace vox::capture
