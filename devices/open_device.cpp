#include <cstdint>
#include <cstdio>
#include <string_view>

#include "devices/device_space.h"
#include "devices/mount_table.h"
#include "devices/name_forms.h"
#include "devices/space_state.h"
#include "platform/platform.h"

namespace vox {

plat::Handle open_device(DeviceSpace& space, const char* path, std::uint32_t access,
                         std::uint32_t share, std::uint32_t disposition, std::uint32_t flags) {
  const std::string_view text(path);
  if (text.starts_with("\\\\.\\") && is_mount_point_path(text.substr(4))) {
    if (const char* volume = mount_point_volume(space.impl().mount_table, text.substr(4))) {
      char translated[4 + kMountVolumeMax + 1];
      std::snprintf(translated, sizeof translated, "%s%s", "\\\\.\\", volume);
      return plat::CreateFileA(translated, access, share, disposition, flags);
    }
  }
  return plat::CreateFileA(path, access, share, disposition, flags);
}

}  // namespace vox
