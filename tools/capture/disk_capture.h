// What one drive answers, asked as voxmira asks it: the standard INQUIRY, pages 0x83 and
// 0xE2, both storage property queries and the partition table. Only reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hostimage/image_model.h"
#include "platform/platform.h"

namespace vox::capture {

namespace hi = plat::hostimage;

// The thread's last error; a failure that leaves none counts as a general failure (31).
std::uint32_t last_error();

// Fills `disk` from the open drive `h`. Where the host answers beyond what a host image
// holds, a line goes to `notes`. The result is the number of refusals the image records
// as such (inquiry_error, a page's error, layout_error).
unsigned capture_disk(plat::Handle h, hi::Disk& disk, std::vector<std::string>& notes);

}  // namespace vox::capture
