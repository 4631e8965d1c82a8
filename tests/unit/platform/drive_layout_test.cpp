// Drive layout records: GET bytes of every style, SET back into a table, the JSON
// written for a table.
#include "platform/hostimage/drive_layout.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/hostimage/layout_records.h"
#include "platform/hostimage/le_bytes.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::load_image;

// Expected records are written field by field into zeroed buffers, at the offsets of
// the Windows headers (spelled out here, independent of layout_records.h).
struct Record {
  Bytes b;
  explicit Record(std::size_t n) : b(n, 0) {}
  Record& u8(std::size_t at, std::uint8_t v) { return b[at] = v, *this; }
  Record& u16(std::size_t at, std::uint16_t v) { return put_le(std::span(b), at, v), *this; }
  Record& u32(std::size_t at, std::uint32_t v) { return put_le(std::span(b), at, v), *this; }
  Record& i64(std::size_t at, std::int64_t v) { return put_le(std::span(b), at, v), *this; }
  Record& u64(std::size_t at, std::uint64_t v) { return put_le(std::span(b), at, v), *this; }
  Record& guid(std::size_t at, const char* text) {
    Guid g{};
    EXPECT_TRUE(parse_guid_text(text, g));
    std::copy(g.begin(), g.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return *this;
  }
};

constexpr const char* kBasicData = "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7";
constexpr const char* kDiskId = "00112233-4455-6677-8899-AABBCCDDEEFF";
constexpr const char* kPartId = "01234567-89AB-CDEF-0123-456789ABCDEF";

const char* const kMbrImage = R"({"disks": [{"number": 1, "layout": {"style": "mbr",
  "signature": 305419896, "partitions": [
    {"offset": 1048576, "length": 104857600, "type": 7, "boot": true},
    {"number": 5, "offset": 105906176, "length": 1073741824, "type": "0x0f", "hidden_sectors": 63}]}}]})";

const char* const kGptImage = R"({"disks": [{"number": 1, "layout": {"style": "gpt",
  "disk_id": "00112233-4455-6677-8899-AABBCCDDEEFF", "partitions": [
    {"offset": 1048576, "length": 104857600, "type": "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7",
     "id": "01234567-89AB-CDEF-0123-456789ABCDEF", "attributes": "0x8000000000000001",
     "name": "Basic data partition"}]}}]})";

TEST(DriveLayout, MbrTableInBothRecords) {
  const DiskLayout layout = load_image(kMbrImage).disks[0].layout;
  Record legacy(8 + 2 * 32);
  legacy.u32(0, 2).u32(4, 0x12345678);
  legacy.i64(8, 1048576)
      .i64(16, 104857600)
      .u32(24, 2048)
      .u32(28, 1)
      .u8(32, 0x07)
      .u8(33, 1)
      .u8(34, 1);
  legacy.i64(40, 105906176).i64(48, 1073741824).u32(56, 63).u32(60, 5).u8(64, 0x0F);
  EXPECT_EQ(build_drive_layout(layout), legacy.b);

  Record ex(48 + 2 * 144);
  ex.u32(0, 0).u32(4, 2).u32(8, 0x12345678);
  ex.u32(48, 0)
      .i64(56, 1048576)
      .i64(64, 104857600)
      .u32(72, 1)
      .u8(80, 0x07)
      .u8(81, 1)
      .u8(82, 1)
      .u32(84, 2048);
  ex.u32(192, 0).i64(200, 105906176).i64(208, 1073741824).u32(216, 5).u8(224, 0x0F).u32(228, 63);
  EXPECT_EQ(build_drive_layout_ex(layout), ex.b);
}

