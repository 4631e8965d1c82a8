// Saving a disk's partition layout to its layout file (-gvinf, -gvinfex) and writing a
// saved layout back (-svinf, -svinfex).
//
// Each takes the disk path, serial and LDEV of the device's identity record, fills
// `disk_tag` (the empty text when it could not be made), and returns 0 on success or 1
// on failure, after the Windows error report unless cli_mode.
#pragma once

#include <cstdint>

#include "devices/device_space.h"
#include "layout/layout_file_format.h"

namespace vox {

// Reads the layout with IOCTL_DISK_GET_DRIVE_LAYOUT(_EX) and writes header and layout to
// the layout file in one piece. Nothing is created before the layout has been read, so
// an earlier failure leaves an existing file untouched.
int save_layout(DeviceSpace& space, const char* dev_path, std::int32_t serial, std::int32_t ldev,
                DiskTag& disk_tag);
int save_layout_ex(DeviceSpace& space, const char* dev_path, std::int32_t serial, std::int32_t ldev,
                   DiskTag& disk_tag);

// Reads the layout file and, only when the serial and LDEV saved in it are the device's,
// hands its layout to IOCTL_DISK_SET_DRIVE_LAYOUT(_EX). A mismatch leaves on stderr,
// unless cli_mode, "PhysicalDrive3 unmatch : ser = 812 -> 813,ldev = 36 -> 36" without a
// line end, so that the caller's error line completes it. A file shorter than its
// 200-byte header is refused with "<file> : layout file of 120 bytes is too short for its
// 200-byte header" (unless cli_mode).
int restore_layout(DeviceSpace& space, const char* dev_path, std::int32_t serial, std::int32_t ldev,
                   DiskTag& disk_tag);
int restore_layout_ex(DeviceSpace& space, const char* dev_path, std::int32_t serial,
                      std::int32_t ldev, DiskTag& disk_tag);

}  // namespace vox
