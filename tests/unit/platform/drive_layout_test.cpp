// Drive layout records: GET bytes of every style, SET back into a table, the control
// codes on a drive, and the image written back after a SET.
#include "platform/hostimage/drive_layout.h"

#include <gtest/gtest.h>

#include "platform/hostimage/le_bytes.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::ioctl;
using test::load_image;
using test::record;

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

TEST(DriveLayout, ControlCodesOnADrive) {
  HostImageBackend b(load_image(R"({"disks": [{"number": 1, "layout": {"signature": 7,
    "partitions": [{"offset": 512, "length": 1024}]}}, {"number": 3, "layout_error": 1117, "set_layout_error": 19}]})"));
  const Handle d1 = test::open(b, "\\\\.\\PhysicalDrive1"),
               d3 = test::open(b, "\\\\.\\PhysicalDrive3");
  constexpr std::uint32_t get = win::IOCTL_DISK_GET_DRIVE_LAYOUT,
                          get_ex = win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX;
  Bytes out(200, 0xEE);
  std::uint32_t n = 0;
  // Header and entries (8 + 32, 48 + 144 bytes) fit exactly; one byte less is too small.
  for (const auto& [code, size, error] :
       {std::tuple{get, 39u, 122u}, {get, 40u, 0u}, {get_ex, 191u, 122u}, {get_ex, 192u, 0u}}) {
    EXPECT_EQ(ioctl(b, d1, code, nullptr, 0, out.data(), size, &n), error) << size;
    EXPECT_TRUE(n == (error ? 0 : size) && out[size] == 0xEE) << size;
  }
  EXPECT_EQ(out[8], 7);  // the signature in the EX record
  for (auto code :
       {get, get_ex, win::IOCTL_DISK_SET_DRIVE_LAYOUT, win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX})
    EXPECT_EQ(ioctl(b, d3, code, out.data(), 200, out.data(), 200, &n),
              code == get || code == get_ex ? 1117u : 19u);
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
  b = make_host_image_backend(path, error);
  Bytes got(400);
  ASSERT_EQ(call(win::IOCTL_DISK_GET_DRIVE_LAYOUT, {}, &got), 0u);
  EXPECT_EQ(got, mbr);
  EXPECT_FALSE(std::filesystem::exists(dir.file("host.json.new")));
  // A GPT table with every field goes into the file and comes back the same.
  const Bytes gpt = build_drive_layout_ex(load_image(kGpt).disks[0].layout);
  ASSERT_EQ(call(win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX, gpt), 0u);
  b = make_host_image_backend(path, error);
  got.resize(400);
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
