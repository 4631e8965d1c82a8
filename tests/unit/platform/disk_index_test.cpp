// "\\.\PhysicalDriveN" finds its disk through the loader's index of disk numbers, and by
// search in an image whose index does not cover every disk (put together in memory).
#include <gtest/gtest.h>

#include "platform/hostimage/dos_devices.h"
#include "platform/win_defs.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::load_image;

// Disks out of order and with gaps, one that cannot be opened, and a DOS name that looks
// like a drive but names another device.
const char* const kHost = R"({
  "disks": [{"number": 40}, {"number": 7, "open_error": 5}, {"number": 2}, {"number": 2147483647}],
  "dos_devices": [{"name": "PhysicalDrive3", "target": "\\Device\\Tape0"}]
})";

struct Expected {
  const char* name;
  std::uint32_t error;
  DeviceKind kind;
  std::size_t index;
};

const Expected kCases[] = {
    {"PhysicalDrive40", 0, DeviceKind::disk, 0},
    {"PhysicalDrive7", 5, DeviceKind::disk, 1},
    {"physicaldrive2", 0, DeviceKind::disk, 2},
    {"PhysicalDrive2147483647", 0, DeviceKind::disk, 3},
    {"PhysicalDrive3", 0, DeviceKind::other, 0},
    {"PhysicalDrive0", win::ERROR_FILE_NOT_FOUND, DeviceKind::other, 0},
    {"PhysicalDrive41", win::ERROR_FILE_NOT_FOUND, DeviceKind::other, 0},
    {"PhysicalDrive4294967295", win::ERROR_FILE_NOT_FOUND, DeviceKind::other, 0},
};

void expect_cases(const HostImage& image) {
  for (const Expected& c : kCases) {
    DeviceTarget target;
    EXPECT_EQ(resolve_device(image, c.name, target), c.error) << c.name;
    if (c.error == 0 || c.kind == DeviceKind::disk) {
      EXPECT_EQ(target.kind, c.kind) << c.name;
      EXPECT_EQ(target.index, c.index) << c.name;
    }
  }
}

TEST(DiskIndex, LoaderIndexesEveryDisk) {
  const HostImage image = load_image(kHost);
  ASSERT_EQ(image.disk_places.size(), image.disks.size());
  expect_cases(image);
}

TEST(DiskIndex, ImageWithoutIndexIsSearched) {
  HostImage image = load_image(kHost);
  image.disk_places.clear();
  expect_cases(image);
}

TEST(DiskIndex, DiskAddedAfterLoadingIsFound) {
  HostImage image = load_image(kHost);
  Disk extra;
  extra.number = 41;
  image.disks.push_back(extra);
  DeviceTarget target;
  EXPECT_EQ(resolve_device(image, "PhysicalDrive41", target), 0u);
  EXPECT_EQ(target.kind, DeviceKind::disk);
  EXPECT_EQ(target.index, 4u);
  EXPECT_EQ(resolve_device(image, "PhysicalDrive7", target), 5u);
  EXPECT_EQ(target.index, 1u);
}

}  // namespace
}  // namespace vox::plat::hostimage
