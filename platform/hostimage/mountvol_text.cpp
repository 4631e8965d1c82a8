#include "platform/hostimage/mountvol_text.h"

#include "platform/hostimage/name_compare.h"

namespace vox::plat::hostimage {
namespace {

constexpr std::string_view kUsage =
    "Creates, deletes, or lists a volume mount point.\n"
    "\n"
    "MOUNTVOL [drive:]path VolumeName\n"
    "MOUNTVOL [drive:]path /D\n"
    "MOUNTVOL [drive:]path /L\n"
    "MOUNTVOL [drive:]path /P\n"
    "MOUNTVOL /R\n"
    "MOUNTVOL /N\n"
    "MOUNTVOL /E\n"
    "MOUNTVOL drive: /S\n"
    "\n"
    "    path        Specifies the existing NTFS directory where the mount\n"
    "                point will reside.\n"
    "    VolumeName  Specifies the volume name that is the target of the mount\n"
    "                point.\n"
    "    /D          Removes the volume mount point from the specified directory.\n"
    "    /L          Lists the mounted volume name for the specified directory.\n"
    "    /P          Removes the volume mount point from the specified directory,\n"
    "                dismounts the volume, and makes the volume not mountable.\n"
    "                You can make the volume mountable again by creating a volume\n"
    "                mount point.\n"
    "    /R          Removes volume mount point directories and registry settings\n"
    "                for volumes that are no longer in the system.\n"
    "    /N          Disables automatic mounting of new volumes.\n"
    "    /E          Re-enables automatic mounting of new volumes.\n"
    "    /S          Mount the EFI System Partition on the given drive.\n"
    "\n"
    "Possible values for VolumeName along with current mount points are:\n";

}  // namespace

bool is_mountvol_command(std::string_view command) {
  std::size_t start = command.find_first_not_of(" \t");
  if (start == std::string_view::npos) return false;
  command.remove_prefix(start);
  const std::string_view program = command.substr(0, command.find_first_of(" \t"));
  return same_name(program, "mountvol.exe") || same_name(program, "mountvol");
}

std::string mountvol_listing(const HostImage& image) {
  if (image.mountvol_output) return *image.mountvol_output;
  std::string text(kUsage);
  for (const MountPoints& mp : image.mount_points) {
    text += "\n    \\\\?\\" + mp.volume + "\\\n";
    if (mp.paths.empty()) text += "        *** NO MOUNT POINTS ***\n";
    for (const std::string& path : mp.paths) text += "        " + path + "\n";
  }
  return text;
}

}  // namespace vox::plat::hostimage
