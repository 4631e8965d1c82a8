// The disk and file steps shared by the layout commands. Every failure is reported with
// its Windows error text under the call's title, unless cli_mode.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "devices/device_space.h"
#include "layout/layout_records.h"
#include "platform/platform.h"

namespace vox {

// The Windows error report under `title`, unless cli_mode.
void report_layout_failure(const char* title);

// A disk or layout file opened as it exists, for reading and writing, shared both ways;
// an invalid handle after the "Createfile" report.
plat::UniqueHandle open_layout_target(DeviceSpace& space, const char* path);

// IOCTL_DISK_GET_DRIVE_LAYOUT(_EX) into `buffer`: the byte count returned, never more
// than the buffer holds, or nothing after the "IOCTL_GET_DRIVE_LAYOUT(_EX)" report.
std::optional<std::uint32_t> get_drive_layout(plat::Handle disk, LayoutForm form,
                                              std::span<std::uint8_t> buffer);

}  // namespace vox
