// The partition entry dump printed under -inqdump by -gplba and -gplbaex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "layout/layout_records.h"

namespace vox {

// The three lines of entry `index`: a head line by the entry's style, then its starting
// offset and length as 16 lower-case hex digits.
std::string format_partition_entry(const PartitionEntry& entry, LayoutForm form, std::size_t index);
// Every readable entry of `layout`, counted or not.
std::string format_partition_dump(std::span<const std::uint8_t> layout, LayoutForm form);

}  // namespace vox
