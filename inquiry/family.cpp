#include "inquiry/family.h"

#include "inquiry/std_layout.h"

namespace vox {

using namespace std_byte;

bool family_gate(ByteView std_data) {
  return std_data[kAdditionalLength] >= 43 && !std_data.matches(kProduct, "St");
}

bool in_group_a(ByteView std_data) {
  const std::uint8_t second = std_data[kSerialText + 1];
  return std_data.matches(kSerialText, "0300") || std_data.matches(kSerialText, "040") ||
         std_data.matches(kSerialText, "045") ||
         (std_data[kSerialText] == '5' && (second == '0' || second == '1'));
}

bool in_group_q(ByteView std_data) {
  return std_data.matches(kSerialText, "QM");
}

bool in_group_p(ByteView std_data) {
  const std::uint8_t second = std_data[kSerialText + 1];
  return std_data.matches(kSerialText, "P25") || std_data.matches(kSerialText, "P26") ||
         (std_data[kAdditionalLength] >= 139 && std_data.matches(kPlMarker, "PL00")) ||
         (std_data[kSerialText] == '7' &&
          (second == '1' || second == '3' || second == '5' || second == '7'));
}

bool family_a_or_p(ByteView std_data) {
  return family_gate(std_data) && (in_group_a(std_data) || in_group_p(std_data));
}

bool family_a_q_or_p(ByteView std_data) {
  return family_gate(std_data) &&
         (in_group_a(std_data) || in_group_q(std_data) || in_group_p(std_data));
}

}  // namespace vox
