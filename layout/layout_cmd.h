// The six layout commands (-gplba, -gplbaex, -gvinf, -gvinfex, -svinf, -svinfex).
#pragma once

#include "devices/device_space.h"
#include "inquiry/dev_identity.h"

namespace vox {

// Runs `layout_cmd` (1 to 6) for one identified device, prints its result or error
// line, and sets exit_error to 1 when the command failed.
void run_layout_cmd(DeviceSpace& space, int layout_cmd, const char* display_name,
                    const DevIdentity& identity, int& exit_error);

}  // namespace vox
