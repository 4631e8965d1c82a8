// The -sort -CM output: the command devices of each array as lines of the command-device
// section of the replication manager's configuration file.
#pragma once

#include <cstdint>
#include <string>

#include "driver/sorted_units.h"

namespace vox {

// The two lines before the first unit: the section name and a comment header.
std::string cm_image_header();

// The LDEV of `node` with the most command-device paths; ties keep the lowest LDEV.
// Null when the array has no command device among the probed devices.
const GroupEntries* best_command_group(const SerialNode& node);

// One array: "#UnitID <unit> (Serial# <serial>)" and a line of the device paths of the
// command devices in `group`, each left-aligned in 23 characters and one blank.
std::string cm_image_unit(int unit, std::int32_t serial, const GroupEntries& group);

}  // namespace vox
