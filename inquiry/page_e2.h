// The real identity of a virtualised volume, from the maker's vendor page 0xE2.
//
// Page bytes: 1 page code (0xE2), 2 high byte of the page length (0x02), 28..35 the real
// volume's serial text and 36..39 its LDEV text (the forms of standard bytes 36..47),
// 40..46 its RAID group, level, SSID, reserved byte and consistency group. The real
// identity is decoded from the standard image with bytes 36..47 replaced by 28..39.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "inquiry/dev_identity.h"

namespace vox {

// The page passes the header check: byte 1 is 0xE2 and byte 2 is 0x02.
bool page_e2_header_ok(std::span<const std::uint8_t> page);

// The standard image (256 bytes; a shorter one is padded with zeros) with bytes 36..47
// replaced by page bytes 28..39.
std::array<std::uint8_t, 256> substitute_real_id(std::span<const std::uint8_t> std_data,
                                                 std::span<const std::uint8_t> page);

// -fr: the presented serial, LDEV and port from the standard data, and the real serial
// and LDEV beside them (real_id_valid = 1).
// -fe: the real serial and LDEV in place of the presented ones, with the page's RAID
// group, level, SSID, reserved byte and consistency group (raid_valid unchanged).
// Both return null with "NOT supported RAID for PageE2." in `diag` when the header check
// fails, without writing any field. The port name always comes from the standard data.
DevIdentity* decode_e2_real(const char* name, DevIdentity& record,
                            std::span<const std::uint8_t> std_data,
                            std::span<const std::uint8_t> page, int show_host_group, bool cli,
                            std::string& diag);
DevIdentity* decode_e2_exchange(const char* name, DevIdentity& record,
                                std::span<const std::uint8_t> std_data,
                                std::span<const std::uint8_t> page, int show_host_group, bool cli,
                                std::string& diag);

}  // namespace vox