TEST(DriveLayout, GptTableInBothRecords) {
  const DiskLayout layout = load_image(kGptImage).disks[0].layout;
  Record ex(48 + 144);
  ex.u32(0, 1).u32(4, 1).guid(8, kDiskId).i64(24, 17408).i64(32, 105906176 - 17408).u32(40, 128);
  ex.u32(48, 1).i64(56, 1048576).i64(64, 104857600).u32(72, 1);
  ex.guid(80, kBasicData).guid(96, kPartId).u64(112, 0x8000000000000001u);
  const std::u16string name = u"Basic data partition";
  for (std::size_t i = 0; i < name.size(); ++i) ex.u16(120 + 2 * i, name[i]);
  EXPECT_EQ(build_drive_layout_ex(layout), ex.b);

  // The legacy record has no GPT form: signature 0, entries as recognized type 0x07.
  Record legacy(8 + 32);
  legacy.u32(0, 1).i64(8, 1048576).i64(16, 104857600).u32(28, 1).u8(32, 0x07).u8(34, 1);
  EXPECT_EQ(build_drive_layout(layout), legacy.b);
}

TEST(DriveLayout, RawAndEmptyTables) {
  const HostImage image = load_image(R"({"disks": [{"number": 1},
    {"number": 2, "layout": {"style": "raw", "partitions": [{"offset": 512, "length": 1024}]}},
    {"number": 3, "layout": {"style": "gpt", "usable_offset": 4096, "usable_length": 999}}]})");
  EXPECT_EQ(build_drive_layout(image.disks[0].layout), Bytes(8, 0));
  EXPECT_EQ(build_drive_layout_ex(image.disks[0].layout), Bytes(48, 0));
  Record raw(48 + 144);
  raw.u32(0, 2).u32(4, 1).u32(48, 2).i64(56, 512).i64(64, 1024).u32(72, 1);
  EXPECT_EQ(build_drive_layout_ex(image.disks[1].layout), raw.b);
  Record gpt(48);
  gpt.u32(0, 1).i64(24, 4096).i64(32, 999).u32(40, 128);
  EXPECT_EQ(build_drive_layout_ex(image.disks[2].layout), gpt.b);
}

// A GPT table without its own usable length takes it from the partitions: the end of
// the last one less the usable offset, held at the 64-bit bounds whatever offsets and
// lengths an image or a SET carries.
TEST(DriveLayout, UsableLengthOfExtremeEntriesIsHeldAtTheBounds) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  struct Case {
    const char* what;
    std::int64_t usable_offset, offset, length, usable_length;
  };
  const Case cases[] = {
      {"ordinary entry", 17408, 1048576, 4096, 1035264},
      {"end past the top", 17408, kMax - 10, 100, kMax - 17408},
      {"both negative, sum below the bottom", 17408, kMin + 10, -100, 0},
      {"largest negative pair", 17408, kMin, kMin, 0},
      {"negative usable offset", -100, kMax, 1, kMax},
      {"lowest usable offset, no space used", kMin, 0, 0, kMax},
      {"entry before the usable offset", 1 << 20, 512, 1024, 0},
  };
  for (const Case& c : cases) {
    DiskLayout layout;
    layout.style = LayoutStyle::gpt;
    layout.usable_offset = c.usable_offset;
    Partition p;
    p.offset = c.offset;
    p.length = c.length;
    layout.partitions.push_back(p);
    const Bytes ex = build_drive_layout_ex(layout);
    EXPECT_EQ(get_le<std::int64_t>(std::span<const std::uint8_t>(ex), 32), c.usable_length)
        << c.what;
  }
}

