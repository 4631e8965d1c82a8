#include "inquiry/std_attributes.h"

#include "inquiry/family.h"
#include "inquiry/std_layout.h"
#include "inquiry/unpack_bits.h"

namespace vox {

using namespace std_byte;

void hex_text(char* out, std::span<const std::uint8_t> bytes) {
  constexpr char kDigits[] = "0123456789abcdef";
  for (const std::uint8_t b : bytes) {
    *out++ = kDigits[b >> 4];
    *out++ = kDigits[b & 0x0F];
  }
  *out = '\0';
}

void read_raid_block(DevIdentity& r, ByteView bytes, std::size_t at) {
  r.raid_group[0] = bytes[at];
  r.raid_group[1] = bytes[at + 1];
  r.raid_level = bytes[at + 2];
  r.ssid[0] = bytes[at + 3];
  r.ssid[1] = bytes[at + 4];
  r.raid_reserved = bytes[at + 5];
  r.ctg_id = bytes[at + 6];
}

void copy_text(char* out, ByteView image, std::size_t at, std::size_t width) {
  std::size_t k = 0;
  for (; k < width && image[at + k] != 0; ++k) out[k] = static_cast<char>(image[at + k]);
  out[k] = '\0';
}

namespace {

// The 8 bytes of a WWN; a shorter image leaves the missing ones zero.
void wwn_text(char (&out)[17], ByteView std_data, std::size_t at) {
  std::uint8_t bytes[8];
  for (std::size_t k = 0; k < sizeof bytes; ++k) bytes[k] = std_data[at + k];
  hex_text(out, bytes);
}

}  // namespace

void fill_std_attributes(DevIdentity& r, ByteView std_data) {
  const unsigned n = std_data[kAdditionalLength];
  const bool a_or_p = family_a_or_p(std_data);
  const bool a_q_or_p = family_a_q_or_p(std_data);
  const bool volume = r.is_cmddev == 0;

  // a: pair states of MU#0.
  if (a_or_p && n >= 51 && volume) {
    r.remote_pair_state = std_data[kRemotePair];
    for (std::size_t k = 0; k < 3; ++k) r.local_pair_state[k] = std_data[kLocalPairs + k];
  }
  // b: RAID group or pool, level, SSID, consistency group.
  if (a_or_p && n >= 99) {
    r.raid_valid = 1;
    read_raid_block(r, std_data, kRaidBlock);
  }
  // c: H.A.R.D / PIN track bits and the FENCOR flag.
  if (a_or_p && n >= 119 && volume) {
    r.vol_attr = std_data[kVolAttr];
    r.fencor = std_data[kFencor];
  }
  // d: the host initiator's WWNs as the array sees them.
  if (a_q_or_p && n >= 115) {
    r.host_wwn_valid = 1;
    wwn_text(r.host_port_wwn, std_data, kHostPortWwn);
    wwn_text(r.host_node_wwn, std_data, kHostNodeWwn);
  }
  // e: host group.
  if (a_or_p && n >= 119) {
    r.host_group_valid = 1;
    r.host_group = std_data.be16(kHostGroup);
  }
  // f: SL and CL, for every device.
  r.sl_id = 0xFF;
  r.cl_id = 0xFF;
  if (n >= 139) {
    r.sl_id = std_data[kSlId];
    r.cl_id = std_data[kClId];
  }
  // g: MU#0 states into the MU tables, so that readers can always take the tables.
  if (a_or_p && n >= 51 && volume) {
    r.remote_mu_states[0] = r.remote_pair_state;
    for (std::size_t k = 0; k < 3; ++k) r.local_mu_states[k] = r.local_pair_state[k];
  }
  // h: the full MU tables: 8 remote, 16 local a byte each, 48 local packed 2 bits each.
  if (a_or_p && n >= 179 && volume) {
    r.mu_table_valid = 1;
    for (std::size_t k = 0; k < 8; ++k) r.remote_mu_states[k] = std_data[kRemoteMu + k];
    for (std::size_t k = 0; k < 16; ++k) r.local_mu_states[k] = std_data[kLocalMu + k];
    unpack_bits(std::span<std::uint8_t>(r.local_mu_states).subspan(16),
                std_data.range(kLocalMuPacked, 12), 2);
  }
  // i: bitmap page counters.
  if (a_or_p && n >= 207 && volume) {
    r.bitmap_valid = 1;
    for (std::size_t k = 0; k < 5; ++k) r.bitmap_pages[k] = std_data.be32(kBitmapPages + 4 * k);
  }
  // j: LDEV_NIC_NAME.
  if (a_or_p && n >= 239 && volume) copy_text(r.nic_name, std_data, kNicName, 32);
}

}  // namespace vox
