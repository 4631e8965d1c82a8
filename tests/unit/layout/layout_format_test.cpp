// The pure parts: record readers, usable range, dump and result lines, file header, disk
// tag and file name.
#include <gtest/gtest.h>

#include <limits>

#include "driver/flags.h"
#include "layout/layout_file_format.h"
#include "layout/layout_file_path.h"
#include "layout/layout_lines.h"
#include "layout/partition_dump.h"
#include "layout/usable_range.h"
#include "layout_test_host.h"

namespace vox {
namespace {

using test::Bytes;
using test::canned_layout;
constexpr LayoutForm kBasic = LayoutForm::Basic, kEx = LayoutForm::Ex;
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max(), kMin = -kMax - 1;

TEST(LayoutRecords, ReadersAndEntryCountStopAtTheEnd) {
  const Bytes b{1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(read_le32(b, 7), 0x0908u);
  EXPECT_EQ(read_le64(b, 1), 0x0908070605040302u);
  EXPECT_EQ(read_le64(b, SIZE_MAX - 2), 0u);  // offset + i must not wrap
  Bytes out(6, 0xEE);
  write_le32(out, 4, 0xAABBCCDD);
  EXPECT_EQ(out, (Bytes{0xEE, 0xEE, 0xEE, 0xEE, 0xDD, 0xCC}));
  const struct {
    LayoutForm form;
    std::uint32_t count;
    std::size_t bytes, entries;
  } cases[] = {{kBasic, 5, 8 + 64, 2},    {kBasic, 2, 8 + 63, 1},
               {kBasic, 3, 4, 0},         {kBasic, 5000, 35208, 1024},
               {kEx, 0xFFFFFFFF, 480, 3}, {kEx, 2, 48 + 287, 1},
               {kEx, 2, 47, 0},           {kEx, 1025, 147648, 1024}};
  for (const auto& c : cases) {
    Bytes layout(c.bytes + 8);
    test::put_le(layout, c.form == kEx ? 4 : 0, c.count, 4);
    layout.resize(c.bytes);
    EXPECT_EQ(layout_entry_count(layout, c.form), c.entries) << c.count << " in " << c.bytes;
  }
}

TEST(UsableRange, EndsAndCounts) {
  const std::int64_t ends[][3] = {{1048576, 104857600, 105906176},
                                  {kMax - 10, 11, kMax},
                                  {1, kMax, kMax},
                                  {kMin, -1, kMin},
                                  {-5, kMin, kMin},
                                  {kMax, kMin, -1}};
  for (const auto& e : ends) EXPECT_EQ(partition_end(e[0], e[1]), e[2]) << e[0] << " " << e[1];
  const struct {
    std::vector<test::CannedEntry> entries;
    UsableRange range;
  } cases[] = {
      {{}, {0, 0, 0}},
      {{{0, 100, 1}, {512, 0, 2}, {1024, 100, 0}, {2048, 512, 4}}, {2048, 2560, 1}},  // uncounted
      {{{8192, 512, 1}, {1024, 100000, 2}, {2048, 10, 3}}, {1024, 101024, 3}},
      {{{kMax - 100, 1000, 1}, {4096, 512, 2}}, {4096, kMax, 2}},
      {{{-512, 512, 1}, {-2048, 1024, 2}}, {-2048, -1024, 2}},  // an end of 0 is replaced
  };
  for (const auto& c : cases) {
    for (const LayoutForm form : {kBasic, kEx}) {
      const UsableRange r = compute_usable_range(canned_layout(form, 1, c.entries), form);
      EXPECT_EQ(std::tuple(r.start, r.end, r.count),
                std::tuple(c.range.start, c.range.end, c.range.count));
    }
  }
}

TEST(LayoutLines, DumpAndResultLines) {
  auto entry = [](LayoutForm form, test::CannedEntry e, std::size_t index) {
    return format_partition_entry(layout_entry(canned_layout(form, 0, {e}), form, 0), form, index);
  };
  auto dev = [](const char* name, std::int32_t serial = 812) {
    return LayoutLineDevice{name, "\\\\.\\PhysicalDrive3", serial, 36, "OPEN-V          "};
  };
  const std::string lines[][2] = {
      {entry(kBasic, {-512, -1, 1, 0x0C, kStyleGpt}, 0),  // the basic form has no style
       "[MBR_PNO = 001]:[Atr = 0c]:\nST[000] -> fffffffffffffe00\nLN[000] -> ffffffffffffffff\n"},
      {entry(kEx, {17408, 1 << 27, 1000, 0, kStyleGpt, 0x8000000000000001}, 1),
       "[GPT_PNO = 1000]:[Atr = 8000000000000001]: 00112233-4455-6677-8899-AABBCCDDEEFF\n"
       "ST[001] -> 0000000000004400\nLN[001] -> 0000000008000000\n"},
      {entry(kEx, {0, 0, 0, 0, kStyleRaw}, 1023),
       "[RAW_PNO = 000]:\nST[1023] -> 0000000000000000\nLN[1023] -> 0000000000000000\n"},
      {entry(kEx, {512, 512, 5, 0, 7}, 0),  // an unknown style reads as raw
       "[RAW_PNO = 005]:\nST[000] -> 0000000000000200\nLN[000] -> 0000000000000200\n"},
      {format_range_line(dev("Harddisk1234"), {0x20000000000, kMax, 1024}),
       "Harddisk1234 : SLBA = 0x100000000 ELBA = 0x3fffffffffffff PCNT = 1024 "
       "[OPEN-V          ]\n"},
      {format_range_line(dev("Hd6"), {-1023, 1535, 2}),  // divisions truncate toward zero
       "Hd6          : SLBA = 0xffffffffffffffff ELBA = 0x00000002 PCNT = 2 [OPEN-V          ]\n"},
      {format_restore_line(dev("Harddisk12345678"), "00000000"),
       "[VOL812_36_00000000] -> Harddisk12345678 [OPEN-V          ]\n"},
      {format_read_error_line(dev("Hd1", -1)),
       "ERROR: Hd1              -> [VOL-1_36] [OPEN-V          ]\n"},
  };
  for (const auto& [got, want] : lines) EXPECT_EQ(got, want);
}

TEST(LayoutFile, HeaderAndDiskTag) {
  // Texts cut short to their fields and NUL-padded, then serial and LDEV little-endian.
  const LayoutFileHeader h = make_layout_file_header(std::string(300, 'p').c_str(), INT32_MIN, -1);
  std::string want = "DEVFILE = " + std::string(117, 'p') + '\0' + "SER = -2147483648\n";
  want.resize(160, '\0');
  want += "LDEV = -1(0xffffffff)\n";
  want.resize(192, '\0');
  EXPECT_EQ(std::string(h.begin(), h.end()), want + std::string("\0\0\0\x80\xff\xff\xff\xff", 8));
  const struct {
    LayoutForm form;
    Bytes layout;
    const char* tag;
  } tags[] = {
      {kBasic, canned_layout(kBasic, 0x1A2B3C4D, {{512, 512, 1}}), "1A2B3C4D"},
      {kBasic, canned_layout(kBasic, 0xAB, {}), "000000AB"},
      {kEx, canned_layout(kEx, 0, {}, kStyleGpt), "00112233-4455-6677-8899-AABBCCDDEEFF"},
      {kEx, canned_layout(kEx, 0xDEADBEEF, {}), "DEADBEEF"},
      {kEx, canned_layout(kEx, 0, {}, kStyleRaw), "00000000"},
      {kEx, canned_layout(kEx, 0x01020304, {}, 9), "01020304"},
      {kEx, Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0xAA}, "000000AA-0000-0000-0000-000000000000"},
      {kBasic, Bytes{}, "00000000"},
  };
  for (const auto& c : tags) {
    Bytes image(200, 0xEE);  // the header takes no part
    image.insert(image.end(), c.layout.begin(), c.layout.end());
    EXPECT_STREQ(make_disk_tag(image, c.form).data(), c.tag);
  }
}

TEST(LayoutFile, FolderFromTheEnvironment) {
  const std::string v256(256, 'b');
  const std::string too_long = " characters is too long for a layout file folder (at most 255)\n";
  const struct {
    const char *use_temp, *temp, *windir;
    int cli;
    std::string path, err;
  } cases[] = {
      {nullptr, "C:\\Temp", "C:\\Windows", 0, "C:\\Windows\\VOL812_-36.ini", ""},
      {"", "C:\\Temp", "C:\\Windows", 0, "C:\\Temp\\VOL812_-36.ini", ""},
      {"", nullptr, "C:\\Windows", 0, "", ""},
      {"", "", "C:\\Windows", 0, "", ""},
      {nullptr, "C:\\Temp", nullptr, 0, "", ""},
      {nullptr, nullptr, v256.c_str(), 0, "", "windir : value of 256" + too_long},
      {nullptr, nullptr, v256.c_str(), 1, "", ""},
  };
  for (const auto& c : cases) {
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
