// What a DeviceSpace keeps: the tables built once and the state of the word being
// expanded. Private to devices/ (and its tests).
#pragma once

#include <cstddef>
#include <string>

#include "devices/device_space.h"
#include "devices/dos_names.h"
#include "devices/mount_table.h"

namespace vox {

struct DeviceSpace::Impl {
  // Built on first use, kept until the space goes.
  DosNameList dos_names;
  std::size_t list_base_size = 0;  // S, read from QRY_BUF_SZ at the first build; 0 = not yet
  ListAllocator list_allocator = zeroed_alloc;
  MountTable mount_table;

  // The word being expanded.
  // Number range, `first` advancing. Wider than int so that the step past the largest
  // disk number cannot overflow.
  long long first = 1;
  long long last = 0;
  DiskExtents extents;
  std::string current_name;       // the last display name built for a DOS-device word
  std::size_t current_drive = 0;  // list offset of the bare drive whose mount points run
};

}  // namespace vox
