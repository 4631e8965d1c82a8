#include "inquiry/std_identity.h"

#include "inquiry/port_name.h"
#include "inquiry/std_layout.h"
#include "inquiry/text_numbers.h"

namespace vox {

using namespace std_byte;

std::int32_t std_serial(ByteView std_data) {
  const std::uint8_t first = std_data[kSerialText];
  const std::uint8_t second = std_data[kSerialText + 1];
  const bool pl_marker = std_data[kAdditionalLength] >= 139 && std_data.matches(kPlMarker, "PL00");
  if (pl_marker ||
      (first == '7' && (second == '1' || second == '3' || second == '5' || second == '7'))) {
    return read_decimal(std_data, kSerialText, 8);
  }
  if (first == '5' && (second == '0' || second == '1')) {
    std::int32_t serial = read_hex(std_data, kSerialText + 3, 5);
    // A model number in the first three characters moves the serial into its own range.
    if (std_data[kSerialText + 2] != ' ')
      serial += (read_decimal(std_data, kSerialText, 3) - 500) * 100000;
    return serial;
  }
  return read_hex(std_data, kSerialText + 4, 4);
}

std::int32_t std_ldev(ByteView std_data) {
  return read_hex(std_data, kLdevText, 4);
}

void decode_std_identity(DevIdentity& r, ByteView std_data, int show_host_group, bool cli) {
  r.serial = std_serial(std_data);
  r.ldev = std_ldev(std_data);
  if (std_data[kAdditionalLength] < 51) {
    set_port_unknown(r, cli);
    return;
  }
  const char c1 = static_cast<char>(std_data[kPortCluster]);
  const char c2 = port_letter_upper(static_cast<char>(std_data[kPortLetter]));
  set_port_chars(r, PortFamily::kCW, c1, c2, show_host_group, cli);
}

}  // namespace vox
