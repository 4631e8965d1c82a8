// The backend's device side: what "\\.\" paths open, which control codes each handle
// takes, DOS names, the pass-through, property queries, volume extents and drive layouts
// (records of every style, SET back into a table and into the image file).
#include <gtest/gtest.h>

#include <array>

#include "platform/hostimage/drive_layout.h"
#include "platform/hostimage/le_bytes.h"
#include "platform/hostimage/scsi_device.h"
#include "platform/hostimage/storage_property.h"
#include "platform/hostimage/volume_extents.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::ioctl;
using test::load_image;
using test::open;
using test::record;

const char* const kHost = R"({"disks": [{"number": 1, "layout": {"signature": 7, "partitions": [
  {"offset": 512, "length": 1024}]}}, {"number": 2, "open_error": 5}, {"number": 3, "layout_error": 1117,
  "set_layout_error": 19}],
  "dos_devices": [{"name": "C:", "target": "\\Device\\HarddiskVolume3"}, {"name": "D:", "target": "\\Device\\CdRom0"},
    {"name": "E:", "target": "\\Device\\HarddiskVolume4"}, {"name": "PhysicalDrive7", "target": "\\Device\\Tape0"},
    {"name": "Volume{abc}", "target": ["\\Device\\HarddiskVolume3", "\\Device\\Other"]}],
  "volumes": [{"target": "\\Device\\HarddiskVolume3", "disks": [1]},
              {"target": "\\device\\harddiskvolume4", "disks": [2], "open_error": 1167}]})";

TEST(BackendDevices, DevicePathsOpenWhatTheImageLists) {
  const std::pair<std::uint32_t, std::vector<std::string>> cases[] = {
      {0, {"PhysicalDrive1", "physicaldrive1", "PhysicalDrive7", "c:", "Volume{abc}"}},
      {2, {"PhysicalDrive01", "PhysicalDrive9", "PhysicalDrive", "X:", "C:\\mnt\\x", ""}},
      {5, {"PhysicalDrive2"}},
      {1167, {"E:"}}};
  HostImage image = test::load_image(kHost);
  for (bool indexed : {true, false}) {  // by the loader's index of disk numbers, or by search
    if (!indexed) image.disk_places.clear();
    HostImageBackend b(image);
    for (const auto& [error, names] : cases)
      for (const std::string& name : names) {
        const Handle h = open(b, "\\\\.\\" + name);
        EXPECT_EQ(h == kInvalidHandle ? b.get_last_error() : 0, error) << name;
      }
  }
}

// Extents on volumes only, layouts on disks; GET EX and the property query need no access,
// GET read access, SET write access, the pass-through both. A GET answers its header and
// entries (8 + 32, 48 + 144 bytes) when they fit, else nothing.
TEST(BackendDevices, ControlCodesFollowTheHandleKindAndAccess) {
  HostImageBackend b(test::load_image(kHost));
  const Handle none = open(b, "\\\\.\\PhysicalDrive1", 0), volume = open(b, "\\\\.\\C:", 0),
               read = open(b, "\\\\.\\PhysicalDrive1", win::GENERIC_READ),
               d3 = open(b, "\\\\.\\PhysicalDrive3");
  using namespace win;
  constexpr auto get = IOCTL_DISK_GET_DRIVE_LAYOUT, get_ex = IOCTL_DISK_GET_DRIVE_LAYOUT_EX;
  // Handle, control code, output size, error, bytes returned.
  const std::tuple<Handle, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t> cases[] = {
      {volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, 4096, 0, 32},
      {none, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, 4096, 1, 0},
      {volume, get_ex, 4096, 1, 0},
      {open(b, "\\\\.\\PhysicalDrive7"), get_ex, 4096, 1, 0},
      {none, 0x002D0C14, 4096, 1, 0},
      {none, get_ex, 191, 122, 0},
      {none, get_ex, 192, 0, 192},
      {none, get, 4096, 5, 0},
      {read, get, 39, 122, 0},
      {read, get, 40, 0, 40},
      {read, IOCTL_DISK_SET_DRIVE_LAYOUT, 4096, 5, 0},
      {read, IOCTL_SCSI_PASS_THROUGH_DIRECT, 4096, 5, 0},
      {none, IOCTL_STORAGE_QUERY_PROPERTY, 4096, 50, 0},
      {d3, get, 4096, 1117, 0},
      {d3, get_ex, 4096, 1117, 0},
      {d3, IOCTL_DISK_SET_DRIVE_LAYOUT, 4096, 19, 0},
      {d3, IOCTL_DISK_SET_DRIVE_LAYOUT_EX, 4096, 19, 0},
      {12345, get_ex, 4096, 6, 0}};
  Bytes out(4097), in(64);
  for (const auto& [h, code, size, error, returned] : cases) {
    std::uint32_t n = 0;
    std::fill(out.begin(), out.end(), 0xEE);
    EXPECT_EQ(ioctl(b, h, code, in.data(), 12, out.data(), size, &n), error) << h << " " << code;
    EXPECT_TRUE(n == returned && out[size] == 0xEE) << h << " " << code << " " << size;
  }
  EXPECT_TRUE(b.close_handle(none) && !b.close_handle(none) && b.get_last_error() == 6);
}

