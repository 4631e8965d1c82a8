#include "transport/storage_descriptors.h"

#include <gtest/gtest.h>

#include <random>

#include "support/fake_scsi_device.h"

namespace vox {
namespace {

using test::Bytes;

Bytes seq(std::size_t n, std::uint8_t first) {
  Bytes b(n);
  for (std::size_t k = 0; k < n; ++k) b[k] = static_cast<std::uint8_t>(first + k);
  return b;
}

TEST(DeviceDescriptor, RawPropertiesBecomeTheStandardImage) {
  // Raw bytes 1, 2, 3 ... with a RawPropertiesLength field; bytes expected copied; byte 4.
  const struct {
    std::size_t raw, field, copied;
    int byte4;  // -1: untouched
  } cases[] = {{36, 36, 36, 31},
               {96, 96, 96, 91},
               {35, 35, 0, -1},
               {40, 300, 40, 39},      // the field reaches past the returned bytes
               {476, 476, 256, 215}};  // the copy stops at 256
  for (const auto& c : cases) {
    Bytes image(300, 0xEE), want(300, 0xEE);
    for (std::size_t k = 0; k < c.copied; ++k) want[k] = static_cast<std::uint8_t>(1 + k);
    if (c.byte4 >= 0) want[4] = static_cast<std::uint8_t>(c.byte4);
    device_descriptor_to_std_image(test::device_descriptor(seq(c.raw, 1), c.field),
                                   std::span(image).first(256));
    EXPECT_EQ(image, want) << c.raw;
  }
  Bytes image(256, 0xEE);
  device_descriptor_to_std_image(Bytes(35, 0xFF), image);  // no complete header
  EXPECT_EQ(image, Bytes(256, 0xEE));
}

TEST(IdDescriptor, FirstTwoIdentifiersBecomeDesignators) {
  Bytes page(255), want(255);
  id_descriptor_to_page83(
      test::id_descriptor({{0x0103, seq(20, 0x41)}, {0x0213, seq(16, 0x61)}, {0x0909, {7}}}), page);
  want[1] = 0x83, want[3] = 20 + 8 + 16, want[4] = 1, want[5] = 3, want[7] = 20;
  want[28] = 2, want[29] = 0x13, want[31] = 16;
  std::copy_n(seq(20, 0x41).begin(), 20, want.begin() + 8);
  std::copy_n(seq(16, 0x61).begin(), 16, want.begin() + 32);
  EXPECT_EQ(page, want);
  page.assign(255, 0), want.assign(255, 0), want[1] = 0x83;  // one identifier: page code only
  id_descriptor_to_page83(test::id_descriptor({{0x0103, seq(20, 0x41)}}), page);
  EXPECT_EQ(page, want);
}

TEST(IdDescriptor, OversizedIdentifiersStayInsideTheBuffers) {
  // The first identifier holds 300 bytes; the second claims 60000 and brings 40.
  Bytes d = test::id_descriptor({{0x0103, seq(300, 0)}, {0x0203, seq(40, 0x10)}});
  d[12 + 16 + 300 + 8] = 0x60, d[12 + 16 + 300 + 9] = 0xEA;
  Bytes page(300, 0xEE);
  id_descriptor_to_page83(d, std::span(page).first(255));
  EXPECT_EQ(Bytes({page[3], page[7], page[31], page[32], page[71], page[72], page[254], page[255]}),
            Bytes({(44 + 8 + 0x60) & 0xFF, 44, 0x60, 0x10, 0x10 + 39, 64, 246, 0xEE}));
  d.resize(12 + 16 + 300 + 2);  // the second header cut: its fields read as zero
  id_descriptor_to_page83(d, page);
  EXPECT_EQ(Bytes({page[3], page[28], page[29], page[31]}), Bytes({44 + 8, 2, 0, 0}));
}

TEST(Descriptors, ArbitraryBytesStayInsideTheImages) {
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    Bytes d(random() % 600), image(300, 0xEE);
    for (auto& x : d) x = static_cast<std::uint8_t>(random() % 4 ? random() : random() % 64);
    device_descriptor_to_std_image(d, std::span(image).first(256));
    id_descriptor_to_page83(d, std::span(image).first(255 - round % 200));
    EXPECT_EQ(Bytes(image.begin() + 256, image.end()), Bytes(44, 0xEE));
  }
}

}  // namespace
}  // namespace vox
