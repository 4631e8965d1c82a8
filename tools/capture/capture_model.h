// What a capture recorded: a host image in memory, in the loader's own terms, plus the
// notes a reader of the file needs where the format cannot say everything the host
// answered.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/hostimage/image_model.h"

namespace vox::capture {

namespace hi = plat::hostimage;
using Bytes = hi::Bytes;

struct Capture {
  // Disks in ascending number. A disk with open_error 0 and layout_error 0 carries the
  // layout that was read; the others carry none.
  hi::HostImage image;
  std::vector<std::string> notes;                                // about the whole host
  std::map<std::uint32_t, std::vector<std::string>> disk_notes;  // by disk number
  unsigned errors = 0;  // calls that failed and are recorded as such
};

}  // namespace vox::capture