TEST(BackendDevices, QueryDosDevice) {
  HostImageBackend b(test::load_image(kHost));
  const std::string list("C:\0D:\0E:\0PhysicalDrive7\0Volume{abc}\0\0", 37);
  const std::tuple<const char*, std::uint32_t, std::string, std::uint32_t> cases[] = {
      {"c:", 25, std::string("\\Device\\HarddiskVolume3\0\0", 25), 0},
      {"C:", 24, "", 122},
      {"Volume{abc}", 100, std::string("\\Device\\HarddiskVolume3\0\\Device\\Other\0\0", 39), 0},
      {nullptr, 100, list, 0},
      {"Z:", 100, "", 2}};
  for (const auto& [name, size, stored, error] : cases) {
    std::string buffer(100, '#');
    b.set_last_error(0);
    const std::uint32_t n = b.query_dos_device_a(name, buffer.data(), size);
    EXPECT_EQ(buffer.substr(0, n + 1), stored + "#") << size;
    EXPECT_EQ(b.get_last_error(), error) << size;
  }
  std::u16string wide(64, u'#');  // the wide list, counted in UTF-16 units
  EXPECT_EQ(b.query_dos_device_list_w(wide.data(), 37), 37u);
  EXPECT_EQ(wide.substr(0, 38), std::u16string(list.begin(), list.end()) + u"#");
  EXPECT_TRUE(b.query_dos_device_list_w(wide.data(), 36) == 0 && b.get_last_error() == 122);
  HostImageBackend failing(
      test::load_image(R"({"dos_list_error": 8, "dos_devices": [{"name": "C:", "target": "x"}]})"));
  EXPECT_TRUE(failing.query_dos_device_list_w(wide.data(), 64) == 0 &&
              failing.get_last_error() == 8);
  std::string one(8, '#');
  EXPECT_EQ(failing.query_dos_device_a("C:", one.data(), 8), 3u);  // one name still resolves
}

Bytes sense(int key, int asc) {
  return record(18, "0:1=0x70 2:1=" + std::to_string(key) + " 7:1=10 12:1=" + std::to_string(asc));
}

