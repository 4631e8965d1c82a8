// The volume attributes that the arrays put into the vendor-specific part of the
// standard inquiry data.
#pragma once

#include "inquiry/byte_view.h"
#include "inquiry/dev_identity.h"

namespace vox {

// Fills the attribute fields of `record` from the standard image, steps a to j in order;
// each step acts only when its family condition holds, the additional length reaches
// its minimum and, for the volume-only steps, `record.is_cmddev` is 0. sl_id and cl_id
// are always set (0xFF unless the data carries them).
void fill_std_attributes(DevIdentity& record, ByteView std_data);

// The RAID block of 7 bytes at `at` (96 in the standard data, 40 in page 0xE2): RAID
// group or pool (2 bytes), RAID level, SSID (2 bytes), a reserved byte, consistency group.
void read_raid_block(DevIdentity& record, ByteView bytes, std::size_t at);

// Bytes as lower-case hexadecimal digits ("%02x" each) into a zero-terminated field of
// 2 * bytes.size() + 1 characters.
void hex_text(char* out, std::span<const std::uint8_t> bytes);

// Copies up to `width` characters from `at`, stopping early at a zero byte, and
// terminates `out` (which holds width + 1 characters).
void copy_text(char* out, ByteView image, std::size_t at, std::size_t width);

}  // namespace vox
