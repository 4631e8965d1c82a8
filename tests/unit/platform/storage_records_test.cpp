// Storage property descriptors and volume disk extents, byte for byte.
#include <gtest/gtest.h>

#include "platform/hostimage/storage_property.h"
#include "platform/hostimage/volume_extents.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::bytes_of;

Bytes le32(std::uint32_t v) {
  return bytes_of({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}
Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

win::StoragePropertyQuery query(std::uint32_t id, std::uint32_t type = 0) {
  return win::StoragePropertyQuery{id, type, {0, 0, 0, 0}};
}

TEST(StorageProperty, DeviceDescriptorCarriesTheRawProperties) {
  struct Case {
    const char* what;
    Bytes raw;
    Bytes expected;
  };
  const Bytes raw40 =
      cat({bytes_of({0x00, 0x80, 0x05, 0x02, 0x23, 0x00, 0x00, 0x02}), Bytes(32, 0x41)});
  const Case cases[] = {
      {"40 raw bytes", raw40,
       cat({le32(40), le32(76), bytes_of({0x00, 0x00, 0x01, 0x01}), Bytes(16, 0), le32(1), le32(40),
            raw40})},
      {"raw block under 36 bytes", bytes_of({0x1F, 0x05, 0, 0}),
       cat({le32(40), le32(40), bytes_of({0x1F, 0x05, 0x00, 0x00}), Bytes(16, 0), le32(1), le32(4),
            bytes_of({0x1F, 0x05, 0, 0})})},
      {"no raw bytes", {}, cat({le32(40), le32(40), Bytes(20, 0), le32(1), le32(0), Bytes(4, 0)})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(build_device_descriptor(c.raw), c.expected) << c.what;
    Disk disk;
    disk.device_property = c.raw;
    const auto q = query(win::StorageDeviceProperty);
    Bytes out(512, 0xEE);
    const IoResult r = query_storage_property(disk, &q, sizeof q, out.data(), 512);
    EXPECT_EQ(r.error, 0u) << c.what;
    EXPECT_EQ(r.returned, c.expected.size()) << c.what;
    EXPECT_EQ(Bytes(out.begin(), out.begin() + r.returned), c.expected) << c.what;
    EXPECT_EQ(out[r.returned], 0xEE) << c.what;
  }
}

TEST(StorageProperty, IdDescriptorAlignsEachIdentifierToEightBytes) {
  const std::vector<StorageIdentifier> ids = {
      {1, 3, 0, Bytes(16, 0x60)},
      {2, 1, 1, Bytes(21, 0x41)},
  };
  const Bytes expected =
      cat({le32(16), le32(84), le32(2),
           // first at 12
           le32(1), le32(3), bytes_of({16, 0, 32, 0}), le32(0), Bytes(16, 0x60),
           // second at 44
           le32(2), le32(1), bytes_of({21, 0, 40, 0}), le32(1), Bytes(21, 0x41), Bytes(3, 0)});
  EXPECT_EQ(build_id_descriptor(ids), expected);
  EXPECT_EQ(build_id_descriptor({}), cat({le32(16), le32(16), le32(0), Bytes(4, 0)}));
}

TEST(StorageProperty, RefusalsAndShortBuffers) {
  Disk with;
  with.device_property = Bytes(40, 1);
  with.id_property = std::vector<StorageIdentifier>{};
  const Disk without;
  struct Case {
    const char* what;
    const Disk* disk;
    win::StoragePropertyQuery q;
    std::uint32_t in_size;
    std::uint32_t out_size;
    std::uint32_t error;
    std::uint32_t returned;
  };
  const Case cases[] = {
      {"device property absent", &without, query(0), 12, 512, 50, 0},
      {"id property absent", &without, query(2), 12, 512, 50, 0},
      {"unknown property", &with, query(6), 12, 512, 50, 0},
      {"input too short", &with, query(0), 8, 512, 87, 0},
      {"unknown query type", &with, query(0, 7), 12, 512, 87, 0},
      {"exists query, present", &with, query(0, 1), 12, 512, 0, 0},
      {"exists query, absent", &without, query(2, 1), 12, 512, 50, 0},
      {"output under the header", &with, query(0), 12, 7, 122, 0},
      {"output of the header only", &with, query(0), 12, 8, 0, 8},
      {"output cut inside the raw bytes", &with, query(0), 12, 50, 0, 50},
  };
  for (const Case& c : cases) {
    Bytes out(512, 0);
    const IoResult r = query_storage_property(*c.disk, &c.q, c.in_size, out.data(), c.out_size);
    EXPECT_EQ(r.error, c.error) << c.what;
    EXPECT_EQ(r.returned, c.returned) << c.what;
  }
}

TEST(VolumeExtents, ListsTheDisksAndKeepsTheTrueCount) {
  Volume two{"\\Device\\HarddiskVolume3", {1, 2}, 0, 0};
  Bytes out(win::kDiskExtentsBufferSize, 0xEE);
  IoResult r = volume_disk_extents(two, out.data(), static_cast<std::uint32_t>(out.size()));
  const Bytes extent_tail = cat({le32(0x100000), le32(0), le32(0x40000000), le32(0)});
  EXPECT_EQ(r.error, 0u);
  EXPECT_EQ(r.returned, 56u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 56),
            cat({le32(2), le32(0), le32(1), le32(0), extent_tail, le32(2), le32(0), extent_tail}));
  EXPECT_EQ(out[56], 0xEE);

  Volume many{"\\Device\\HarddiskVolume9", std::vector<std::uint32_t>(1500, 7), 0, 0};
  r = volume_disk_extents(many, out.data(), static_cast<std::uint32_t>(out.size()));
  EXPECT_EQ(r.error, 0u);
  EXPECT_EQ(r.returned, 24584u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), le32(1500));
  EXPECT_EQ(out[8 + 1023 * 24], 7);

  r = volume_disk_extents(two, out.data(), 8);
  EXPECT_EQ(r.returned, 8u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), le32(2));
  r = volume_disk_extents(two, out.data(), 31);  // header and no whole record
  EXPECT_EQ(r.returned, 8u);
  EXPECT_EQ(volume_disk_extents(two, out.data(), 7).error, 122u);
  EXPECT_EQ(volume_disk_extents(two, nullptr, 0).error, 122u);
  Volume empty{"\\Device\\V", {}, 0, 0};
  EXPECT_EQ(volume_disk_extents(empty, out.data(), 8).returned, 8u);
  Volume failing{"\\Device\\V", {1}, 0, 234};  // ERROR_MORE_DATA
  EXPECT_EQ(volume_disk_extents(failing, out.data(), 24584).error, 234u);
}

}  // namespace
}  // namespace vox::plat::hostimage
