// The backend's device side: what "\\.\" paths open, which control codes each handle
// takes, layouts through the handles with their write-back, DOS name queries.
#include <gtest/gtest.h>

#include "platform/backends.h"
#include "platform/hostimage/drive_layout.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::backend_for;
using test::load_image;

constexpr std::uint32_t kReadWrite = win::GENERIC_READ | win::GENERIC_WRITE;

const char* const kHost = R"({
  "disks": [{"number": 1, "inquiry": "00", "layout": {"signature": 7, "partitions": [{"offset": 512, "length": 1024}]}},
            {"number": 2, "open_error": 5}, {"number": 3, "layout_error": 1117, "set_layout_error": 19}],
  "dos_devices": [{"name": "C:", "target": "\\Device\\HarddiskVolume3"},
                  {"name": "D:", "target": "\\Device\\CdRom0"},
                  {"name": "E:", "target": "\\Device\\HarddiskVolume4"},
                  {"name": "PhysicalDrive7", "target": "\\Device\\Harddisk7\\DR7"},
                  {"name": "Volume{abc}", "target": ["\\Device\\HarddiskVolume3", "\\Device\\Other"]}],
  "volumes": [{"target": "\\Device\\HarddiskVolume3", "disks": [1]},
              {"target": "\\device\\harddiskvolume4", "disks": [2], "open_error": 1167}]
})";

TEST(BackendDevices, DevicePathsOpenWhatTheImageLists) {
  auto b = backend_for(kHost);
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"\\\\.\\PhysicalDrive1", 0},
      {"\\\\.\\physicaldrive1", 0},
      {"\\\\.\\PhysicalDrive01", 2},
      {"\\\\.\\PhysicalDrive2", 5},
      {"\\\\.\\PhysicalDrive9", 2},
      {"\\\\.\\PhysicalDrive", 2},
      {"\\\\.\\PhysicalDrive7", 0},
      {"\\\\.\\C:", 0},
      {"\\\\.\\c:", 0},
      {"\\\\.\\D:", 0},
      {"\\\\.\\E:", 1167},
      {"\\\\.\\Volume{abc}", 0},
      {"\\\\.\\X:", 2},
      {"\\\\.\\C:\\mnt\\x", 2},
      {"\\\\.\\", 2},
  };
  for (const auto& [path, error] : cases) {
    b->set_last_error(99);
    const Handle h = b->create_file(path, kReadWrite, 3, win::OPEN_EXISTING, 0x80);
    EXPECT_EQ(h != kInvalidHandle, error == 0) << path;
    EXPECT_EQ(b->get_last_error(), error) << path;
    if (h != kInvalidHandle) {
      EXPECT_TRUE(b->close_handle(h));
    }
  }
}

