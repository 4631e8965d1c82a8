// Serial, LDEV and port taken from the standard inquiry data itself (the devices that
// carry them there, and the real identity of the vendor page laid over that data).
#pragma once

#include <cstdint>

#include "inquiry/byte_view.h"
#include "inquiry/dev_identity.h"

namespace vox {

// The serial number of the serial text at bytes 36..43:
//   the "PL00" marker (additional length >= 139) or "7" + 1/3/5/7: decimal, all 8 bytes;
//   "5" + 0/1: hexadecimal 39..43, plus (36..38 decimal - 500) x 100000 unless byte 38
//   is a blank;
//   anything else: hexadecimal 40..43.
std::int32_t std_serial(ByteView std_data);
// The LDEV number: bytes 44..47 in hexadecimal.
std::int32_t std_ldev(ByteView std_data);

// Fills serial, ldev and port_name ("[CW] ..." from bytes 49 and 50, or "[CW] Unknown"
// when the additional length is below 51). `cli` selects the untagged forms.
void decode_std_identity(DevIdentity& record, ByteView std_data, int show_host_group, bool cli);

}  // namespace vox