TEST(PassThrough, AnswersWithinAllocationAndTransferLength) {
  // Data 1, 2, 3, ... as INQUIRY data and pages; a page with its own status and sense.
  Disk disk;
  for (int i = 1; i <= 300; ++i) disk.pages[0xE2].data.push_back(std::uint8_t(i));
  const Bytes& counting = disk.pages[0xE2].data;
  disk.inquiry.assign(counting.begin(), counting.begin() + 40);
  disk.pages[0xC0] = PageAnswer{{}, 2, sense(6, 0x29), 0};
  // CDB, transfer length, data bytes copied, zero bytes after them, sense.
  const std::tuple<std::array<int, 6>, std::uint32_t, std::uint32_t, std::uint32_t, Bytes> cases[] =
      {{{0x12, 0, 0, 0, 0xFF, 0}, 256, 40, 215, {}},              // data shorter than both limits
       {{0x12, 0, 0, 0, 0x10, 0}, 256, 16, 0, {}},                // allocation length 16
       {{0x12, 0, 0, 0, 0xFF, 0}, 8, 8, 0, {}},                   // transfer length 8
       {{0x12, 1, 0xE2, 2, 0xFF, 0}, 255, 255, 0, {}},            // allocation 0x02FF
       {{0x12, 1, 0x80, 0, 0xFF, 0}, 255, 0, 0, sense(5, 0x24)},  // page not listed
       {{0x12, 2, 0, 0, 0xFF, 0}, 255, 0, 0, sense(5, 0x24)},     // CmdDt
       {{0x00, 0, 0, 0, 0, 0}, 255, 0, 0, sense(5, 0x20)},        // other operation code
       {{0x12, 1, 0xC0, 0, 0xFF, 0}, 255, 0, 255, sense(6, 0x29)}};
  for (const auto& [cdb, transfer, moved, zeroed, want_sense] : cases) {
    SCOPED_TRACE(cdb[2] + 256 * cdb[4]);
    std::array<std::uint8_t, 512> buffer;
    buffer.fill(0xAA);
    auto block = test::inquiry_block({cdb[0], cdb[1], cdb[2], cdb[3], cdb[4], cdb[5]},
                                     buffer.data(), transfer);
    const IoResult r = run_pass_through(disk, &block, sizeof block.sptd, &block, sizeof block);
    const std::uint8_t status = want_sense.empty() ? 0 : 2;
    EXPECT_TRUE(r.error == 0 && r.scsi_status == status && block.sptd.ScsiStatus == status);
    EXPECT_EQ(r.returned, 56u + want_sense.size());
    EXPECT_EQ(Bytes(block.sense, block.sense + block.sptd.SenseInfoLength), want_sense);
    EXPECT_EQ(block.sense[want_sense.size()], 0);
    Bytes expected(counting.begin(), counting.begin() + moved);
    expected.resize(moved + zeroed, 0);
    expected.push_back(0xAA);  // nothing past the limit
    EXPECT_EQ(block.sptd.DataTransferLength, moved);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + expected.size()), expected);
  }
}

TEST(PassThrough, StatusSenseFailuresAndMalformedRecords) {
  Disk disk;
  disk.inquiry_status = 8;
  disk.inquiry_sense = {0x70, 0, 0x0B};
  disk.pages[0xC1].error = 1117;
  std::array<std::uint8_t, 256> buffer{};
  const auto run = [&](std::initializer_list<int> cdb, auto spoil) {
    auto block = test::inquiry_block(cdb, buffer.data(), 255);
    std::uint32_t in = sizeof block.sptd, out = sizeof block;
    spoil(block.sptd, in, out);
    const IoResult r = run_pass_through(disk, &block, in, &block, out);
    return std::tuple{r.error, block.sptd.ScsiStatus, Bytes(block.sense, block.sense + 9)};
  };
  const auto as_is = [](auto&, auto&, auto&) {};
  const std::initializer_list<int> standard{0x12, 0, 0, 0, 0xFF, 0},
      unlisted{0x12, 1, 0x80, 0, 0xFF, 0};
  EXPECT_EQ(run(standard, as_is), std::tuple(0u, 8, Bytes{0x70, 0, 0x0B, 0, 0, 0, 0, 0, 0}));
  const auto short_sense = [](auto& r, auto&, auto&) { r.SenseInfoLength = 8; };  // sense cut there
  EXPECT_EQ(run(unlisted, short_sense), std::tuple(0u, 2, Bytes{0x70, 0, 5, 0, 0, 0, 0, 0x0A, 0}));
  EXPECT_EQ(std::get<0>(run({0x12, 1, 0xC1, 0, 0xFF, 0}, as_is)), 1117u);
  disk.inquiry_error = 21;  // the standard INQUIRY fails, the pages still answer
  EXPECT_EQ(std::get<0>(run(standard, as_is)), 21u);
  EXPECT_EQ(std::get<1>(run(unlisted, as_is)), 2);
  const auto error = [&](auto spoil) { return std::get<0>(run(unlisted, spoil)); };
  EXPECT_EQ(error([](auto&, auto& in, auto&) { in = 55; }), 87u);
  EXPECT_EQ(error([](auto& r, auto&, auto&) { r.CdbLength = 17; }), 87u);
  EXPECT_EQ(error([](auto& r, auto&, auto&) { r.SenseInfoOffset = 8; }), 87u);  // over the record
  EXPECT_EQ(error([](auto& r, auto&, auto&) { r.DataBuffer = nullptr; }), 998u);
}