TEST(BackendDevices, ControlCodesFollowTheHandleKindAndAccess) {
  auto b = backend_for(kHost);
  const Handle disk = b->create_file("\\\\.\\PhysicalDrive1", kReadWrite, 3, 3, 0);
  const Handle disk_no_access = b->create_file("\\\\.\\PhysicalDrive1", 0, 3, 3, 0);
  const Handle disk_read = b->create_file("\\\\.\\PhysicalDrive1", win::GENERIC_READ, 3, 3, 0);
  const Handle volume = b->create_file("\\\\.\\C:", 0, 3, 3, 0);
  const Handle cdrom = b->create_file("\\\\.\\D:", 0, 3, 3, 0);
  const Handle other_disk = b->create_file("\\\\.\\PhysicalDrive7", kReadWrite, 3, 3, 0);
  Bytes out(win::kLayoutExBufferSize);
  Bytes in(64);
  struct Case {
    const char* what;
    Handle h;
    std::uint32_t code;
    std::uint32_t error;
  };
  const Case cases[] = {
      {"extents of a volume", volume, win::IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, 0},
      {"extents of a disk", disk, win::IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, 1},
      {"extents of a CD-ROM", cdrom, win::IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, 1},
      {"pass-through on a volume", volume, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, 5},
      {"layout of a volume", volume, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, 1},
      {"layout of a DOS name without disk", other_disk, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, 1},
      {"unknown code", disk, 0x002D0C14, 1},
      {"GET EX needs no access", disk_no_access, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, 0},
      {"GET needs read access", disk_no_access, win::IOCTL_DISK_GET_DRIVE_LAYOUT, 5},
      {"GET with read access", disk_read, win::IOCTL_DISK_GET_DRIVE_LAYOUT, 0},
      {"SET needs write access", disk_read, win::IOCTL_DISK_SET_DRIVE_LAYOUT, 5},
      {"pass-through needs both", disk_read, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, 5},
      {"property query needs none", disk_no_access, win::IOCTL_STORAGE_QUERY_PROPERTY, 50},
      {"closed handle", 12345, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, 6},
  };
  for (const Case& c : cases) {
    b->set_last_error(0);
    std::uint32_t returned = 99;
    const bool ok = b->device_io_control(c.h, c.code, in.data(), 12, out.data(),
                                         static_cast<std::uint32_t>(out.size()), &returned);
    EXPECT_EQ(ok, c.error == 0) << c.what;
    EXPECT_EQ(b->get_last_error(), c.error) << c.what;
    if (!ok) {
      EXPECT_EQ(returned, 0u) << c.what;
    }
  }
  for (Handle h : {disk, disk_no_access, disk_read, volume, cdrom, other_disk}) {
    EXPECT_TRUE(b->close_handle(h));
  }
  EXPECT_FALSE(b->close_handle(disk));
  EXPECT_EQ(b->get_last_error(), 6u);
}

TEST(BackendDevices, LayoutGetBoundsAndErrors) {
  auto b = backend_for(kHost);
  const Handle d1 = b->create_file("\\\\.\\PhysicalDrive1", kReadWrite, 3, 3, 0);
  const Handle d3 = b->create_file("\\\\.\\PhysicalDrive3", kReadWrite, 3, 3, 0);
  Bytes out(200, 0xEE);
  std::uint32_t returned = 0;
  ASSERT_TRUE(b->device_io_control(d1, win::IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, out.data(), 40,
                                   &returned));
  EXPECT_EQ(returned, 40u);
  EXPECT_EQ(out[4], 7);
  EXPECT_EQ(out[40], 0xEE);
  EXPECT_FALSE(b->device_io_control(d1, win::IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, out.data(),
                                    39, &returned));
  EXPECT_EQ(b->get_last_error(), 122u);
  EXPECT_FALSE(b->device_io_control(d1, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, out.data(),
                                    191, &returned));
  EXPECT_EQ(b->get_last_error(), 122u);
  ASSERT_TRUE(b->device_io_control(d1, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, out.data(),
                                   192, nullptr));
  for (std::uint32_t code :
       {win::IOCTL_DISK_GET_DRIVE_LAYOUT, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX}) {
    EXPECT_FALSE(b->device_io_control(d3, code, nullptr, 0, out.data(), 200, &returned));
    EXPECT_EQ(b->get_last_error(), 1117u);
  }
  for (std::uint32_t code :
       {win::IOCTL_DISK_SET_DRIVE_LAYOUT, win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX}) {
    EXPECT_FALSE(b->device_io_control(d3, code, out.data(), 200, nullptr, 0, &returned));
    EXPECT_EQ(b->get_last_error(), 19u);
  }
}

