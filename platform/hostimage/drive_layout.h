// The layout control codes of a disk: its partition table as the two Windows records
// (GET), the records read back into a partition table (SET), and the table as the
// host image writes it.
#pragma once

#include <cstdint>
#include <span>

#include "platform/hostimage/image_model.h"

namespace vox::plat::hostimage {

// DRIVE_LAYOUT_INFORMATION: header + one entry per listed partition. A GPT or RAW
// table shows signature 0 and each entry as type 0x07, recognized, not bootable, no
// hidden sectors.
Bytes build_drive_layout(const DiskLayout& layout);
// DRIVE_LAYOUT_INFORMATION_EX: header + one entry per listed partition, each entry
// carrying the table's style.
Bytes build_drive_layout_ex(const DiskLayout& layout);

// The SET forms. `current` is the table being replaced: its GPT usable range stays,
// since Windows takes that from the disk, not from the caller. 0 on success, else
// ERROR_INVALID_PARAMETER (input shorter than its header and PartitionCount entries,
// or an unknown PartitionStyle) with `result` untouched.
std::uint32_t parse_drive_layout(std::span<const std::uint8_t> in, const DiskLayout& current,
                                 DiskLayout& result);
std::uint32_t parse_drive_layout_ex(std::span<const std::uint8_t> in, const DiskLayout& current,
                                    DiskLayout& result);

// The "layout" object of a host image for `layout` (every value explicit).
Json layout_to_json(const DiskLayout& layout);

}  // namespace vox::plat::hostimage
