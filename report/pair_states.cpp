#include "report/pair_states.h"

#include "report/text_format.h"

namespace vox {

const char* pair_state_word(std::uint8_t state) {
  switch (state) {
    case kPairSimplex:
      return "SMPL";
    case kPairPrimary:
      return "P-VOL";
    case kPairSecondary:
      return "S-VOL";
    default:
      return "NONE";
  }
}

char pair_state_char(std::uint8_t state) {
  switch (state) {
    case kPairSimplex:
      return 's';
    case kPairPrimary:
      return 'P';
    case kPairSecondary:
      return 'S';
    default:
      return '-';
  }
}

bool has_pair_state(const DevIdentity& record) {
  return record.remote_pair_state != 0 || record.local_pair_state[0] != 0 ||
         record.local_pair_state[1] != 0 || record.local_pair_state[2] != 0;
}

MuStateArray mu_state_array(const DevIdentity& record) {
  MuStateArray states{};
  if (record.mu_table_valid != 0) {
    for (int i = 0; i < 64; ++i) states[i] = record.local_mu_states[i];
    for (int i = 0; i < 4; ++i) states[kRemoteMuBase + i] = record.remote_mu_states[i];
  } else {
    for (int i = 0; i < 3; ++i) states[i] = record.local_pair_state[i];
    states[kRemoteMuBase] = record.remote_pair_state;
  }
  return states;
}

MuRange mu_range(bool local_copy) {
  return local_copy ? MuRange{0, kRemoteMuBase - 1} : MuRange{kRemoteMuBase, kMuStates - 1};
}

int mu_number(int index) {
  return index < kRemoteMuBase ? index : index - kRemoteMuBase;
}

std::string mu_label(int index) {
  if (index < kRemoteMuBase) return format_text("%d", index);
  if (index == kRemoteMuBase) return "-";
  return format_text("h%d", index - kRemoteMuBase);
}

std::string mu_list_for(const DevIdentity& record, bool local_copy) {
  const MuStateArray states = mu_state_array(record);
  const MuRange range = mu_range(local_copy);
  std::string text;
  for (int i = range.first; i <= range.last; ++i) {
    if (states[i] != 0) text += format_text("%d ", mu_number(i));
  }
  return text;
}

}  // namespace vox
