// The pure parts at their edges: record readers, usable range, result lines, file header,
// disk tag and the folder of the files.
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
  const struct {
    LayoutForm form;
    std::uint32_t count;
    std::size_t bytes, entries;
  } cases[] = {{kBasic, 5, 8 + 64, 2},      {kBasic, 2, 8 + 63, 1},    {kBasic, 3, 4, 0},
               {kBasic, 5000, 35208, 1024}, {kEx, 0xFFFFFFFF, 480, 3}, {kEx, 2, 47, 0},
               {kEx, 1025, 147648, 1024}};
  for (const auto& c : cases) {
    Bytes layout(c.bytes + 8);
    test::put_le(layout, c.form == kEx ? 4 : 0, c.count, 4);
    layout.resize(c.bytes);
    EXPECT_EQ(layout_entry_count(layout, c.form), c.entries) << c.count << " in " << c.bytes;
  }
}

TEST(UsableRange, EndsAndCounts) {
  EXPECT_EQ(
      std::tuple(partition_end(kMax - 10, 11), partition_end(kMin, -1), partition_end(kMax, kMin)),
      std::tuple(kMax, kMin, std::int64_t{-1}));  // ends that would overflow stay at the limits
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

TEST(LayoutLines, Edges) {
  auto dev = [](const char* name, std::int32_t serial = 812) {
    return LayoutLineDevice{name, "\\\\.\\PhysicalDrive3", serial, 36, "OPEN-V          "};
  };
  const Bytes odd_style = canned_layout(kEx, 0, {{512, 512, 5, 0, 7}});  // reads as raw
  const std::string lines[][2] = {
      {format_partition_entry(layout_entry(odd_style, kEx, 0), kEx, 1023),
       "[RAW_PNO = 005]:\nST[1023] -> 0000000000000200\nLN[1023] -> 0000000000000200\n"},
      {format_range_line(dev("Hd6"), {-1023, 1535, 2}),  // divisions truncate toward zero
       "Hd6          : SLBA = 0xffffffffffffffff ELBA = 0x00000002 PCNT = 2 [OPEN-V          ]\n"},
      {format_restore_line(dev("Harddisk12345678"), "00000000"),
       "[VOL812_36_00000000] -> Harddisk12345678 [OPEN-V          ]\n"},
      {format_read_error_line(dev("Hd1", -1)),
       "ERROR: Hd1              -> [VOL-1_36] [OPEN-V          ]\n"},
  };
  for (const auto& [got, want] : lines) EXPECT_EQ(got, want);
}

TEST(LayoutFile, HeaderTagAndFolder) {
  // Texts cut short to their fields and NUL-padded, then serial and LDEV little-endian.
  const LayoutFileHeader h = make_layout_file_header(std::string(300, 'p').c_str(), INT32_MIN, -1);
  std::string want = "DEVFILE = " + std::string(117, 'p') + '\0' + "SER = -2147483648\n";
  want.resize(160, '\0');
  want += "LDEV = -1(0xffffffff)\n";
  want.resize(192, '\0');
  EXPECT_EQ(std::string(h.begin(), h.end()), want + std::string("\0\0\0\x80\xff\xff\xff\xff", 8));
  // The tag: the signature, the GPT disk id, or what a short or odd record holds.
  const std::pair<Bytes, const char*> tags[] = {
      {canned_layout(kEx, 0x01020304, {}, 9), "01020304"},
      {Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0xAA}, "000000AA-0000-0000-0000-000000000000"},
      {Bytes{}, "00000000"},
  };
  for (const auto& [layout, tag] : tags) {
    Bytes image(200, 0xEE);  // the header takes no part
    image.insert(image.end(), layout.begin(), layout.end());
    EXPECT_STREQ(make_disk_tag(image, kEx).data(), tag);
  }
  // A folder too long for its buffer is refused, quietly for -CLI; no TEMP, no folder.
  test::set_env("VEXAM_USE_TEMP", nullptr);
  test::set_env("windir", std::string(256, 'w').c_str());
  for (const int cli : {0, 1}) {
    cli_mode = cli;
    testing::internal::CaptureStderr();
    EXPECT_EQ(layout_file_path(812, -36), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              cli ? ""
                  : "windir : value of 256 characters is too long for a layout file folder (at "
                    "most 255)\n");
  }
  cli_mode = 0;
  test::set_env("VEXAM_USE_TEMP", "");
  test::set_env("TEMP", nullptr);
  EXPECT_EQ(layout_file_path(812, -36), "");
}

}  // namespace
}  // namespace vox