TEST(StorageProperty, DescriptorsRefusalsAndShortBuffers) {
  const Bytes raw{0x00, 0x80, 0x05, 0x02, 0x23, 0x00, 0x00, 0x02, 0x41, 0x42};
  const Bytes device = build_device_descriptor(raw);
  EXPECT_EQ(Bytes(device.begin(), device.begin() + 36),
            record(36, "0:4=40 4:4=46 10:1=1 11:1=1 28:4=1 32:4=10"));
  EXPECT_EQ(Bytes(device.begin() + 36, device.end()), raw);
  EXPECT_EQ(build_device_descriptor({}), record(40, "0:4=40 4:4=40 28:4=1"));  // the whole header
  EXPECT_EQ(build_id_descriptor({{1, 3, 0, Bytes(16, 0x60)}, {2, 1, 1, Bytes(21, 0x41)}}),
            record(84,
                   "0:4=16 4:4=84 8:4=2 12:4=1 16:4=3 20:2=16 22:2=32 28:16*0x60 "
                   "44:4=2 48:4=1 52:2=21 54:2=40 56:4=1 60:21*0x41"));  // entries 8-aligned
  Disk with, without;
  with.device_property = Bytes(40, 1);
  with.id_property = std::vector<StorageIdentifier>{};
  // Disk, property id, query type, input size, output size, error, bytes returned.
  const std::tuple<const Disk*, int, int, int, int, std::uint32_t, std::uint32_t> cases[] = {
      {&with, 0, 0, 12, 512, 0, 76},    {&without, 0, 0, 12, 512, 50, 0},
      {&without, 2, 0, 12, 512, 50, 0}, {&with, 2, 0, 12, 512, 0, 16},
      {&with, 6, 0, 12, 512, 50, 0},    {&with, 0, 0, 8, 512, 87, 0},
      {&with, 0, 7, 12, 512, 87, 0},    {&with, 0, 1, 12, 512, 0, 0},
      {&without, 2, 1, 12, 512, 50, 0}, {&with, 0, 0, 12, 7, 122, 0},
      {&with, 0, 0, 12, 8, 0, 8},       {&with, 0, 0, 12, 50, 0, 50}};
  for (const auto& [disk, id, type, in_size, out_size, error, returned] : cases) {
    const win::StoragePropertyQuery q{std::uint32_t(id), std::uint32_t(type), {0, 0, 0, 0}};
    Bytes out(513, 0xEE);
    const IoResult r = query_storage_property(*disk, &q, in_size, out.data(), out_size);
    EXPECT_TRUE(r.error == error && r.returned == returned && out[r.returned] == 0xEE)
        << id << type << in_size << out_size;
  }
}

TEST(VolumeExtents, ListsTheDisksAndKeepsTheTrueCount) {
  const Volume two{"\\Device\\HarddiskVolume3", {1, 2}, 0, 0};
  Bytes out(win::kDiskExtentsBufferSize + 1, 0xEE);
  const auto size = static_cast<std::uint32_t>(out.size() - 1);
  IoResult r = volume_disk_extents(two, out.data(), size);
  EXPECT_TRUE(r.error == 0 && r.returned == 56);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 57),
            record(57,
                   "0:4=2 8:4=1 16:8=0x100000 24:8=0x40000000 32:4=2 40:8=0x100000 "
                   "48:8=0x40000000 56:1=0xEE"));
  // More disks than the buffer holds: the true count, the records that fit.
  r = volume_disk_extents({"\\Device\\V", std::vector<std::uint32_t>(1500, 7), 0, 0}, out.data(),
                          size);
  EXPECT_TRUE(r.error == 0 && r.returned == 24584 && out[0] == 0xDC && out[1] == 5);
  EXPECT_TRUE(out[8 + 1023 * 24] == 7 && out[size] == 0xEE);
  EXPECT_EQ(volume_disk_extents(two, out.data(), 7).error, 122u);
  EXPECT_EQ(volume_disk_extents({"\\Device\\V", {1}, 0, 234}, out.data(), size).error, 234u);
}