TEST(DriveLayout, SetReadsBackWhatGetGave) {
  const HostImage image = load_image(R"({"disks": [{"number": 1, "layout": {"style": "mbr",
    "signature": 305419896, "partitions": [{"offset": 1048576, "length": 4096, "type": 7,
    "id": "01234567-89AB-CDEF-0123-456789ABCDEF"}]}},
    {"number": 2, "layout": {"style": "gpt", "disk_id": "00112233-4455-6677-8899-AABBCCDDEEFF",
     "usable_offset": 17408, "usable_length": 1000000000, "partitions": [{"offset": 1048576,
     "length": 4096, "type": "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", "attributes": 7,
     "name": "0123456789012345678901234567890123\u00e9\u00e9"}]}},
    {"number": 3, "layout": {"style": "raw"}}]})");
  const DiskLayout empty;
  for (const Disk& disk : image.disks) {
    const Bytes ex = build_drive_layout_ex(disk.layout);
    DiskLayout back;
    ASSERT_EQ(parse_drive_layout_ex(ex, disk.layout, back), 0u);
    EXPECT_EQ(build_drive_layout_ex(back), ex) << disk.number;
    const Bytes legacy = build_drive_layout(disk.layout);
    ASSERT_EQ(parse_drive_layout(legacy, disk.layout, back), 0u);
    EXPECT_EQ(build_drive_layout(back), legacy) << disk.number;
  }
  // The usable range is the disk's own: a SET keeps it whatever the caller sends.
  DiskLayout back;
  Bytes ex = build_drive_layout_ex(image.disks[1].layout);
  put_le<std::int64_t>(std::span(ex), 32, 5);
  ASSERT_EQ(parse_drive_layout_ex(ex, image.disks[1].layout, back), 0u);
  EXPECT_EQ(back.usable_length, 1000000000);
  ASSERT_EQ(parse_drive_layout_ex(ex, empty, back), 0u);
  EXPECT_FALSE(back.usable_length.has_value());
}

TEST(DriveLayout, SetRefusesInputThatDoesNotHoldItsEntries) {
  const DiskLayout current;
  struct Case {
    const char* what;
    bool ex;
    Bytes in;
  };
  Record legacy_two(8 + 2 * 32);
  legacy_two.u32(0, 2);
  Record ex_two(48 + 2 * 144);
  ex_two.u32(4, 2);
  Record ex_style3(48);
  ex_style3.u32(0, 3);
  Record huge(8);
  huge.u32(0, 0xFFFFFFFFu);
  const Case cases[] = {
      {"legacy without header", false, Bytes(7, 0)},
      {"legacy one entry short", false, Bytes(legacy_two.b.begin(), legacy_two.b.end() - 1)},
      {"legacy count past any buffer", false, huge.b},
      {"EX without header", true, Bytes(47, 0)},
      {"EX one entry short", true, Bytes(ex_two.b.begin(), ex_two.b.end() - 144)},
      {"EX unknown style", true, ex_style3.b},
  };
  for (const Case& c : cases) {
    DiskLayout result;
    result.signature = 77;
    const std::uint32_t error = c.ex ? parse_drive_layout_ex(c.in, current, result)
                                     : parse_drive_layout(c.in, current, result);
    EXPECT_EQ(error, 87u) << c.what;
    EXPECT_EQ(result.signature, 77u) << c.what;  // untouched
  }
  DiskLayout result;
  EXPECT_EQ(parse_drive_layout(legacy_two.b, current, result), 0u);
  EXPECT_EQ(result.partitions.size(), 2u);
}

TEST(DriveLayout, JsonOfATableIsExplicit) {
  EXPECT_EQ(
      layout_to_json(load_image(kMbrImage).disks[0].layout).dump(),
      R"({"style":"mbr","signature":305419896,"partitions":[)"
      R"({"number":1,"offset":1048576,"length":104857600,"type":7,"boot":true,"hidden_sectors":2048},)"
      R"({"number":5,"offset":105906176,"length":1073741824,"type":15,"boot":false,"hidden_sectors":63}]})");
  EXPECT_EQ(
      layout_to_json(load_image(kGptImage).disks[0].layout).dump(),
      R"({"style":"gpt","disk_id":"00112233-4455-6677-8899-AABBCCDDEEFF","partitions":[)"
      R"({"number":1,"offset":1048576,"length":104857600,)"
      R"("type":"EBD0A0A2-B9E5-4433-87C0-68B6B72699C7","id":"01234567-89AB-CDEF-0123-456789ABCDEF",)"
      R"("attributes":"0x8000000000000001","name":"Basic data partition"}]})");
  DiskLayout raw;
  raw.style = LayoutStyle::raw;
  raw.partitions.push_back(Partition{});
  raw.partitions[0].attributes = 5;
  EXPECT_EQ(layout_to_json(raw).dump(),
            R"({"style":"raw","partitions":[{"number":0,"offset":0,"length":0}]})");
}

}  // namespace
}  // namespace vox::plat::hostimage
