#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inquiry/command_device.h"
#include "inquiry/family.h"
#include "inquiry/port_table.h"
#include "inquiry/unpack_bits.h"
#include "support/inquiry_builder.h"

namespace vox {
namespace {

TEST(Family, GateAndSerialPrefixGroups) {
  const struct {
    const char* serial;
    std::uint8_t n;
    const char* product;
    bool pl_marker, gate;
    std::string groups;
  } cases[] = {
      {"0300ABCD", 43, "OPEN-V", false, true, "A"},   {"030", 43, "OPEN-V", false, true, ""},
      {"04012345", 43, "OPEN-V", false, true, "A"},   {"50 1E240", 43, "OPEN-V", false, true, "A"},
      {"51012345", 43, "OPEN-V", false, true, "A"},   {"52012345", 43, "OPEN-V", false, true, ""},
      {"QM123456", 43, "OPEN-V", false, true, "Q"},   {"P2500001", 43, "OPEN-V", false, true, "P"},
      {"P2700001", 43, "OPEN-V", false, true, ""},    {"71012345", 43, "OPEN-V", false, true, "P"},
      {"72012345", 43, "OPEN-V", false, true, ""},    {"12345678", 139, "OPEN-V", true, true, "P"},
      {"12345678", 138, "OPEN-V", true, true, ""},    {"0300ABCD", 42, "OPEN-V", false, false, "A"},
      {"0300ABCD", 43, "Storage", false, false, "A"}, {"0300ABCD", 43, "ST", false, true, "A"}};
  for (const auto& c : cases) {
    test::StdInquiryBuilder b;
    b.additional_length(c.n).product(c.product).serial_text(c.serial);
    if (c.pl_marker) b.pl_marker();
    const auto image = b.build();
    const ByteView v(image);
    const std::string groups = std::string(in_group_a(v) ? "A" : "") + (in_group_q(v) ? "Q" : "") +
                               (in_group_p(v) ? "P" : "");
    EXPECT_EQ(groups, c.groups) << c.serial << " " << int(c.n);
    EXPECT_EQ(family_gate(v), c.gate) << c.serial << " " << c.product;
    EXPECT_EQ(family_a_or_p(v), c.gate && (c.groups == "A" || c.groups == "P")) << c.serial;
    EXPECT_EQ(family_a_q_or_p(v), c.gate && !c.groups.empty()) << c.serial;
  }
}

TEST(CommandDevice, ProductIdentification) {
  const std::pair<const char*, bool> cases[] = {{"DISK-1-CM       ", true},
                                                {"DISK-1-CMX      ", false},
                                                {"DISK-1          ", false},
                                                {"OPEN-V-CM", true},
                                                {"ABCDEFGHIJKLM-CM", true},
                                                {"A-CMB C-CM      ", true},
                                                {"A-CMB C-CMD     ", false},
                                                {"CM X-CM", true},
                                                {"-CM", false},
                                                {"X-CM", true},
                                                {"CM ", false},
                                                {"M", false},
                                                {"", false},
                                                {"OPEN-V -CM", true},
                                                {"-cm             ", false},
                                                {nullptr, false}};
  for (const auto& [product, cmd] : cases) EXPECT_EQ(is_command_device(product), cmd) << product;
}

TEST(UnpackBits, FieldsFromTheMostSignificantEnd) {
  const struct {
    std::vector<std::uint8_t> src;
    unsigned bits;
    std::size_t dest_size;
    std::vector<std::uint8_t> want;
  } cases[] = {{{0b11100100}, 2, 4, {3, 2, 1, 0}},
               {{0b11100100, 0x1B}, 2, 8, {3, 2, 1, 0, 0, 1, 2, 3}},
               {{0xA5}, 4, 2, {0xA, 0x5}},
               {{0xA5}, 1, 8, {1, 0, 1, 0, 0, 1, 0, 1}},

               {{0xB5}, 3, 2, {6, 5}},                 // top 2 bits unused
               {{0xFF, 0xFF}, 2, 5, {3, 3, 3, 3, 3}},  // stops when the destination is full
               {{0xFF}, 0, 2, {9, 9}},
               {{0xFF}, 9, 2, {9, 9}}};
  for (const auto& c : cases) {
    std::vector<std::uint8_t> dest(c.dest_size, 9);
    unpack_bits(dest, c.src, c.bits);
    EXPECT_EQ(dest, c.want) << c.bits;
  }
}

TEST(PortTable, Entries) {
  const std::pair<std::size_t, const char*> cases[] = {
      {0, "CL1-A"},  {7, "CL1-H"},  {8, "CL1-J"},   {13, "CL1-P"}, {15, "CL1-R"},
      {16, "CL2-A"}, {17, "CL2-B"}, {159, "CLA-R"}, {255, "CLG-R"}};
  for (const auto& [k, name] : cases) EXPECT_STREQ(PORT_TABLE[k].data(), name) << k;
}

}  // namespace
}  // namespace vox