void put_guid(Bytes& b, std::size_t at, const char* text) {
  Guid g{};
  EXPECT_TRUE(parse_guid_text(text, g));
  std::copy(g.begin(), g.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

const char* const kMbr =
    R"({"disks": [{"number": 1, "layout": {"signature": 305419896, "partitions": [
  {"offset": 1048576, "length": 104857600, "type": 7, "boot": true},
  {"number": 5, "offset": 105906176, "length": 1073741824, "type": "0x0f", "hidden_sectors": 63}]}}]})";
const char* const kGpt = R"({"disks": [{"number": 1, "layout": {"style": "gpt",
  "disk_id": "00112233-4455-6677-8899-AABBCCDDEEFF", "partitions": [{"offset": 1048576,
  "length": 104857600, "type": "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", "id": "01234567-89AB-CDEF-0123-456789ABCDEF",
  "attributes": "0x8000000000000001", "name": "Basic data partition"}]}}]})";

TEST(DriveLayout, RecordsOfEveryStyle) {
  const DiskLayout mbr = load_image(kMbr).disks[0].layout, gpt = load_image(kGpt).disks[0].layout;
  EXPECT_EQ(build_drive_layout(mbr),
            record(72,
                   "0:4=2 4:4=0x12345678 8:8=1048576 16:8=104857600 24:4=2048 28:4=1 32:1=7 33:1=1 "
                   "34:1=1 40:8=105906176 48:8=1073741824 56:4=63 60:4=5 64:1=0x0F"));
  EXPECT_EQ(build_drive_layout_ex(mbr),
            record(336,
                   "4:4=2 8:4=0x12345678 56:8=1048576 64:8=104857600 72:4=1 80:1=7 81:1=1 82:1=1 "
                   "84:4=2048 200:8=105906176 208:8=1073741824 216:4=5 224:1=0x0F 228:4=63"));
  Bytes ex = record(192,
                    "0:4=1 4:4=1 24:8=17408 32:8=105888768 40:4=128 48:4=1 56:8=1048576 "
                    "64:8=104857600 72:4=1 112:8=0x8000000000000001");
  put_guid(ex, 8, "00112233-4455-6677-8899-AABBCCDDEEFF");
  put_guid(ex, 80, "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7");
  put_guid(ex, 96, "01234567-89AB-CDEF-0123-456789ABCDEF");
  for (std::size_t i = 0; i < 20; ++i) ex[120 + 2 * i] = std::uint8_t("Basic data partition"[i]);
  EXPECT_EQ(build_drive_layout_ex(gpt), ex);
  // The legacy record has no GPT form: signature 0, entries as recognized type 0x07.
  EXPECT_EQ(build_drive_layout(gpt),
            record(40, "0:4=1 8:8=1048576 16:8=104857600 28:4=1 32:1=7 34:1=1"));
  const HostImage image = load_image(R"({"disks": [{"number": 1},
    {"number": 2, "layout": {"style": "raw", "partitions": [{"offset": 512, "length": 1024}]}}]})");
  EXPECT_EQ(build_drive_layout(image.disks[0].layout), Bytes(8, 0));
  EXPECT_EQ(build_drive_layout_ex(image.disks[1].layout),
            record(192, "0:4=2 4:4=1 48:4=2 56:8=512 64:8=1024 72:4=1"));
}

