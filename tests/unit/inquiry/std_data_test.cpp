#include <gtest/gtest.h>

#include <cstring>

#include "inquiry/std_attributes.h"
#include "inquiry/std_identity.h"
#include "support/inquiry_builder.h"

namespace vox {
namespace {

using test::StdInquiryBuilder;
using V = std::vector<std::int64_t>;

TEST(StdIdentity, SerialAndLdev) {
  const struct {
    const char *serial, *ldev;
    std::uint8_t n;
    bool pl_marker;
    std::int32_t want_serial, want_ldev;
  } cases[] = {{"71012345", "0012", 51, false, 71012345, 18},
               {"50 1E240", "00FF", 51, false, 123456, 255},
               {"51012345", "ABCD", 51, false, 1074565, 0xABCD},
               {"0300ABCD", "0012", 51, false, 43981, 18},
               {"51 12345", "0012", 51, false, 0x12345, 18},  // blank at 38: no model offset
               {"50 1E240", "0012", 139, true, 50, 18},       // the marker makes it decimal
               {"0300ABCD", "0012", 138, true, 0xABCD, 18},   // the marker needs n >= 139
               {"5ZZZZZZZ", "zz12", 51, false, 0, 0},         // no digits
               {"73  4567", "  1F", 51, false, 73, 0x1F}};
  for (const auto& c : cases) {
    StdInquiryBuilder b;
    b.additional_length(c.n).serial_text(c.serial).ldev_text(c.ldev);
    if (c.pl_marker) b.pl_marker();
    const auto image = b.build();
    DevIdentity r;
    decode_std_identity(r, ByteView(image), 0, false);
    EXPECT_EQ(V({r.serial, r.ldev}), V({c.want_serial, c.want_ldev})) << c.serial;
  }
}

TEST(StdIdentity, PortName) {
  const struct {
    std::uint8_t n;
    char c1, c2;
    int show_group;
    std::uint16_t group;  // 0: the probe found none
    bool cli;
    const char* want;
  } cases[] = {{50, '1', 'a', 0, 0, false, "[CW] Unknown"},
               {50, '1', 'a', 1, 3, true, "-"},
               {51, '1', 'a', 0, 3, false, "[CW] CL1-A"},
               {51, '1', 'a', 1, 3, false, "[CW] CL1-A-3"},
               {51, '1', 'a', 1, 3, true, "CL1-A-3"},
               {51, '1', 'a', 1, 0, true, "CL1-A"},
               {51, 'b', 'r', 0, 0, true, "CLb-R"},
               {51, '2', '?', 0, 0, false, "[CW] CL2-?"},
               {51, '1', 'a', 1, 65535, false, "[CW] CL1-A-65535"}};
  for (const auto& c : cases) {
    const auto image = StdInquiryBuilder().additional_length(c.n).port(c.c1, c.c2).build();
    DevIdentity r;
    r.host_group_valid = c.group != 0;
    r.host_group = c.group;
    decode_std_identity(r, ByteView(image), c.show_group, c.cli);
    EXPECT_STREQ(r.port_name, c.want);
  }
}

// A group A volume carrying every attribute; the MU bytes hold their own offsets' order.
StdInquiryBuilder full_volume(std::uint8_t n, const char* product, const char* serial) {
  StdInquiryBuilder b;
  b.additional_length(n)
      .product(product)
      .serial_text(serial)
      .pair_states(2, 3, 1, 9)
      .raid({1, 2, 0x10, 0x12, 0x34, 0x55, 0xFF})
      .vol_attr(3, 1)
      .host_group(0x0102)
      .sl_cl(4, 5)
      .host_wwns(
          {0x50, 6, 0x0E, 0x80, 0x10, 0x20, 0x30, 0x40, 0x20, 0, 0, 0, 0xC9, 0xAB, 0xCD, 0xEF})
      .bitmap_page(0, 1)
      .bitmap_page(4, 0xA1B2C3D4)
      .nic_name("NIC-NAME-OF-THIRTY-TWO-CHARS-XYZ");
  for (std::uint8_t k = 0; k < 24; ++k) b.byte(144 + k, k);
  return b.byte(168, 0b11100100).byte(179, 0b01010101);
}

TEST(StdAttributes, FullVolumeImage) {
  const auto image = full_volume(239, "OPEN-V", "0300ABCD").build();
  DevIdentity r;
  fill_std_attributes(r, ByteView(image));
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

// Which steps act, by additional length, family and command device. The letters name
// the steps that left their mark: a pairs (and g), b RAID, c attributes, d host WWNs,
// e host group, h MU tables, i bitmap, j NIC name; sl is the SL value taken.
TEST(StdAttributes, StepsByLengthAndFamily) {
  const struct {
    std::uint8_t n;
    const char *product, *serial, *steps;
    int sl;
  } cases[] = {
      {42, "OPEN-V", "0300ABCD", "", 0xFF},       {43, "OPEN-V", "0300ABCD", "", 0xFF},
      {51, "OPEN-V", "0300ABCD", "a", 0xFF},      {99, "OPEN-V", "0300ABCD", "ab", 0xFF},
      {115, "OPEN-V", "0300ABCD", "abd", 0xFF},   {119, "OPEN-V", "0300ABCD", "abcde", 0xFF},
      {138, "OPEN-V", "0300ABCD", "abcde", 0xFF}, {139, "OPEN-V", "0300ABCD", "abcde", 4},
      {179, "OPEN-V", "0300ABCD", "abcdeh", 4},   {207, "OPEN-V", "0300ABCD", "abcdehi", 4},
      {239, "OPEN-V", "71012345", "abcdehij", 4}, {239, "DISK-1-CM", "0300ABCD", "bde", 4},
      {239, "Storage", "0300ABCD", "", 4},        {239, "OPEN-V", "QM000001", "d", 4},
      {239, "OPEN-V", "12345678", "", 4}};
  for (const auto& c : cases) {
    const auto image = full_volume(c.n, c.product, c.serial).build();
    DevIdentity r;
    r.is_cmddev = std::strncmp(c.product, "DISK-1-CM", 9) == 0;
    fill_std_attributes(r, ByteView(image));
    std::string steps;
    // Without the full tables the MU#0 states stand in the tables' first elements.
    if (r.remote_pair_state == 2 && r.local_pair_state[2] == 9 &&
        (r.mu_table_valid || (r.remote_mu_states[0] == 2 && r.local_mu_states[2] == 9)))
      steps += 'a';
    if (r.raid_valid && r.ssid[1] == 0x34) steps += 'b';
    if (r.vol_attr == 3 && r.fencor == 1) steps += 'c';
    if (r.host_wwn_valid && r.host_node_wwn[0] == '2') steps += 'd';
    if (r.host_group_valid && r.host_group == 0x0102) steps += 'e';
    if (r.mu_table_valid && r.remote_mu_states[7] == 7) steps += 'h';
    if (r.bitmap_valid && r.bitmap_pages[4] == 0xA1B2C3D4u) steps += 'i';
    if (r.nic_name[0] == 'N') steps += 'j';
    EXPECT_EQ(steps, c.steps) << int(c.n) << " " << c.product << " " << c.serial;
    EXPECT_EQ(V({r.sl_id, r.cl_id}), V({c.sl, c.sl == 0xFF ? 0xFF : 5})) << int(c.n);
  }
  const std::uint8_t short_image[5] = {0, 0, 0, 0, 255};  // bytes past the data read as zero
  DevIdentity r;
  fill_std_attributes(r, ByteView(short_image));
  EXPECT_EQ(V({r.sl_id, r.cl_id, r.raid_valid}), V({0, 0, 0}));
}

}  // namespace
}  // namespace vox
