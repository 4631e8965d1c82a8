#include <cstdio>
#include <cstring>
#include <vector>

#include "driver/flags.h"
#include "layout/layout_file_path.h"
#include "layout/layout_files.h"
#include "layout/layout_io.h"
#include "platform/platform.h"
#include "platform/win_defs.h"

namespace vox {

namespace {

// "\\.\PhysicalDrive3" is named "PhysicalDrive3" in the mismatch text.
const char* drive_name(const char* dev_path) {
  const std::size_t length = std::strlen(dev_path);
  return dev_path + (length < 4 ? length : 4);
}

int restore(DeviceSpace& space, LayoutForm form, const char* dev_path, std::int32_t serial,
            std::int32_t ldev, DiskTag& disk_tag) {
  disk_tag = DiskTag{};
  std::vector<std::uint8_t> image(layout_file_image_size(form));
  const std::string name = layout_file_path(serial, ldev);

  plat::UniqueHandle file = open_layout_target(space, name.c_str());
  if (!file.valid()) return 1;
  std::uint32_t got = 0;
  if (!plat::ReadFile(file.get(), image.data(), static_cast<std::uint32_t>(image.size()), &got)) {
    report_layout_failure("ReadFile");
    return 1;
  }
  if (got > image.size()) got = static_cast<std::uint32_t>(image.size());
  // Made from whatever was read, the rest of the image being zero.
  disk_tag = make_disk_tag(image, form);

  if (got < kLayoutFileHeaderSize) {
    if (!cli_mode) {
      std::fprintf(stderr, "%s : layout file of %u byte%s is too short for its %u-byte header\n",
                   name.c_str(), static_cast<unsigned>(got), got == 1 ? "" : "s",
                   static_cast<unsigned>(kLayoutFileHeaderSize));
    }
    return 1;
  }
  const std::int32_t saved_serial = file_serial(image);
  const std::int32_t saved_ldev = file_ldev(image);
  if (saved_serial != serial || saved_ldev != ldev) {
    // No line end: the caller's error line follows on the same line.
    if (!cli_mode) {
      std::fprintf(stderr, "%s unmatch : ser = %d -> %d,ldev = %d -> %d", drive_name(dev_path),
                   serial, saved_serial, ldev, saved_ldev);
    }
    return 1;
  }

  plat::UniqueHandle disk = open_layout_target(space, dev_path);
  if (!disk.valid()) return 1;
  // The layout bytes go to the disk as they were saved: the volume test above is the
  // only check made on them.
  std::uint32_t returned = 0;
  const bool ex = form == LayoutForm::Ex;
  if (!plat::DeviceIoControl(
          disk.get(), ex ? win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX : win::IOCTL_DISK_SET_DRIVE_LAYOUT,
          image.data() + kLayoutFileHeaderSize,
          got - static_cast<std::uint32_t>(kLayoutFileHeaderSize), nullptr, 0, &returned)) {
    report_layout_failure(ex ? "IOCTL_SET_DRIVE_LAYOUT_EX" : "IOCTL_SET_DRIVE_LAYOUT");
    return 1;
  }
  return 0;  // the disk, then the file, are closed on return
}

}  // namespace

int restore_layout(DeviceSpace& space, const char* dev_path, std::int32_t serial, std::int32_t ldev,
                   DiskTag& disk_tag) {
  return restore(space, LayoutForm::Basic, dev_path, serial, ldev, disk_tag);
}

int restore_layout_ex(DeviceSpace& space, const char* dev_path, std::int32_t serial,
                      std::int32_t ldev, DiskTag& disk_tag) {
  return restore(space, LayoutForm::Ex, dev_path, serial, ldev, disk_tag);
}

}  // namespace vox
