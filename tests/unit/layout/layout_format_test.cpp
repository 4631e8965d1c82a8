// The pure parts: record readers, range, dump and result lines, file header, disk tag,
// file name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "layout/layout_file_format.h"
#include "layout/layout_file_path.h"
#include "layout/layout_lines.h"
#include "layout/partition_dump.h"
#include "layout/usable_range.h"
#include "layout_test_host.h"

namespace vox {
namespace {

using test::Bytes;
using test::CannedEntry;
using test::kGuid;
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

TEST(LayoutRecords, ReadersStopAtTheEnd) {
  const Bytes b{1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(read_le32(b, 7), 0x0908u);
  EXPECT_EQ(read_le64(b, 1), 0x0908070605040302u);
  EXPECT_EQ(read_le64(b, SIZE_MAX - 2), 0u);  // offset + i must not wrap
  Bytes out(6, 0xEE);
  write_le32(out, 4, 0xAABBCCDD);
  EXPECT_EQ(out, (Bytes{0xEE, 0xEE, 0xEE, 0xEE, 0xDD, 0xCC}));
}

TEST(LayoutRecords, EntryCountIsBoundedByCountBytesAndBuffer) {
  struct Case {
    LayoutForm form;
    std::uint32_t count;
    std::size_t bytes, expected;
  } const cases[] = {
      {LayoutForm::Basic, 2, 8 + 64, 2},
      {LayoutForm::Basic, 5, 8 + 64, 2},
      {LayoutForm::Basic, 2, 8 + 63, 1},
      {LayoutForm::Basic, 3, 4, 0},
      {LayoutForm::Basic, 5000, 8 + 1100 * 32, 1024},
      {LayoutForm::Ex, 0xFFFFFFFF, 48 + 432, 3},
      {LayoutForm::Ex, 2, 48 + 287, 1},
      {LayoutForm::Ex, 2, 47, 0},
      {LayoutForm::Ex, 1025, 48 + 1025 * 144, 1024},
  };
  for (const Case& c : cases) {
    Bytes b(c.bytes + 8);
    test::put_le(b, c.form == LayoutForm::Ex ? 4 : 0, c.count, 4);
    b.resize(c.bytes);
    EXPECT_EQ(layout_entry_count(b, c.form), c.expected) << c.count << " in " << c.bytes;
  }
}

TEST(UsableRange, EndHoldsAtTheBounds) {
  struct Case {
    std::int64_t start, length, end;
  } const cases[] = {{1048576, 104857600, 105906176},
                     {kMax - 10, 10, kMax},
                     {kMax - 10, 11, kMax},
                     {1, kMax, kMax},
                     {kMin, -1, kMin},
                     {-5, kMin, kMin},
                     {kMax, kMin, -1}};
  for (const Case& c : cases) EXPECT_EQ(partition_end(c.start, c.length), c.end) << c.start;
}

TEST(UsableRange, CountsEntriesWithNumberOffsetAndLength) {
  struct Case {
    std::vector<CannedEntry> entries;
    std::int64_t start, end;
    std::uint32_t count;
  } const cases[] = {
      {{{1048576, 104857600, 1}, {105906176, 1073741824, 2}}, 1048576, 1179648000, 2},
      {{}, 0, 0, 0},
      {{{0, 100, 1}, {512, 0, 2}, {1024, 100, 0}, {2048, 512, 4}}, 2048, 2560, 1},
      {{{8192, 512, 1}, {1024, 100000, 2}, {2048, 10, 3}}, 1024, 101024, 3},
      {{{kMax - 100, 1000, 1}, {4096, 512, 2}}, 4096, kMax, 2},
      {{{-512, 512, 1}, {-2048, 1024, 2}}, -2048, -1024, 2},  // an end of 0 is replaced
  };
  for (const Case& c : cases) {
    const UsableRange b = compute_usable_range(test::basic_layout(1, c.entries), LayoutForm::Basic);
    const UsableRange x =
        compute_usable_range(test::ex_layout(kStyleMbr, 1, {}, c.entries), LayoutForm::Ex);
    for (const UsableRange& r : {b, x}) {
      EXPECT_EQ(r.start, c.start);
      EXPECT_EQ(r.end, c.end);
      EXPECT_EQ(r.count, c.count);
    }
  }
  // PartitionCount 5000 with two entries returned: two are read.
  const Bytes b = test::basic_layout(0, {{1024, 1024, 1}, {0, 0, 0}}, 5000);
  EXPECT_EQ(compute_usable_range(b, LayoutForm::Basic).count, 1u);
  EXPECT_EQ(
      format_partition_dump(b, LayoutForm::Basic),
      "[MBR_PNO = 001]:[Atr = 07]:\nST[000] -> 0000000000000400\nLN[000] -> 0000000000000400\n"
      "[MBR_PNO = 000]:[Atr = 07]:\nST[001] -> 0000000000000000\nLN[001] -> 0000000000000000\n");
}

TEST(PartitionDump, HeadLineByStyle) {
  struct Case {
    LayoutForm form;
    CannedEntry entry;
    std::size_t index;
    const char* text;
  } const cases[] = {
      {LayoutForm::Basic,
       {-512, -1, 1, 0x0C, kStyleGpt},
       0,  // the basic form has no style
       "[MBR_PNO = 001]:[Atr = 0c]:\nST[000] -> fffffffffffffe00\nLN[000] -> ffffffffffffffff\n"},
      {LayoutForm::Ex,
       {32256, 0x1F4000000, 12, 0xEE},
       7,
       "[MBR_PNO = 012]:[Atr = ee]:\nST[007] -> 0000000000007e00\nLN[007] -> 00000001f4000000\n"},
      {LayoutForm::Ex,
       {17408, 1 << 27, 1000, 0, kStyleGpt, kGuid, 0x8000000000000001},
       1,
       "[GPT_PNO = 1000]:[Atr = 8000000000000001]: 00112233-4455-6677-8899-AABBCCDDEEFF\n"
       "ST[001] -> 0000000000004400\nLN[001] -> 0000000008000000\n"},
      {LayoutForm::Ex,
       {0, 0, 0, 0, kStyleRaw},
       1023,
       "[RAW_PNO = 000]:\nST[1023] -> 0000000000000000\nLN[1023] -> 0000000000000000\n"},
      {LayoutForm::Ex,
       {512, 512, 5, 0, 7},
       0,
       "[RAW_PNO = 005]:\nST[000] -> 0000000000000200\nLN[000] -> 0000000000000200\n"},
  };
  for (const Case& c : cases) {
    const Bytes b = c.form == LayoutForm::Basic ? test::basic_layout(0, {c.entry})
                                                : test::ex_layout(kStyleGpt, 0, {}, {c.entry});
    EXPECT_EQ(format_partition_entry(layout_entry(b, c.form, 0), c.form, c.index), c.text);
  }
}

TEST(LayoutLines, ExactLines) {
  const std::string longer = "C:\\mnt\\data\\Vol3\\Dsk12";
  auto dev = [](const char* name, std::int32_t serial = 812) {
    return LayoutLineDevice{name, "\\\\.\\PhysicalDrive3", serial, 36, "OPEN-V          "};
  };
  struct Case {
    std::string text;
    const char* expected;
  } const cases[] = {
      {format_range_line(dev("Harddisk1234"), {0, 0, 0}),
       "Harddisk1234 : SLBA = 0x00000000 ELBA = 0x00000000 PCNT = 0 [OPEN-V          ]\n"},
      {format_range_line(dev(longer.c_str()), {0x20000000000, kMax, 1024}),
       "C:\\mnt\\data\\Vol3\\Dsk12 : SLBA = 0x100000000 ELBA = 0x3fffffffffffff PCNT = 1024 "
       "[OPEN-V          ]\n"},
      {format_range_line(dev("Hd6"), {-1023, 1535, 2}),  // divisions truncate toward zero
       "Hd6          : SLBA = 0xffffffffffffffff ELBA = 0x00000002 PCNT = 2 [OPEN-V          ]\n"},
      {format_restore_line(dev("Harddisk12345678"), "00000000"),
       "[VOL812_36_00000000] -> Harddisk12345678 [OPEN-V          ]\n"},
      {format_read_error_line(dev("Hd1", -1)),
       "ERROR: Hd1              -> [VOL-1_36] [OPEN-V          ]\n"},
      {format_restore_error_line(dev(longer.c_str())),
       "ERROR: [VOL812_36] -> C:\\mnt\\data\\Vol3\\Dsk12 [OPEN-V          ]\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected);
}

TEST(LayoutFileHeaderTest, TextFieldsAndNumbers) {
  auto expected = [](std::string devfile, std::string ser, std::string ldev, Bytes numbers) {
    devfile.resize(128, '\0');
    ser.resize(32, '\0');
    ldev.resize(32, '\0');
    Bytes b;
    for (const std::string& s : {devfile, ser, ldev}) b.insert(b.end(), s.begin(), s.end());
    b.insert(b.end(), numbers.begin(), numbers.end());
    return b;
  };
  const LayoutFileHeader a = make_layout_file_header("\\\\.\\PhysicalDrive3", 812, 36);
  EXPECT_EQ(Bytes(a.begin(), a.end()),
            expected("DEVFILE = \\\\.\\PhysicalDrive3\n", "SER = 812\n", "LDEV = 36(0x000024)\n",
                     {0x2C, 0x03, 0, 0, 0x24, 0, 0, 0}));
  const LayoutFileHeader b = make_layout_file_header(std::string(300, 'p').c_str(), INT32_MIN, -1);
  EXPECT_EQ(Bytes(b.begin(), b.end()),
            expected("DEVFILE = " + std::string(117, 'p'), "SER = -2147483648\n",
                     "LDEV = -1(0xffffffff)\n", {0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(LayoutFileFormat, DiskTag) {
  struct Case {
    LayoutForm form;
    Bytes layout;
    const char* tag;
  } const cases[] = {
      {LayoutForm::Basic, test::basic_layout(0x1A2B3C4D, {{512, 512, 1}}), "1A2B3C4D"},
      {LayoutForm::Basic, test::basic_layout(0xAB, {}), "000000AB"},
      {LayoutForm::Ex, test::ex_layout(kStyleGpt, 0, kGuid, {}),
       "00112233-4455-6677-8899-AABBCCDDEEFF"},
      {LayoutForm::Ex, test::ex_layout(kStyleMbr, 0xDEADBEEF, {}, {}), "DEADBEEF"},
      {LayoutForm::Ex, test::ex_layout(kStyleRaw, 0, {}, {}), "00000000"},
      {LayoutForm::Ex, test::ex_layout(9, 0x01020304, {}, {}), "01020304"},
      {LayoutForm::Ex, Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0xAA}, "000000AA-0000-0000-0000-000000000000"},
      {LayoutForm::Basic, Bytes{}, "00000000"},
  };
  for (const Case& c : cases) {
    Bytes image(200 + c.layout.size(), 0xEE);  // the header takes no part
    std::copy(c.layout.begin(), c.layout.end(), image.begin() + 200);
    EXPECT_STREQ(make_disk_tag(image, c.form).data(), c.tag);
  }
}

TEST(LayoutFilePath, FolderFromTheEnvironment) {
  const std::string v255(255, 'a'), v256(256, 'b'), v300(300, 'c');
  const std::string too_long = " characters is too long for a layout file folder (at most 255)\n";
  struct Case {
    const char *use_temp, *temp, *windir;
    int cli;
    std::string path, err;
  } const cases[] = {
      {nullptr, "C:\\Temp", "C:\\Windows", 0, "C:\\Windows\\VOL812_-36.ini", ""},
      {"", "C:\\Temp", "C:\\Windows", 0, "C:\\Temp\\VOL812_-36.ini", ""},
      {"", nullptr, "C:\\Windows", 0, "", ""},
      {"", "", "C:\\Windows", 0, "", ""},
      {nullptr, "C:\\Temp", nullptr, 0, "", ""},
      {nullptr, nullptr, v255.c_str(), 0, v255 + "\\VOL812_-36.ini", ""},
      {nullptr, nullptr, v256.c_str(), 0, "", "windir : value of 256" + too_long},
      {"1", v300.c_str(), nullptr, 0, "", "TEMP : value of 300" + too_long},
      {"1", v300.c_str(), nullptr, 1, "", ""},
  };
  for (const Case& c : cases) {
    test::set_env("VEXAM_USE_TEMP", c.use_temp);
    test::set_env("TEMP", c.temp);
    test::set_env("windir", c.windir);
    cli_mode = c.cli;
    testing::internal::CaptureStderr();
    EXPECT_EQ(layout_file_path(812, -36), c.path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
    cli_mode = 0;
  }
}

}  // namespace
}  // namespace vox
