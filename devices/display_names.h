// Display names of the devices behind a DOS name. The probe finds the disk in a
// display name from its last "\Dsk" (or its first digits), so every form below names
// its disk that way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vox {

// The name itself when it is a drive name ("C:", "C:\mnt\data") or, under FMT_VOLGUID,
// a "Volume{" name; otherwise empty.
std::string_view display_prefix(std::string_view name, unsigned fmt_flags);

// A volume on `disk`: prefix + "\Dms" n, "\Dmt" n or "\Dmr" n for the dynamic-disk
// targets ending in "\Volume" n, "\Stripe" n, "\Raid" n; prefix + "\Vol" v for any other
// (v: the first number of the target); then "\Dsk" + disk.
std::string volume_display_name(std::string_view prefix, const char* target, std::uint32_t disk);

// A disk or partition target "\Device\Harddisk" N "\...": prefix + "\Dsk" N "\p" M for
// partition M other than 0, prefix + "Harddisk" N for partition 0 and "\DR" entries,
// prefix + "Unknown" N otherwise. `disk` receives N. False when the target holds no
// number at all.
bool disk_display_name(std::string_view prefix, const char* target, std::string& name, int& disk);

// Replaces the last "\"-led component of a volume display name by "\Dsk" + disk.
void replace_disk_component(std::string& name, std::uint32_t disk);

}  // namespace vox