TEST(BackendDevices, SetWritesTheImageBackKeepingEverythingElse) {
  test::TempDir dir;
  const std::string path = dir.write("host.json", R"({
  "_note": "kept",
  "disks": [
    {"number": 1, "layout": {"signature": 7}, "inquiry": "00 01"},
    {"number": 2, "inquiry": "aa   bb"}
  ],
  "pairs": [0.5]
})");
  std::string error;
  auto b = make_host_image_backend(path, error);
  ASSERT_NE(b, nullptr) << error;
  const Handle d1 = b->create_file("\\\\.\\PhysicalDrive1", kReadWrite, 3, 3, 0);
  const Handle d2 = b->create_file("\\\\.\\PhysicalDrive2", kReadWrite, 3, 3, 0);

  DiskLayout gpt;
  gpt.style = LayoutStyle::gpt;
  ASSERT_TRUE(parse_guid_text("00112233-4455-6677-8899-AABBCCDDEEFF", gpt.disk_id));
  const Bytes set = build_drive_layout_ex(gpt);
  ASSERT_TRUE(b->device_io_control(d1, win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX, set.data(),
                                   static_cast<std::uint32_t>(set.size()), nullptr, 0, nullptr));
  EXPECT_EQ(dir.read("host.json"), R"({
  "_note": "kept",
  "disks": [
    {
      "number": 1,
      "layout": {
        "style": "gpt",
        "disk_id": "00112233-4455-6677-8899-AABBCCDDEEFF",
        "partitions": []
      },
      "inquiry": "00 01"
    },
    {
      "number": 2,
      "inquiry": "aa   bb"
    }
  ],
  "pairs": [
    0.5
  ]
}
)");
  EXPECT_FALSE(std::filesystem::exists(dir.file("host.json.new")));
  Bytes got(set.size() + 16);
  std::uint32_t returned = 0;
  ASSERT_TRUE(b->device_io_control(d1, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, got.data(),
                                   static_cast<std::uint32_t>(got.size()), &returned));
  EXPECT_EQ(Bytes(got.begin(), got.begin() + returned), set);

  // A second disk gets a layout key of its own; the file reloads to the same records.
  const Bytes legacy = build_drive_layout(load_image(R"({"disks": [{"number": 0, "layout":
    {"signature": 9, "partitions": [{"offset": 32256, "length": 512, "boot": true}]}}]})")
                                              .disks[0]
                                              .layout);
  ASSERT_TRUE(b->device_io_control(d2, win::IOCTL_DISK_SET_DRIVE_LAYOUT, legacy.data(),
                                   static_cast<std::uint32_t>(legacy.size()), nullptr, 0, nullptr));
  auto reloaded = make_host_image_backend(path, error);
  ASSERT_NE(reloaded, nullptr) << error;
  const Handle r1 = reloaded->create_file("\\\\.\\PhysicalDrive1", kReadWrite, 3, 3, 0);
  const Handle r2 = reloaded->create_file("\\\\.\\PhysicalDrive2", kReadWrite, 3, 3, 0);
  ASSERT_TRUE(reloaded->device_io_control(r1, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0,
                                          got.data(), static_cast<std::uint32_t>(got.size()),
                                          &returned));
  EXPECT_EQ(Bytes(got.begin(), got.begin() + returned), set);
  ASSERT_TRUE(reloaded->device_io_control(r2, win::IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0,
                                          got.data(), static_cast<std::uint32_t>(got.size()),
                                          &returned));
  EXPECT_EQ(Bytes(got.begin(), got.begin() + returned), legacy);
}

TEST(BackendDevices, FailedSetLeavesFileAndTableAlone) {
  test::TempDir dir;
  const std::string text = R"({"disks": [{"number": 1, "layout": {"signature": 7}}]})";
  const std::string path = dir.write("host.json", text);
  std::string error;
  auto b = make_host_image_backend(path, error);
  ASSERT_NE(b, nullptr) << error;
  const Handle d1 = b->create_file("\\\\.\\PhysicalDrive1", kReadWrite, 3, 3, 0);
  Bytes set(8, 0);
  set[4] = 9;
  // Too short for its PartitionCount: refused before anything is written.
  set[0] = 1;
  EXPECT_FALSE(b->device_io_control(d1, win::IOCTL_DISK_SET_DRIVE_LAYOUT, set.data(), 8, nullptr, 0,
                                    nullptr));
  EXPECT_EQ(b->get_last_error(), 87u);
  // The new file cannot be written: the call fails, nothing changes.
  set[0] = 0;
  std::filesystem::create_directory(dir.file("host.json.new"));
  EXPECT_FALSE(b->device_io_control(d1, win::IOCTL_DISK_SET_DRIVE_LAYOUT, set.data(), 8, nullptr, 0,
                                    nullptr));
  EXPECT_EQ(b->get_last_error(), 5u);
  EXPECT_EQ(dir.read("host.json"), text);
  Bytes got(8);
  ASSERT_TRUE(b->device_io_control(d1, win::IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, got.data(), 8,
                                   nullptr));
  EXPECT_EQ(got[4], 7);
}

