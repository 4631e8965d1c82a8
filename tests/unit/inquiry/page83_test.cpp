#include "inquiry/page83.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/inquiry_builder.h"

namespace vox {
namespace {

using test::Page83Builder;

struct Decoded {
  DevIdentity record;
  DevIdentity* result;
  std::string diag;
};

// Decodes for a device whose probe found host group 2.
Decoded decode(const test::Image& page, int show_group = 0, bool cli = false) {
  Decoded d{};
  std::strcpy(d.record.vendor_id, "TARVELO ");
  std::strcpy(d.record.product_id, "OPEN-V          ");
  d.record.host_group_valid = 1;
  d.record.host_group = 2;
  d.result = decode_page83("hd1", d.record, page, show_group, PORT_TABLE, cli, d.diag);
  return d;
}

TEST(Page83, FamilyRows) {
  // The identifier at byte 8, field text from byte `at`, and the port bytes 32 and 33.
  const struct {
    const char* id;
    std::size_t at;
    const char* fields;
    std::uint8_t p32, p33;
    int show_group;
    bool cli;
    std::int32_t serial, ldev;
    const char* port;
  } cases[] = {
      {"N14", 13, "00012345 01234", '1', 'a', 0, false, 12345, 1234, "[RB] CL1-A"},
      {"N14", 13, "00012345 01234", '1', 'a', 0, true, 12345, 1234, "CL1-A"},
      {"QM", 13, "   99    7", '2', 'B', 1, false, 99, 7, "[RB] CL2-B-2"},
      {"N880", 13, "1x", 'G', 'r', 0, false, 1, 0, "[RB] CLG-R"},
      {"TARVELO N14", 19, "9ABCD0012", 4, 1, 0, false, 0xABCD, 0x12, "[MV] CL2-B"},  // no byte 19
      {"TARVELO QM", 19, "9ABCD0012", 4, 1, 1, false, 0xABCD, 0x12, "[MV] CL2-B-2"},
      {"TARVELO N16", 19, "9ABCD0012", 4, 1, 0, false, 0x9ABCD, 0x12, "[MV] CL2-B"},
      {"TARVELO 510", 19, "1E2400100", 0, 0, 1, true, 1123456, 0x100, "CL1-A-2"},
      {"ZEB     5  ", 19, "000010001", 63, 3, 0, false, 1 + (5 - 500) * 100000, 1, "[MV] CLG-R"},
      {"TARVELO P25", 20, "12340567", '0', '0', 0, false, 1234, 567, "[PL] CL1-A"},
      {"TARVELO P26", 20, "00010002", '1', '1', 1, false, 1, 2, "[PL] CL2-B-2"},
      {"TARVELO 71012345", 24, "0255", '0', '0', 0, false, 71012345, 255, "[PL] CL1-A"},
      {"TARVELO 9", 17, "0000001 1x", '0', '0', 0, true, 90000001, 1, "CL1-A"}};
  for (const auto& c : cases) {
    const Decoded d = decode(
        Page83Builder().identifier(c.id).text(c.at, c.fields).port_bytes(c.p32, c.p33).build(),
        c.show_group, c.cli);
    ASSERT_NE(d.result, nullptr) << c.id;
    EXPECT_EQ(d.diag, "") << c.id;
    EXPECT_EQ(d.record.serial, c.serial) << c.id;
    EXPECT_EQ(d.record.ldev, c.ldev) << c.id;
    EXPECT_STREQ(d.record.port_name, c.port) << c.id;
  }
}

TEST(Page83, Failures) {
  const std::string tail = "[TARVELO ] [OPEN-V          ]\n";
  const std::string raid = "hd1 -> NOT supported RAID.                 " + tail;
  const struct {
    Page83Builder page;
    std::string diag;
  } cases[] = {
      {Page83Builder().identifier("N14").page_length(29), raid},
      {Page83Builder().identifier("N14").id_length(19), raid},
      {Page83Builder().identifier("TARVELO X500"), raid},  // listed vendor, unlisted product
      {Page83Builder().identifier("ACME    5"), raid},     // another maker
      {Page83Builder().identifier("TARVELO N8"), raid},    // a key cut short
      {Page83Builder().identifier("TARVELO N16").port_bytes(64, 0),
       "hd1 -> Invalid port number       Port = 256 " + tail},
      {Page83Builder().identifier("TARVELO 5").port_bytes(255, 255),
       "hd1 -> Invalid port number       Port = 1275 " + tail}};
  for (const auto& c : cases) {
    const Decoded d = decode(Page83Builder(c.page).text(19, "12345678").build());
    EXPECT_EQ(d.result, nullptr);
    EXPECT_EQ(d.diag, c.diag);
    EXPECT_EQ(d.record.serial, 0);
    EXPECT_STREQ(d.record.port_name, "");
  }
}

TEST(Page83, TargetWwnLayouts) {
  const struct {
    const char* id;
    std::uint8_t second_len, page_len;
    const char* wwn;  // null: none stored
    std::uint16_t lun;
    std::uint8_t al_pa;
  } cases[] = {{"N14", 20, 60, "50060e8000000001", 0x0105, 0xE1},
               {"N14", 18, 80, "50060e8000000002", 0x0207, 0xE2},
               {"TARVELO N16", 16, 74, "50060e8000000002", 0x0207, 0xE2},
               {"TARVELO N16", 20, 54, "50060e8000000001", 0x0105, 0xE1},
               {"N14", 18, 60, nullptr, 0, 0},
               {"N14", 20, 53, nullptr, 0, 0},
               {"N14", 15, 80, nullptr, 0, 0},
               {"TARVELO P25", 20, 80, nullptr, 0, 0}};  // [PL] never carries it
  for (const auto& c : cases) {
    const Decoded d =
        decode(Page83Builder()
                   .identifier(c.id)
                   .page_length(c.page_len)
                   .second_id_length(c.second_len)
                   .port_bytes('0', '0')
                   .target_wwn(38, {0x50, 0x06, 0x0E, 0x80, 0, 0, 0, 1}, 0xC1, 0x05, 0xE1)
                   .target_wwn(58, {0x50, 0x06, 0x0E, 0x80, 0, 0, 0, 2}, 0x42, 0x07, 0xE2)
                   .build());
    ASSERT_NE(d.result, nullptr) << c.id;
    EXPECT_EQ(d.record.tgt_wwn_valid, c.wwn ? 1 : 0) << c.id << int(c.page_len);
    EXPECT_STREQ(d.record.tgt_wwn, c.wwn ? c.wwn : "") << c.id;
    EXPECT_EQ(d.record.lun, c.lun) << c.id;
    EXPECT_EQ(d.record.al_pa, c.al_pa) << c.id;
  }
}

TEST(Page83, ShortPagesReadAsZeroPastTheirEnd) {
  const std::string text = std::string("\0\x83\0\xFF\0\0\0\xFF", 8) + "TARVELO N16";
  DevIdentity r;
  std::string diag;
  ASSERT_EQ(
      decode_page83("hd1", r,
                    std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), 0,
                    PORT_TABLE, false, diag),
      &r);
  EXPECT_EQ(r.serial, 0);
  EXPECT_STREQ(r.port_name, "[MV] CL1-A");
  EXPECT_EQ(r.tgt_wwn_valid, 0);
  EXPECT_EQ(decode_page83("hd1", r, {}, 0, PORT_TABLE, false, diag), nullptr);
}

}  // namespace
}  // namespace vox
