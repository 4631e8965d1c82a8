#include "inquiry/page_e2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/inquiry_builder.h"

namespace vox {
namespace {

using test::PageE2Builder;
using test::StdInquiryBuilder;

using Decoder = DevIdentity* (*)(const char*, DevIdentity&, std::span<const std::uint8_t>,
                                 std::span<const std::uint8_t>, int, bool, std::string&);

// A record as the probe leaves it: named, host group 3, RAID bytes taken.
DevIdentity probed() {
  DevIdentity r;
  std::strcpy(r.vendor_id, "TARVELO ");
  std::strcpy(r.product_id, "OPEN-V          ");
  r.host_group_valid = 1, r.host_group = 3, r.raid_valid = 1;
  return r;
}

const test::Image kStd = StdInquiryBuilder()
                             .additional_length(119)
                             .serial_text("50 1E240")
                             .ldev_text("0012")
                             .port('1', 'a')
                             .build();
const test::Image kPage = PageE2Builder()
                              .real_serial_text("71012345")
                              .real_ldev_text("00FF")
                              .raid({0, 7, 0x11, 0xAB, 0xCD, 0x5A, 4})
                              .build();

TEST(PageE2, HeaderCheckFailsWithoutWritingFields) {
  const std::uint8_t headers[][2] = {{0x83, 0x02}, {0xE2, 0x01}, {0x00, 0x00}};
  for (const auto& h : headers) {
    for (Decoder decoder : {&decode_e2_real, &decode_e2_exchange}) {
      DevIdentity r = probed(), untouched = probed();
      std::string diag;
      EXPECT_EQ(decoder("hd1", r, kStd,
                        PageE2Builder(PageE2Builder().real_serial_text("71012345"))
                            .byte(1, h[0])
                            .byte(2, h[1])
                            .build(),
                        1, false, diag),
                nullptr);
      EXPECT_EQ(diag, "hd1 -> NOT supported RAID for PageE2.      [TARVELO ] [OPEN-V          ]\n");
      EXPECT_EQ(std::memcmp(&r, &untouched, sizeof r), 0) << int(h[0]) << " " << int(h[1]);
    }
  }
}

TEST(PageE2, RealIdBesideOrInPlaceOfThePresentedOne) {
  DevIdentity r = probed();
  std::string diag;
  ASSERT_EQ(decode_e2_real("hd1", r, kStd, kPage, 1, false, diag), &r);
  EXPECT_EQ(std::vector<std::int64_t>(
                {r.serial, r.ldev, r.real_id_valid, r.real_serial, r.real_ldev, r.raid_level}),
            std::vector<std::int64_t>({123456, 18, 1, 71012345, 255, 0}));
  EXPECT_STREQ(r.port_name, "[CW] CL1-A-3");

  r = probed();
  ASSERT_EQ(decode_e2_exchange("hd1", r, kStd, kPage, 0, true, diag), &r);
  EXPECT_EQ(std::vector<std::int64_t>({r.serial, r.ldev, r.real_id_valid, r.real_serial,
                                       r.raid_valid, r.raid_group[0], r.raid_group[1], r.raid_level,
                                       r.ssid[0], r.ssid[1], r.raid_reserved, r.ctg_id}),
            std::vector<std::int64_t>({71012345, 255, 0, 0, 1, 0, 7, 0x11, 0xAB, 0xCD, 0x5A, 4}));
  EXPECT_STREQ(r.port_name, "CL1-A");
}

TEST(PageE2, MarkerOfTheStandardDataDecidesTheSerialForm) {
  const auto std_image =
      StdInquiryBuilder().additional_length(139).pl_marker().serial_text("71012345").build();
  const auto page = PageE2Builder().real_serial_text("50 1E240").real_ldev_text("0012").build();
  DevIdentity r = probed();
  std::string diag;
  ASSERT_EQ(decode_e2_real("hd1", r, std_image, page, 0, false, diag), &r);
  EXPECT_EQ(r.real_serial, 50);  // decimal, up to the blank
  EXPECT_EQ(r.real_ldev, 0x12);
}

TEST(PageE2, ShortImagesReadAsZero) {
  const std::uint8_t page[3] = {0, 0xE2, 0x02};
  const std::uint8_t std_image[5] = {0, 0, 0, 0, 60};
  DevIdentity r = probed();
  std::string diag;
  ASSERT_EQ(decode_e2_exchange("hd1", r, std_image, page, 0, false, diag), &r);
  EXPECT_EQ(r.serial, 0);
  EXPECT_STREQ(r.port_name, "[CW] CL");  // port bytes past the data read as zero
}

}  // namespace
}  // namespace vox
