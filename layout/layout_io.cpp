#include "layout/layout_io.h"

#include <algorithm>

#include "driver/flags.h"
#include "platform/win_defs.h"
#include "transport/win_error.h"

namespace vox {

void report_layout_failure(const char* title) {
  if (!cli_mode) report_win_error(title);
}

plat::UniqueHandle open_layout_target(DeviceSpace& space, const char* path) {
  plat::UniqueHandle h(open_device(space, path, win::GENERIC_READ | win::GENERIC_WRITE,
                                   win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, win::OPEN_EXISTING,
                                   win::FILE_ATTRIBUTE_NORMAL));
  if (!h.valid()) report_layout_failure("Createfile");
  return h;
}

std::optional<std::uint32_t> get_drive_layout(plat::Handle disk, LayoutForm form,
                                              std::span<std::uint8_t> buffer) {
  const bool ex = form == LayoutForm::Ex;
  const auto room = static_cast<std::uint32_t>(buffer.size());
  std::uint32_t returned = 0;
  if (!plat::DeviceIoControl(
          disk, ex ? win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX : win::IOCTL_DISK_GET_DRIVE_LAYOUT,
          nullptr, 0, buffer.data(), room, &returned)) {
    report_layout_failure(ex ? "IOCTL_GET_DRIVE_LAYOUT_EX" : "IOCTL_GET_DRIVE_LAYOUT");
    return std::nullopt;
  }
  return std::min(returned, room);
}

}  // namespace vox
