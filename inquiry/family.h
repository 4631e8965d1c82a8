// Which of the maker's array families a standard inquiry image comes from.
#pragma once

#include "inquiry/byte_view.h"

namespace vox {

// The data is long enough to carry the array's fields (additional length at least 43)
// and the product identification does not begin with "St".
bool family_gate(ByteView std_data);

// Serial-prefix groups, read from the serial text at byte 36 (meaningful only together
// with the family gate).
bool in_group_a(ByteView std_data);  // "0300", "040", "045", '5' + '0'/'1'
bool in_group_q(ByteView std_data);  // "QM"
bool in_group_p(ByteView std_data);  // "P25", "P26", the "PL00" marker, '7' + '1'/'3'/'5'/'7'

// The family gate holds and the image is in group A or P (or A, Q or P).
bool family_a_or_p(ByteView std_data);
bool family_a_q_or_p(ByteView std_data);

}  // namespace vox
