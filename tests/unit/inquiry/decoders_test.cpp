// Decoders of the standard inquiry data, page 0x83 and the vendor page 0xE2.
#include <gtest/gtest.h>

#include <cstring>

#include "inquiry/command_device.h"
#include "inquiry/family.h"
#include "inquiry/page83.h"
#include "inquiry/page_e2.h"
#include "inquiry/port_table.h"
#include "inquiry/std_attributes.h"
#include "inquiry/std_identity.h"
#include "inquiry/unpack_bits.h"
#include "support/inquiry_builder.h"

namespace vox {
namespace {

using test::Image;
using test::Page83Builder;
using test::StdInquiryBuilder;
using V = std::vector<std::int64_t>;
using u8 = std::uint8_t;

// Standard data of additional length n, on port CL1-A unless n is too short for it.
Image std_image(u8 n, const char* serial, const char* ldev = "", bool pl = false,
                const char* product = "OPEN-V") {
  StdInquiryBuilder b;
  b.additional_length(n).product(product).serial_text(serial).ldev_text(ldev).port('1', 'a');
  return (pl ? b.pl_marker() : b).build();
}

TEST(Family, GateAndSerialPrefixGroups) {
  // Serial text, additional length, product, "PL00" marker, gate, groups.
  const std::tuple<const char*, u8, const char*, bool, bool, std::string> cases[] = {
      {"030", 43, "OPEN-V", 0, 1, ""},        {"04012345", 43, "OPEN-V", 0, 1, "A"},
      {"50 1E240", 43, "OPEN-V", 0, 1, "A"},  {"51012345", 43, "OPEN-V", 0, 1, "A"},
      {"52012345", 43, "OPEN-V", 0, 1, ""},   {"QM123456", 43, "OPEN-V", 0, 1, "Q"},
      {"P2500001", 43, "OPEN-V", 0, 1, "P"},  {"P2700001", 43, "OPEN-V", 0, 1, ""},
      {"71012345", 43, "OPEN-V", 0, 1, "P"},  {"72012345", 43, "OPEN-V", 0, 1, ""},
      {"12345678", 139, "OPEN-V", 1, 1, "P"}, {"12345678", 138, "OPEN-V", 1, 1, ""},
      {"0300ABCD", 42, "OPEN-V", 0, 0, "A"},  {"0300ABCD", 43, "Storage", 0, 0, "A"},
      {"0300ABCD", 43, "ST", 0, 1, "A"}};
  for (const auto& [serial, n, product, pl, gate, groups] : cases) {
    const Image image = std_image(n, serial, "", pl, product);
    const ByteView v(image);
    const std::string got = std::string(in_group_a(v) ? "A" : "") + (in_group_q(v) ? "Q" : "");
    EXPECT_EQ(got + (in_group_p(v) ? "P" : ""), groups) << serial << " " << int(n);
    EXPECT_EQ(family_gate(v), gate) << serial << " " << product;
    EXPECT_EQ(family_a_or_p(v), gate && (groups == "A" || groups == "P")) << serial;
    EXPECT_EQ(family_a_q_or_p(v), gate && !groups.empty()) << serial;
  }
}

TEST(SmallDecoders, CommandDeviceUnpackBitsPortTable) {
  // "-CM" closes the product or a blank-separated word of it, after at least one character.
  for (const char* p : {"DISK-1-CM       ", "OPEN-V-CM", "ABCDEFGHIJKLM-CM", "A-CMB C-CM      ",
                        "CM X-CM", "X-CM", "OPEN-V -CM"})
    EXPECT_TRUE(is_command_device(p)) << p;
  for (const char* p : {"DISK-1-CMX      ", "DISK-1          ", "A-CMB C-CMD     ", "-CM", "CM ",
                        "", "-cm             ", static_cast<const char*>(nullptr)})
    EXPECT_FALSE(is_command_device(p)) << (p ? p : "(null)");
  // Fields from the most significant end, until the destination is full.
  const std::tuple<std::vector<u8>, unsigned, std::vector<u8>> unpacks[] = {
      {{0b11100100, 0x1B}, 2, {3, 2, 1, 0, 0, 1, 2, 3}}, {{0xFF}, 0, {9, 9}}, {{0xFF}, 9, {9, 9}}};
  for (const auto& [src, bits, want] : unpacks) {
    std::vector<u8> dest(want.size(), 9);
    unpack_bits(dest, src, bits);
    EXPECT_EQ(dest, want) << bits;
  }
  std::string ports;  // no letter I: J follows H
  for (std::size_t k : {0, 7, 8, 15, 16, 159, 255})
    ports += std::string(PORT_TABLE[k].data()) + " ";
  EXPECT_EQ(ports, "CL1-A CL1-H CL1-J CL1-R CL2-A CLA-R CLG-R ");
}

TEST(StdIdentity, SerialLdevAndPortName) {
  // Serial and LDEV text, additional length, marker, then serial and LDEV decoded.
  const std::tuple<const char*, const char*, u8, bool, std::int32_t, std::int32_t> ids[] = {
      {"71012345", "0012", 51, false, 71012345, 18},
      {"50 1E240", "00FF", 51, false, 123456, 255},
      {"51012345", "ABCD", 51, false, 1074565, 0xABCD},
      {"51 12345", "0012", 51, false, 0x12345, 18},  // blank at 38: no model offset
      {"50 1E240", "0012", 139, true, 50, 18},       // the marker makes it decimal
      {"0300ABCD", "0012", 138, true, 0xABCD, 18},   // the marker needs n >= 139
      {"5ZZZZZZZ", "zz12", 51, false, 0, 0},         // no digits
      {"73  4567", "  1F", 51, false, 73, 0x1F}};
  for (const auto& [serial, ldev, n, pl, want_serial, want_ldev] : ids) {
    DevIdentity r;
    decode_std_identity(r, ByteView(std_image(n, serial, ldev, pl)), 0, false);
    EXPECT_EQ(V({r.serial, r.ldev}), V({want_serial, want_ldev})) << serial;
  }
  // Additional length, port bytes, show host group, the group found (0: none), CLI.
  const auto port = [](u8 n, char c1, char c2, int show, std::uint16_t group, bool cli) {
    DevIdentity r;
    r.host_group_valid = group != 0, r.host_group = group;
    const Image image = StdInquiryBuilder().additional_length(n).port(c1, c2).build();
    decode_std_identity(r, ByteView(image), show, cli);
    return std::string(r.port_name) + "|";
  };
  EXPECT_EQ(port(50, '1', 'a', 0, 0, false) + port(50, '1', 'a', 1, 3, true) +
                port(51, '1', 'a', 1, 3, false) + port(51, 'b', 'r', 0, 3, true) +
                port(51, '2', '?', 0, 0, false) + port(51, '1', 'a', 1, 65535, false),
            "[CW] Unknown|-|[CW] CL1-A-3|CLb-R|[CW] CL2-?|[CW] CL1-A-65535|");
}

// Every attribute; MU byte 144 + k holds k. (Each length's attributes: end-to-end.)
Image full_volume() {
  StdInquiryBuilder b;
  b.additional_length(239).product("OPEN-V").serial_text("0300ABCD").pair_states(2, 3, 1, 9);
  b.raid({1, 2, 0x10, 0x12, 0x34, 0x55, 0xFF}).vol_attr(3, 1).host_group(0x0102).sl_cl(4, 5);
  b.host_wwns({0x50, 6, 0x0E, 0x80, 0x10, 0x20, 0x30, 0x40, 0x20, 0, 0, 0, 0xC9, 0xAB, 0xCD, 0xEF});
  b.bitmap_page(0, 1).bitmap_page(4, 0xA1B2C3D4).nic_name("NIC-NAME-OF-THIRTY-TWO-CHARS-XYZ");
  for (u8 k = 0; k < 24; ++k) b.byte(144 + k, k);
  return b.byte(168, 0b11100100).byte(179, 0b01010101).build();
}

TEST(StdAttributes, FullVolume) {
  DevIdentity r;
  fill_std_attributes(r, ByteView(full_volume()));
  EXPECT_EQ(V({r.remote_pair_state, r.local_pair_state[0], r.local_pair_state[2], r.raid_valid,
               r.raid_group[0], r.raid_group[1], r.raid_level, r.ssid[0], r.ssid[1],
               r.raid_reserved, r.ctg_id, r.vol_attr, r.fencor, r.host_group, r.sl_id, r.cl_id,
               r.bitmap_pages[0], r.bitmap_pages[4]}),
            V({2, 3, 9, 1, 1, 2, 0x10, 0x12, 0x34, 0x55, 0xFF, 3, 1, 0x0102, 4, 5, 1, 0xA1B2C3D4}));
  EXPECT_STREQ(r.host_port_wwn, "50060e8010203040");
  EXPECT_STREQ(r.host_node_wwn, "20000000c9abcdef");
  EXPECT_EQ(V(r.remote_mu_states, r.remote_mu_states + 8), V({0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(V(r.local_mu_states + 14, r.local_mu_states + 20), V({22, 23, 3, 2, 1, 0}));
  EXPECT_EQ(V(r.local_mu_states + 60, r.local_mu_states + 64), V({1, 1, 1, 1}));
  EXPECT_STREQ(r.nic_name, "NIC-NAME-OF-THIRTY-TWO-CHARS-XYZ");  // 32 characters, terminated
}

// A record as the probe leaves it: named, host group 2, RAID bytes taken.
DevIdentity probed() {
  DevIdentity r;
  std::strcpy(r.vendor_id, "TARVELO ");
  std::strcpy(r.product_id, "OPEN-V          ");
  r.host_group_valid = 1, r.host_group = 2, r.raid_valid = 1;
  return r;
}

DevIdentity* decode83(DevIdentity& r, std::string& diag, const Image& page, int show = 0,
                      bool cli = false) {
  return decode_page83("hd1", r = probed(), page, show, PORT_TABLE, cli, diag);
}

TEST(Page83, FamilyRows) {
  // Identifier at byte 8, field text from byte `at`, port bytes 32 and 33, show group, CLI.
  const std::tuple<const char*, std::size_t, const char*, u8, u8, int, bool, std::int32_t,
                   std::int32_t, const char*>
      cases[] = {{"N14", 13, "00012345 01234", '1', 'a', 0, false, 12345, 1234, "[RB] CL1-A"},
                 {"N880", 13, "1x", 'G', 'r', 0, true, 1, 0, "CLG-R"},
                 {"TARVELO N14", 19, "9ABCD0012", 4, 1, 0, false, 0xABCD, 0x12, "[MV] CL2-B"},
                 {"TARVELO N16", 19, "9ABCD0012", 4, 1, 1, false, 0x9ABCD, 0x12, "[MV] CL2-B-2"},
                 {"TARVELO 510", 19, "1E2400100", 0, 0, 1, true, 1123456, 0x100, "CL1-A-2"},
                 {"ZEB     5  ", 19, "000010001", 63, 3, 0, false, (5 - 500) * 100000 + 1, 1,
                  "[MV] CLG-R"},
                 {"TARVELO P25", 20, "12340567", '0', '0', 0, false, 1234, 567, "[PL] CL1-A"},
                 {"TARVELO 71012345", 24, "0255", '0', '0', 0, false, 71012345, 255, "[PL] CL1-A"},
                 {"TARVELO 9", 17, "0000001 1x", '0', '0', 0, true, 90000001, 1, "CL1-A"}};
  for (const auto& [id, at, fields, p32, p33, show, cli, serial, ldev, port] : cases) {
    DevIdentity r;
    std::string diag;
    const Image page = Page83Builder().identifier(id).text(at, fields).port_bytes(p32, p33).build();
    ASSERT_EQ(decode83(r, diag, page, show, cli), &r) << id;
    EXPECT_EQ(diag, "") << id;
    EXPECT_EQ(V({r.serial, r.ldev}), V({serial, ldev})) << id;
    EXPECT_STREQ(r.port_name, port) << id;
  }
}

TEST(Page83, Failures) {
  const std::string tail = "[TARVELO ] [OPEN-V          ]\n";
  const std::string raid = "hd1 -> NOT supported RAID.                 " + tail;
  const std::pair<Page83Builder, std::string> cases[] = {
      {Page83Builder().identifier("N14").page_length(29), raid},
      {Page83Builder().identifier("TARVELO X500"), raid},  // listed vendor, unlisted product
      {Page83Builder().identifier("ACME    5"), raid},     // another maker
      {Page83Builder().identifier("TARVELO N8"), raid},    // a key cut short
      {Page83Builder().identifier("TARVELO N16").port_bytes(64, 0),
       "hd1 -> Invalid port number       Port = 256 " + tail},
      {Page83Builder().identifier("TARVELO 5").port_bytes(255, 255),
       "hd1 -> Invalid port number       Port = 1275 " + tail}};
  for (const auto& [page, want] : cases) {
    DevIdentity r;
    std::string diag;
    EXPECT_EQ(decode83(r, diag, Page83Builder(page).text(19, "12345678").build()), nullptr);
    EXPECT_EQ(diag, want);
    EXPECT_EQ(r.serial, 0);
    EXPECT_STREQ(r.port_name, "");
  }
  DevIdentity r;
  std::string diag;
  EXPECT_EQ(decode_page83("hd1", r, {}, 0, PORT_TABLE, false, diag), nullptr);  // empty page
}

Image e2_page(const char* serial, const char* ldev, u8 b1 = 0xE2, u8 b2 = 0x02) {
  test::PageE2Builder b;
  b.real_serial_text(serial).real_ldev_text(ldev).raid({0, 7, 0x11, 0xAB, 0xCD, 0x5A, 4});
  return b.byte(1, b1).byte(2, b2).build();
}

TEST(PageE2, Decoders) {
  const Image std_data = std_image(119, "50 1E240", "0012"), page = e2_page("71012345", "00FF");
  // A page whose header is not 0xE2, 0x02 leaves the record untouched.
  const std::string bad =
      "hd1 -> NOT supported RAID for PageE2.      [TARVELO ] [OPEN-V          ]\n";
  for (const auto& [b1, b2] : {std::pair<u8, u8>{0x83, 0x02}, {0xE2, 0x01}, {0x00, 0x00}}) {
    DevIdentity r = probed(), e = probed(), untouched = probed();
    std::string diag, diag_e;
    const Image wrong = e2_page("71012345", "00FF", b1, b2);
    EXPECT_EQ(decode_e2_real("hd1", r, std_data, wrong, 1, false, diag), nullptr);
    EXPECT_EQ(decode_e2_exchange("hd1", e, std_data, wrong, 1, false, diag_e), nullptr);
    EXPECT_EQ(diag + diag_e, bad + bad) << int(b1) << " " << int(b2);
    EXPECT_EQ(std::memcmp(&r, &untouched, sizeof r) | std::memcmp(&e, &untouched, sizeof e), 0);
  }
  // Real ID beside the presented one or in its place; the marker makes it decimal.
  DevIdentity r = probed(), e = probed(), m = probed();
  std::string diag;
  ASSERT_EQ(decode_e2_real("hd1", r, std_data, page, 1, false, diag), &r);
  ASSERT_EQ(decode_e2_exchange("hd1", e, std_data, page, 0, true, diag), &e);
  const Image marked = std_image(139, "71012345", "", true);
  ASSERT_EQ(decode_e2_real("hd1", m, marked, e2_page("50 1E240", "0012"), 0, false, diag), &m);
  EXPECT_EQ(V({r.serial, r.ldev, r.real_id_valid, r.real_serial, r.real_ldev, r.raid_level}),
            V({123456, 18, 1, 71012345, 255, 0}));
  EXPECT_EQ(V({e.serial, e.ldev, e.real_id_valid, e.real_serial, e.raid_valid, e.raid_group[0],
               e.raid_group[1], e.raid_level, e.ssid[0], e.ssid[1], e.raid_reserved, e.ctg_id}),
            V({71012345, 255, 0, 0, 1, 0, 7, 0x11, 0xAB, 0xCD, 0x5A, 4}));
  EXPECT_EQ(V({m.real_serial, m.real_ldev}), V({50, 0x12}));
  EXPECT_EQ(std::string(r.port_name) + "|" + e.port_name, "[CW] CL1-A-2|CL1-A");
}

}  // namespace
}  // namespace vox
