#include <gtest/gtest.h>

#include "driver/run_options.h"
#include "report/bitmap_format.h"
#include "report/reports.h"
#include "report/wwn_format.h"
#include "report_fixtures.h"

namespace vox {
namespace {

using test::sample_record;

DevIdentity bitmap_record(std::int32_t ldev, std::uint32_t local, std::uint32_t remote,
                          std::uint32_t cyl, std::uint32_t unused_local,
                          std::uint32_t unused_remote) {
  DevIdentity r = sample_record();
  r.ldev = ldev;
  r.bitmap_valid = 1;
  r.bitmap_pages[0] = local;
  r.bitmap_pages[1] = remote;
  r.bitmap_pages[2] = cyl;
  r.bitmap_pages[3] = unused_local;
  r.bitmap_pages[4] = unused_remote;
  return r;
}

// One walk over an array: every row through report_cli_bitmap with shared totals.
std::string walk(const std::vector<std::pair<const char*, DevIdentity>>& rows, unsigned flags,
                 BitmapTotals& totals, LastCounted& last) {
  TableState table;
  return test::capture([&] {
           for (const auto& [name, record] : rows) {
             report_cli_bitmap(name, record, 0, flags, table, 1, totals, last);
           }
         })
      .out;
}

std::vector<std::pair<const char*, DevIdentity>> two_paths_and_a_command_device() {
  DevIdentity cm = bitmap_record(2, 100, 100, 100, 100, 100);
  cm.is_cmddev = 1;
  return {{"hd1", bitmap_record(1, 10, 20, 30, 1, 2)},
          {"hd2", bitmap_record(1, 10, 20, 30, 1, 2)},
          {"hd3", cm},
          {"hd4", bitmap_record(3, 5, 6, 7, 8, 9)}};
}

TEST(BitmapTable, TotalsCountEachLdevOnceAndSkipCommandDevices) {
  struct Case {
    unsigned flags;
    const char* header_tail;
    int sums[4];
    int unused[4];
  };
  const Case cases[] = {
      {0, "+LQ/LQ", {10, 10, 10, 15}, {1, 1, 100, 8}},
      {FMT_CYL, "+LQ/LQ", {10, 10, 10, 15}, {1, 1, 100, 8}},
      {FMT_BITMAP, "+RZ/VX", {20, 20, 20, 26}, {2, 2, 100, 9}},
      {FMT_BITMAP | FMT_CYL, "+RZ/VX", {30, 30, 30, 37}, {2, 2, 100, 9}},
  };
  for (const Case& c : cases) {
    BitmapTotals totals;
    LastCounted last;
    std::string expected = std::string("DEVICE_FILE     PORT    SERIAL  LDEV SL CL  ") +
                           c.header_tail + "  UNUSED  PRODUCT_ID\n";
    const char* names[] = {"hd1", "hd2", "hd3", "hd4"};
    const char* ldevs[] = {"    1", "    1", "    2", "    3"};
    for (int i = 0; i < 4; ++i) {
      char row[200];
      std::snprintf(row, sizeof row, "%-15s CL1-A    64015 %s  -  - %7d %7d  DISK-1          \n",
                    names[i], ldevs[i], c.sums[i], c.unused[i]);
      expected += row;
    }
    EXPECT_EQ(walk(two_paths_and_a_command_device(), c.flags, totals, last), expected) << c.flags;
    EXPECT_EQ(totals.local_pages_total, 15);
    EXPECT_EQ(totals.remote_pages_total, 26);
    EXPECT_EQ(totals.remote_cyl_total, 37);
    EXPECT_EQ(last.serial, 64015);
    EXPECT_EQ(last.ldev, 3);
  }
}

TEST(BitmapTable, HeaderResetsLastCounted) {
  const DevIdentity r = bitmap_record(1, 10, 20, 30, 1, 2);
  BitmapTotals totals;
  LastCounted last{64015, 1};
  walk({{"hd1", r}}, 0, totals, last);
  EXPECT_EQ(totals.local_pages_total, 10);
  // Without a header the same LDEV is taken as already counted.
  BitmapTotals again;
  TableState table{1, 0};
  const auto p = test::capture([&] { report_cli_bitmap("hd1", r, 0, 0, table, 1, again, last); });
  EXPECT_EQ(p.out,
            "hd1             CL1-A    64015     1  -  -       0       1  DISK-1          \n");
  EXPECT_EQ(again.local_pages_total, 0);
}

TEST(BitmapTable, SlClTexts) {
  struct Case {
    std::uint8_t id;
    const char* text;
  };
  const Case cases[] = {{0xFF, "-"}, {0x7F, "-"},   {0x7E, "126"},
                        {0, "0"},    {0x80, "128"}, {0xFE, "254"}};
  for (const Case& c : cases) EXPECT_EQ(bitmap_id_text(c.id), c.text) << int(c.id);
}

TEST(BitmapTable, RowWithoutBitmapDataLeavesTotals) {
  DevIdentity r = sample_record();
  r.ldev = 1;
  r.sl_id = 0x7E;
  r.cl_id = 0;
  r.bitmap_pages[0] = 50;  // not valid: not counted
  BitmapTotals totals;
  LastCounted last;
  EXPECT_EQ(walk({{"hd1", r}}, 0, totals, last),
            "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +LQ/LQ  UNUSED  PRODUCT_ID\n"
            "hd1             CL1-A    64015     1 126  0       -       -  DISK-1          \n");
  EXPECT_EQ(totals.local_pages_total, 0);
  EXPECT_EQ(last.serial, -1);
}

TEST(BitmapTable, WideLayoutAndAbsentRow) {
  EXPECT_EQ(bitmap_header(FMT_BITMAP, 1),
            "DEVICE_FILE" + std::string(50, ' ') +
                "PORT    SERIAL  LDEV SL CL  +RZ/VX  UNUSED  PRODUCT_ID\n");
  DevIdentity empty;
  EXPECT_EQ(bitmap_absent_row("hd1", empty, 0),
            "hd1             -            -     -  -  -       -       -  -               \n");
  BitmapTotals totals;
  LastCounted last;
  TableState table;
  const auto p = test::capture([&] {
    report_cli_bitmap("hd1", empty, 0, 0, table, 0, totals, last);
    report_cli_bitmap("hd1", empty, 1, 0, table, 0, totals, last);  // lookups skip it
  });
  EXPECT_EQ(p.out,
            "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +LQ/LQ  UNUSED  PRODUCT_ID\n"
            "hd1             -            -     -  -  -       -       -  -               \n");
}

TEST(WwnTable, Headers) {
  EXPECT_EQ(wwn_header(1, 0),
            "DEVICE_FILE     WWN              AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n");
  EXPECT_EQ(wwn_header(2, 0),
            "DEVICE_FILE     PWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n");
  EXPECT_EQ(wwn_header(3, 1), "DEVICE_FILE" + std::string(50, ' ') +
                                  "NWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n");
}

TEST(WwnTable, Rows) {
  DevIdentity target = sample_record();
  target.tgt_wwn_valid = 1;
  test::set_text(target.tgt_wwn, "50060e8000c3a1b2");
  target.al_pa = 0xEF;
  target.lun = 5;
  DevIdentity host = sample_record();  // host WWNs without a target designator
  host.host_wwn_valid = 1;
  test::set_text(host.host_port_wwn, "10000000c9123456");
  test::set_text(host.host_node_wwn, "20000000c9123456");
  struct Case {
    const DevIdentity* record;
    int kind;
    const char* row;
  };
  const Case cases[] = {
      {&target, 1,
       "hd1             50060e8000c3a1b2 EF CL1-A     5    64015  1234 DISK-1          \n"},
      {&target, 2,
       "hd1             -                EF CL1-A     5    64015  1234 DISK-1          \n"},
      {&target, 3,
       "hd1             -                EF CL1-A     5    64015  1234 DISK-1          \n"},
      {&host, 1,
       "hd1             -                 - CL1-A     -    64015  1234 DISK-1          \n"},
      {&host, 2,
       "hd1             10000000c9123456  - CL1-A     -    64015  1234 DISK-1          \n"},
      {&host, 3,
       "hd1             20000000c9123456  - CL1-A     -    64015  1234 DISK-1          \n"},
  };
  for (const Case& c : cases) EXPECT_EQ(wwn_row("hd1", *c.record, 0, 0, c.kind), c.row) << c.kind;
  target.ldev = 255;
  target.al_pa = 1;
  EXPECT_EQ(wwn_row("hd1", target, FMT_HEX, 0, 1),
            "hd1             50060e8000c3a1b2 01 CL1-A     5    64015    FF DISK-1          \n");
}

TEST(WwnTable, RunWithMarkAndAbsentDevice) {
  DevIdentity r = sample_record();
  r.fencor = 1;
  DevIdentity empty;
  TableState table;
  const auto p = test::capture([&] {
    report_cli_wwn("a/hd1", r, 0, FMT_FENCOR, table, 1, 2);
    report_cli_wwn("hd9", empty, 0, FMT_FENCOR, table, 0, 2);
  });
  EXPECT_EQ(p.out,
            "DEVICE_FILE     PWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n"
            "hd1*            -                 - CL1-A     -    64015  1234 DISK-1          \n"
            "hd9             -                 - -         -        -     - -               \n");
  EXPECT_EQ(p.err, "");
}

}  // namespace
}  // namespace vox
