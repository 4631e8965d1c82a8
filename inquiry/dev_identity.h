// What one probe learned about one host disk device.
//
// One record per probe: the probe resets it (every field zero, but SL and CL 0xFF),
// writes the device path, and fills the rest as far as the inquiry data allows. Consumers that keep
// a device (the sorted collection) copy the whole record.
#pragma once

#include <array>
#include <cstdint>

namespace vox {

// Pair state byte coding shared by every report: 1 simplex, 2 primary volume,
// 3 secondary volume, any other value no pair.
inline constexpr std::uint8_t kPairSimplex = 1;
inline constexpr std::uint8_t kPairPrimary = 2;
inline constexpr std::uint8_t kPairSecondary = 3;

struct DevIdentity {
  std::uint8_t is_cmddev = 0;
  char dev_path[64] = {};    // "\\.\PhysicalDrive%d"
  char vendor_id[9] = {};    // std 8..15 as sent
  char product_id[17] = {};  // std 16..31 as sent
  std::int32_t serial = 0;
  std::int32_t ldev = 0;
  char port_name[27] = {};  // at most 26 characters
  std::uint8_t remote_pair_state = 0;
  std::uint8_t local_pair_state[3] = {};
  std::int32_t raid_valid = 0;
  std::uint8_t raid_group[2] = {};
  std::uint8_t raid_level = 0;
  std::uint8_t ssid[2] = {};
  std::uint8_t raid_reserved = 0;
  std::uint8_t ctg_id = 0;
  std::int32_t tgt_wwn_valid = 0;
  char tgt_wwn[17] = {};
  std::uint16_t lun = 0;
  std::uint8_t al_pa = 0;
  std::int32_t host_wwn_valid = 0;
  char host_port_wwn[17] = {};
  char host_node_wwn[17] = {};
  std::uint8_t vol_attr = 0;  // bit 0 H.A.R.D, bit 1 PIN track
  std::uint8_t fencor = 0;
  std::uint8_t host_group_valid = 0;
  std::uint16_t host_group = 0;
  std::uint8_t mu_table_valid = 0;
  std::uint8_t remote_mu_states[8] = {};
  std::uint8_t local_mu_states[64] = {};
  std::uint8_t sl_id = 0xFF;  // 0xFF (shown "-") unless the inquiry data carries it
  std::uint8_t cl_id = 0xFF;
  std::uint8_t bitmap_valid = 0;
  std::uint32_t bitmap_pages[5] = {};
  char nic_name[33] = {};
  std::uint8_t real_id_valid = 0;
  std::int32_t real_serial = 0;
  std::int32_t real_ldev = 0;
};

}  // namespace vox
