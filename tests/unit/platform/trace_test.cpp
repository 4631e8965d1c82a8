// The trace lines of every traced call, exactly as outside checks read them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/backends.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::inquiry_block;

const char* const kHost = R"({
  "disks": [{"number": 1, "inquiry": "00 00 05 02", "device_property": "00"},
            {"number": 2, "inquiry_error": 21}],
  "dos_devices": [{"name": "C:", "target": "\\Device\\HarddiskVolume3"}],
  "volumes": [{"target": "\\Device\\HarddiskVolume3", "disks": [1]}],
  "mountvol_output": ""
})";

TEST(Trace, OneLinePerCallAppendedToTheFile) {
  test::TempDir dir;
  dir.write("trace.txt", "earlier line\n");
  HostImageBackend b(test::load_image(kHost));
  std::string problem;
  ASSERT_TRUE(b.trace_to(dir.file("trace.txt"), problem)) << problem;
  const std::uint32_t rw = win::GENERIC_READ | win::GENERIC_WRITE;

  const Handle d1 = b.create_file("\\\\.\\PhysicalDrive1", rw, 3, win::OPEN_EXISTING, 0x80);
  std::uint8_t data[256] = {};
  auto block = inquiry_block({0x12, 0, 0, 0, 0xFF, 0}, data, 256, 4);
  b.device_io_control(d1, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, sizeof block.sptd, &block,
                      sizeof block, nullptr);
  block = inquiry_block({0x12, 1, 0xE2, 2, 0xFF, 0}, data, 255, 12);
  b.device_io_control(d1, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, sizeof block.sptd, &block,
                      sizeof block, nullptr);
  b.device_io_control(d1, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, 10, &block, sizeof block,
                      nullptr);
  const Handle d2 = b.create_file("\\\\.\\PhysicalDrive2", rw, 3, win::OPEN_EXISTING, 0x80);
  block = inquiry_block({0x12, 0, 0, 0, 0xFF, 0}, data, 256, 2);
  b.device_io_control(d2, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &block, sizeof block.sptd, &block,
                      sizeof block, nullptr);
  const win::StoragePropertyQuery query{win::StorageDeviceProperty, 0, {0, 0, 0, 0}};
  std::uint8_t descriptor[512];
  b.device_io_control(d1, win::IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, descriptor,
                      sizeof descriptor, nullptr);
  b.device_io_control(d1, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, descriptor, 8, nullptr);
  b.device_io_control(9999, win::IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, descriptor, 8, nullptr);
  b.create_file("\\\\.\\X:", 0, 3, win::OPEN_EXISTING, 0x80);
  const Handle c = b.create_file("\\\\.\\C:", 0, 3, win::OPEN_EXISTING, 0x80);
  std::vector<std::uint8_t> extents(win::kDiskExtentsBufferSize);
  b.device_io_control(c, win::IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, extents.data(),
                      static_cast<std::uint32_t>(extents.size()), nullptr);
  char target[64];
  b.query_dos_device_a("C:", target, sizeof target);
  b.query_dos_device_a("Z:", target, sizeof target);
  char16_t list[16];
  b.query_dos_device_list_w(list, 16);
  b.query_dos_device_list_w(list, 2);
  b.pclose(b.popen("mountvol.exe 2>NUL", "rt"));
  b.system("exit 0");
  const std::string file = dir.path().string() + "\\VOL812_36.ini";
  const Handle f = b.create_file(file.c_str(), rw, 3, win::CREATE_ALWAYS, 0x80);
  std::uint32_t n = 0;
  b.write_file(f, "layout", 6, &n);
  b.read_file(f, data, 32, &n);
  b.read_file(d1, data, 32, &n);
  b.write_file(d1, data, 4, &n);
  b.create_file((dir.path().string() + "\\none.ini").c_str(), win::GENERIC_READ, 3,
                win::OPEN_EXISTING, 0x80);
  for (Handle h : {d1, d2, c, f}) b.close_handle(h);

  EXPECT_EQ(dir.read("trace.txt"),
            "earlier line\n"
            "CreateFile \\\\.\\PhysicalDrive1 access=0xc0000000 -> ok\n"
            "DeviceIoControl \\\\.\\PhysicalDrive1 0x0004d014 cdb=12000000ff00 length=256 "
            "timeout=4 -> ok status=0\n"
            "DeviceIoControl \\\\.\\PhysicalDrive1 0x0004d014 cdb=1201e202ff00 length=255 "
            "timeout=12 -> ok status=2\n"
            "DeviceIoControl \\\\.\\PhysicalDrive1 0x0004d014 -> error 87\n"
            "CreateFile \\\\.\\PhysicalDrive2 access=0xc0000000 -> ok\n"
            "DeviceIoControl \\\\.\\PhysicalDrive2 0x0004d014 cdb=12000000ff00 length=256 "
            "timeout=2 -> error 21\n"
            "DeviceIoControl \\\\.\\PhysicalDrive1 0x002d1400 -> ok\n"
            "DeviceIoControl \\\\.\\PhysicalDrive1 0x00070050 -> error 122\n"
            "DeviceIoControl ? 0x0007400c -> error 6\n"
            "CreateFile \\\\.\\X: access=0x00000000 -> error 2\n"
            "CreateFile \\\\.\\C: access=0x00000000 -> ok\n"
            "DeviceIoControl \\\\.\\C: 0x00560000 -> ok\n"
            "QueryDosDevice C: -> 25\n"
            "QueryDosDevice Z: -> error 2\n"
            "QueryDosDevice * size=16 -> 4\n"
            "QueryDosDevice * size=2 -> error 122\n"
            "popen mountvol.exe 2>NUL\n"
            "system exit 0\n"
            "CreateFile " +
                file +
                " access=0xc0000000 -> ok\n"
                "WriteFile " +
                file +
                " 6 -> ok\n"
                "ReadFile " +
                file +
                " 32 -> ok 0\n"
                "ReadFile \\\\.\\PhysicalDrive1 32 -> error 1\n"
                "WriteFile \\\\.\\PhysicalDrive1 4 -> error 1\n"
                "CreateFile " +
                dir.path().string() + "\\none.ini access=0x80000000 -> error 2\n");
}

TEST(Trace, FollowsTheEnvironmentAndReportsAnUnwritableFile) {
  test::TempDir dir;
  const std::string image = dir.write("host.json", "{}");
  std::string error;
  ::setenv("VOXMIRA_TRACE", dir.file("no/trace.txt").c_str(), 1);
  EXPECT_EQ(make_host_image_backend(image, error), nullptr);
  EXPECT_EQ(error, "voxmira: trace file '" + dir.file("no/trace.txt") +
                       "': cannot be opened (No such file or directory)");
  ::setenv("VOXMIRA_TRACE", dir.file("trace.txt").c_str(), 1);
  auto b = make_host_image_backend(image, error);
  ASSERT_NE(b, nullptr);
  b->query_dos_device_a("A:", nullptr, 0);
  auto empty = make_empty_host_backend();
  empty->query_dos_device_a("B:", nullptr, 0);
  ::unsetenv("VOXMIRA_TRACE");
  auto quiet = make_host_image_backend(image, error);
  quiet->query_dos_device_a("C:", nullptr, 0);
  EXPECT_EQ(dir.read("trace.txt"), "QueryDosDevice A: -> error 2\nQueryDosDevice B: -> error 2\n");
}

}  // namespace
}  // namespace vox::plat::hostimage
