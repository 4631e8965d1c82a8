// Pair states and mirror units (MU#) as the reports show them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "inquiry/dev_identity.h"

namespace vox {

// "SMPL", "P-VOL", "S-VOL", or "NONE" for every other state byte (0 included).
const char* pair_state_word(std::uint8_t state);
// 's', 'P', 'S', or '-' for every other state byte.
char pair_state_char(std::uint8_t state);

// True when the remote MU#0 state or one of the local MU#0..2 states is nonzero.
bool has_pair_state(const DevIdentity& record);

// The states of every MU: entries 0..63 are the local MU#0..63, entries 64..67 the
// remote MU#0..3. Without full MU tables only the local MU#0..2 and the remote MU#0 are
// known; the others stay 0.
inline constexpr int kMuStates = 68;
inline constexpr int kRemoteMuBase = 64;
using MuStateArray = std::array<std::uint8_t, kMuStates>;
MuStateArray mu_state_array(const DevIdentity& record);

// The entries a lookup walks: the local MUs for a local-copy instance, else the remote ones.
struct MuRange {
  int first;
  int last;  // inclusive
};
MuRange mu_range(bool local_copy);
// The MU number of an entry: the index for a local MU, the index minus 64 for a remote one.
int mu_number(int index);
// The label of an entry in the pair table: "-" for remote MU#0, "h1".."h3" for the
// other remote MUs, the number for a local MU.
std::string mu_label(int index);
// The MU numbers of the range whose state is nonzero, each followed by a blank ("0 1 ").
std::string mu_list_for(const DevIdentity& record, bool local_copy);

}  // namespace vox
