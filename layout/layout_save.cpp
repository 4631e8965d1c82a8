#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "layout/layout_file_path.h"
#include "layout/layout_files.h"
#include "layout/layout_io.h"
#include "platform/platform.h"
#include "platform/win_defs.h"

namespace vox {

namespace {

// ERROR_DISK_FULL: "There is not enough space on the disk."
constexpr std::uint32_t kErrorDiskFull = 112;

int save(DeviceSpace& space, LayoutForm form, const char* dev_path, std::int32_t serial,
         std::int32_t ldev, DiskTag& disk_tag) {
  disk_tag = DiskTag{};
  std::vector<std::uint8_t> image(layout_file_image_size(form));
  const std::string name = layout_file_path(serial, ldev);

  plat::UniqueHandle disk = open_layout_target(space, dev_path);
  if (!disk.valid()) return 1;
  const std::optional<std::uint32_t> n =
      get_drive_layout(disk.get(), form, std::span(image).subspan(kLayoutFileHeaderSize));
  if (!n) return 1;

  const LayoutFileHeader header = make_layout_file_header(dev_path, serial, ldev);
  std::copy(header.begin(), header.end(), image.begin());
  disk_tag = make_disk_tag(image, form);

  plat::UniqueHandle file(plat::CreateFileA(name.c_str(), win::GENERIC_READ | win::GENERIC_WRITE,
                                            win::FILE_SHARE_READ | win::FILE_SHARE_WRITE,
                                            win::CREATE_ALWAYS, win::FILE_ATTRIBUTE_NORMAL));
  if (!file.valid()) {
    report_layout_failure("Createfile");
    return 1;
  }
  const std::uint32_t size = static_cast<std::uint32_t>(kLayoutFileHeaderSize) + *n;
  std::uint32_t written = 0;
  const bool ok = plat::WriteFile(file.get(), image.data(), size, &written);
  if (ok && written == size) return 0;  // the file, then the disk, are closed on return
  // A short count without an error is a full disk; a file cut short is no saved layout.
  if (ok) plat::SetLastError(kErrorDiskFull);
  report_layout_failure("WriteFile");
  return 1;
}

}  // namespace

int save_layout(DeviceSpace& space, const char* dev_path, std::int32_t serial, std::int32_t ldev,
                DiskTag& disk_tag) {
  return save(space, LayoutForm::Basic, dev_path, serial, ldev, disk_tag);
}

int save_layout_ex(DeviceSpace& space, const char* dev_path, std::int32_t serial, std::int32_t ldev,
                   DiskTag& disk_tag) {
  return save(space, LayoutForm::Ex, dev_path, serial, ldev, disk_tag);
}

}  // namespace vox