TEST(BackendDevices, QueryDosDeviceOfOneName) {
  auto b = backend_for(kHost);
  struct Case {
    const char* name;
    std::uint32_t size;
    std::string stored;
    std::uint32_t error;
  };
  const std::string c_target("\\Device\\HarddiskVolume3\0\0", 25);
  const Case cases[] = {
      {"C:", 100, c_target, 0},
      {"c:", 25, c_target, 0},
      {"C:", 24, "", 122},
      {"Volume{abc}", 100, std::string("\\Device\\HarddiskVolume3\0\\Device\\Other\0\0", 39), 0},
      {"Z:", 100, "", 2},
      {"C:\\", 100, "", 2},
      {"", 100, "", 2},
  };
  for (const Case& c : cases) {
    std::string buffer(100, '#');
    b->set_last_error(0);
    const std::uint32_t n = b->query_dos_device_a(c.name, buffer.data(), c.size);
    EXPECT_EQ(n, c.stored.size()) << c.name;
    EXPECT_EQ(buffer.substr(0, n), c.stored) << c.name;
    EXPECT_EQ(buffer[n], '#') << c.name;
    EXPECT_EQ(b->get_last_error(), c.error) << c.name;
  }
}

TEST(BackendDevices, QueryDosDeviceOfTheWholeList) {
  auto b = backend_for(kHost);
  const std::u16string list(u"C:\0D:\0E:\0PhysicalDrive7\0Volume{abc}\0\0", 37);
  std::u16string buffer(64, u'#');
  EXPECT_EQ(b->query_dos_device_list_w(buffer.data(), 64), 37u);
  EXPECT_EQ(buffer.substr(0, 37), list);
  EXPECT_EQ(buffer[37], u'#');
  EXPECT_EQ(b->query_dos_device_list_w(buffer.data(), 37), 37u);
  EXPECT_EQ(b->query_dos_device_list_w(buffer.data(), 36), 0u);
  EXPECT_EQ(b->get_last_error(), 122u);
  EXPECT_EQ(b->query_dos_device_list_w(nullptr, 100), 0u);
  EXPECT_EQ(b->get_last_error(), 122u);
  std::string narrow(64, '#');
  EXPECT_EQ(b->query_dos_device_a(nullptr, narrow.data(), 64), 37u);
  EXPECT_EQ(narrow.substr(0, 37), std::string("C:\0D:\0E:\0PhysicalDrive7\0Volume{abc}\0\0", 37));

  auto failing =
      backend_for(R"({"dos_list_error": 8, "dos_devices": [{"name": "C:", "target": "x"}]})");
  EXPECT_EQ(failing->query_dos_device_list_w(buffer.data(), 64), 0u);
  EXPECT_EQ(failing->get_last_error(), 8u);
  EXPECT_EQ(failing->query_dos_device_a(nullptr, narrow.data(), 64), 0u);
  EXPECT_EQ(failing->query_dos_device_a("C:", narrow.data(), 64), 3u);  // one name still resolves
  auto empty = backend_for("{}");
  EXPECT_EQ(empty->query_dos_device_list_w(buffer.data(), 1), 1u);
  EXPECT_EQ(buffer[0], u'\0');
}

}  // namespace
}  // namespace vox::plat::hostimage
