// What "mountvol.exe" prints on the host of the image.
#pragma once

#include <string>
#include <string_view>

#include "platform/hostimage/image_model.h"

namespace vox::plat::hostimage {

// True for a command line whose program is mountvol ("mountvol.exe" or "mountvol",
// any case), which the image answers without starting a process.
bool is_mountvol_command(std::string_view command);

// `mountvol_output` when the image has it; else the usage text, then "Possible values
// for VolumeName along with current mount points are:", then for every volume a blank
// line, "    \\?\<volume>\" and its paths indented by eight blanks, or
// "        *** NO MOUNT POINTS ***".
std::string mountvol_listing(const HostImage& image);

}  // namespace vox::plat::hostimage