// A GPT table without its own usable length takes the end of its last partition less
// the usable offset, held at the 64-bit bounds whatever an image or a SET holds; a SET
// keeps the disk's own usable range and refuses input too short for its entries.
TEST(DriveLayout, UsableRangeAndShortSetInput) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max(), kMin = -kMax - 1;
  DiskLayout layout, back;
  layout.style = LayoutStyle::gpt;
  layout.partitions.resize(1);
  using Row = std::array<std::int64_t, 4>;  // usable offset, offset, length, usable length
  for (const auto& [usable_offset, offset, length, usable_length] :
       {Row{17408, kMax - 10, 100, kMax - 17408}, Row{17408, kMin, kMin, 0}, Row{kMin, 0, 0, kMax},
        Row{1 << 20, 512, 1024, 0}}) {
    layout.usable_offset = usable_offset;
    layout.partitions[0].offset = offset;
    layout.partitions[0].length = length;
    EXPECT_EQ(get_le<std::int64_t>(build_drive_layout_ex(layout), 32), usable_length) << offset;
  }
  layout.usable_length = 1000000000;
  Bytes ex = build_drive_layout_ex(layout);
  put_le<std::int64_t>(std::span(ex), 32, 5);
  ASSERT_EQ(parse_drive_layout_ex(ex, layout, back), 0u);
  EXPECT_EQ(back.usable_length, 1000000000);
  const std::tuple<bool, Bytes> cases[] = {
      {false, Bytes(7, 0)}, {false, record(71, "0:4=2")}, {false, record(8, "0:4=0xFFFFFFFF")},
      {true, Bytes(47, 0)}, {true, record(335, "4:4=2")}, {true, record(48, "0:4=3")}};
  for (const auto& [is_ex, in] : cases) {
    back.signature = 77;
    EXPECT_EQ(is_ex ? parse_drive_layout_ex(in, {}, back) : parse_drive_layout(in, {}, back), 87u);
    EXPECT_EQ(back.signature, 77u) << in.size();  // untouched
  }
}

TEST(DriveLayout, SetWritesTheImageBack) {
  test::TempDir dir;
  const std::string path =
      dir.write("host.json", R"({"_note": "kept", "disks": [{"number": 1, "inquiry": "aa  bb"}]})");
  std::string error;
  auto b = make_host_image_backend(path, error);
  ASSERT_NE(b, nullptr) << error;
  const auto call = [&](std::uint32_t code, const Bytes& in, Bytes* out = nullptr) {
    std::uint32_t n = 0;
    const std::uint32_t e =
        ioctl(*b, test::open(*b, "\\\\.\\PhysicalDrive1"), code, in.data(),
              std::uint32_t(in.size()), out ? out->data() : nullptr, out ? 400 : 0, &n);
    if (out != nullptr) out->resize(n);
    return e;
  };
  const Bytes mbr =
      record(40, "0:4=1 4:4=9 8:8=32256 16:8=512 24:4=63 28:4=1 32:1=7 33:1=1 34:1=1");
  ASSERT_EQ(call(win::IOCTL_DISK_SET_DRIVE_LAYOUT, mbr), 0u);
  // Written back through a new file; the other keys keep their meaning, the table reads back.
  const std::string text = dir.read("host.json");
  EXPECT_TRUE(text.find(R"("_note": "kept")") != text.npos &&
              text.find(R"("aa  bb")") != text.npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("host.json.new")));
  // A GPT table with every field goes into the file and comes back the same.
  const Bytes gpt = build_drive_layout_ex(load_image(kGpt).disks[0].layout);
  ASSERT_EQ(call(win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX, gpt), 0u);
  b = make_host_image_backend(path, error);
  Bytes got(400);
  ASSERT_EQ(call(win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, {}, &got), 0u);
  EXPECT_EQ(got, gpt);
  // A SET that fails leaves the file and the table alone.
  const std::string before = dir.read("host.json");
  EXPECT_EQ(call(win::IOCTL_DISK_SET_DRIVE_LAYOUT, record(8, "0:4=1")), 87u);
  std::filesystem::create_directory(dir.file("host.json.new"));  // the new file cannot be written
  EXPECT_EQ(call(win::IOCTL_DISK_SET_DRIVE_LAYOUT, mbr), 5u);
  EXPECT_EQ(dir.read("host.json"), before);
}

}  // namespace
}  // namespace vox::plat::hostimage
