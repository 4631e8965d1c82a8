// The default report, the CLI, bitmap and WWN tables and the export line, byte for byte.
#include <gtest/gtest.h>

#include "driver/run_options.h"
#include "report/bitmap_format.h"
#include "report/cli_format.h"
#include "report/default_format.h"
#include "report/export_record.h"
#include "report/names.h"
#include "report/reports.h"
#include "report/wwn_format.h"
#include "report_fixtures.h"

namespace vox {
namespace {

using test::capture;
using test::Edit;
using test::Out;
using test::sample;
using u8 = std::uint8_t;

std::string sp(std::size_t n) {
  return std::string(n, ' ');
}

const std::string kFirst = " -> CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]\n";

TEST(DefaultReport, Texts) {
  const std::tuple<Edit, const char*, unsigned, std::string> cases[] = {
      {nullptr, "hd/x", 0, "hd/x" + kFirst},  // neither states nor RAID data: one line
      {nullptr, "a", FMT_HEX,
       "a -> CL1-A Ser =   64015 LDEV = 4D2 [TARVELO ] [DISK-1          ]\n"},
      {[](DevIdentity& r) { r.serial = 123456789, r.ldev = 0xABCDE; }, "a", FMT_HEX,
       "a -> CL1-A Ser =123456789 LDEV =ABCDE [TARVELO ] [DISK-1          ]\n"},
      // The mark widens the lead of the continuation lines.
      {[](DevIdentity& r) { r.vol_attr = 3, r.remote_pair_state = 2, r.raid_valid = 1; }, "hd1",
       FMT_HARD | FMT_PIN,
       "hd1*" + kFirst + sp(8) + "VEXA = P-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]\n" +
           sp(8) + "UNMAP[Group 00000] SSID = 0x0000 CTGID =  0\n"}};
  for (const auto& [edit, name, flags, text] : cases) {
    EXPECT_EQ(default_report_text(name, sample(edit), flags), text);
    EXPECT_EQ(capture([&] { report_default(name, sample(edit), 0, flags); }), Out(text, ""));
  }
  // -export outside the CLI forms prints nothing.
  EXPECT_EQ(capture([] { report_default("hd1", sample(), 3, 0); }), Out());
}

TEST(DefaultReport, PairAndRaidLines) {
  const std::tuple<u8, u8, u8, u8, const char*> pairs[] = {
      {0, 0, 0, 0, ""},
      {1, 0, 0, 0, "   VEXA = SMPL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]\n"},
      {0, 0, 0, 4, "   VEXA = NONE  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]\n"},
      {2, 3, 0xFF, 1, "   VEXA = P-VOL  TESSIK[MU#0 = S-VOL MU#1 = NONE MU#2 = SMPL]\n"},
      {0, 0, 2, 0, "   VEXA = NONE  TESSIK[MU#0 = NONE MU#1 = P-VOL MU#2 = NONE]\n"}};
  for (const auto& [remote, l0, l1, l2, line] : pairs) {
    DevIdentity r = sample();
    r.remote_pair_state = remote, r.local_pair_state[0] = l0;
    r.local_pair_state[1] = l1, r.local_pair_state[2] = l2;
    EXPECT_EQ(default_pair_line("  ", r), line);
  }
  DevIdentity r = sample();
  r.raid_level = 0x11, r.raid_group[1] = 3, r.ssid[0] = 0xAB, r.ssid[1] = 0x0C;
  EXPECT_EQ(default_raid_line("    ", r), "");  // RAID bytes not taken
  r.raid_valid = 1;
  const std::pair<u8, const char*> ctgs[] = {
      {0xFF, ""}, {0, " CTGID =  0"}, {127, " CTGID = 127"}, {0xFE, " CTGID = 254"}};
  for (const auto& [ctg, tail] : ctgs) {
    r.ctg_id = ctg;
    EXPECT_EQ(default_raid_line("    ", r),
              "     SNAPS[PoolID 0003] SSID = 0xAB0C" + std::string(tail) + "\n");
  }
}

TEST(DefaultReport, VolumeKindsAndMarks) {
  const std::tuple<u8, u8, u8, const char*> kinds[] = {
      {0x00, 3, 4, "UNMAP[Group 00000]"},        {0x11, 1, 2, "SNAPS[PoolID 0258]"},
      {0x11, 0xFF, 0xFF, "SNAPS[PoolID 65535]"}, {0x12, 0, 7, "A-LUN[PoolID 0007]"},
      {0x10, 0x12, 0x34, "E-LUN[Group 04660]"},  {0x0A, 1, 2, "RAIDA[Group  1- 2]"},
      {0x01, 255, 255, "RAID1[Group 255-255]"},  {0xFF, 10, 0, "RAIDFF[Group 10- 0]"},
      {0x13, 0, 0, "RAID13[Group  0- 0]"}};
  for (const auto& [level, g0, g1, text] : kinds) {
    DevIdentity r = sample();
    r.raid_level = level, r.raid_group[0] = g0, r.raid_group[1] = g1;
    EXPECT_EQ(volume_kind_text(r), text) << int(level);
  }
  const unsigned all = FMT_HARD | FMT_PIN | FMT_FENCOR;
  const std::tuple<unsigned, u8, u8, bool> marks[] = {
      {0, 3, 1, false},      {FMT_HARD, 1, 0, true},    {FMT_HARD, 2, 0, false},
      {FMT_PIN, 2, 0, true}, {FMT_PIN, 1, 0, false},    {FMT_FENCOR, 0, 9, true},
      {all, 3, 1, true},     {FMT_FENCOR, 3, 0, false}, {all, 0xFC, 0, false}};
  for (const auto& [flags, vol_attr, fencor, marked] : marks) {
    DevIdentity r = sample();
    r.vol_attr = vol_attr, r.fencor = fencor;
    EXPECT_EQ(marked_name("hd1", r, flags), marked ? "hd1*" : "hd1") << flags << " " << +vol_attr;
  }
}

const std::string kCliHeader =
    "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n";
const std::string kPlain = " CL1-A    64015  1234   -       -     -       - DISK-1          \n";

// One run through report_cli with one table state.
std::string cli_run(const std::vector<std::string>& names, const DevIdentity& r, unsigned flags,
                    int present = 1) {
  TableState table;
  return capture([&] {
           for (const auto& n : names) report_cli(n.c_str(), r, 0, flags, table, present);
         })
      .first;
}

TEST(CliTable, FirstNameChoosesTheNameColumn) {
  const std::string n24(24, 'n'), n25(25, 'w'), n30(30, 'o');
  const std::string wide = "DEVICE_FILE" + sp(50) + kCliHeader.substr(16);
  const std::tuple<std::vector<std::string>, unsigned, std::string> cases[] = {
      {{n24, n30}, 0, kCliHeader + n24 + kPlain + n30 + kPlain},  // a later name overflows
      {{n25, "hd1"}, 0, wide + n25 + sp(35) + kPlain + "hd1" + sp(57) + kPlain},
      {{"/a/b/c/d/e/f/g/h/i/j/k/hd1"}, 0, kCliHeader + "hd1" + sp(12) + kPlain},
      {{n24}, FMT_HARD, kCliHeader + n24 + "*" + kPlain}};  // the mark does not count
  for (const auto& [names, flags, text] : cases)
    EXPECT_EQ(cli_run(names, sample([](DevIdentity& r) { r.vol_attr = 1; }), flags), text);
  // Absent devices: never marked.
  EXPECT_EQ(cli_run({"hd9"}, DevIdentity{}, 0, 0),
            kCliHeader + "hd9             -            -     -   -       -     -       - -" +
                sp(15) + "\n");
  EXPECT_EQ(cli_run({"x/hd8"}, sample([](DevIdentity& r) { r.vol_attr = 1; }), FMT_HARD, 0),
            kCliHeader + "hd8             -            -     -   -       -     -       - DISK-1" +
                sp(10) + "\n");
  const std::string z25(25, 'z'), out = cli_run({z25}, DevIdentity{}, FMT_WIDE, 0);
  EXPECT_EQ(out.substr(out.find('\n') + 1), z25 + sp(35) + " -            -     -   -  -" + sp(69) +
                                                "     -       - -               \n");
}

TEST(CliTable, Rows) {
  // LDEV, flags, RAID level (-1: neither states nor RAID data), group, CTG, then the
  // columns LDEV to R:Group, and the wide row's when they differ.
  const std::tuple<std::int32_t, unsigned, int, u8, u8, u8, const char*, const char*> cases[] = {
      {1234, 0, 0x00, 9, 9, 0xFF, " 1234   -  -/P/--  0004 U:00000", nullptr},
      {1234, 0, 0x11, 1, 2, 0, " 1234   0  -/P/--  0004 S:00258", nullptr},
      {1234, 0, 0x10, 0xFF, 0xFF, 12, " 1234  12  -/P/--  0004 E:65535", nullptr},
      {1234, 0, 0x12, 0, 7, 254, " 1234 254  -/P/--  0004 A:00007",
       " 1234  254  -/P/--  0004 A:00007"},
      {1234, 0, 0x0A, 1, 2, 0xFF, " 1234   -  -/P/--  0004 A:01-02", nullptr},
      {1234, 0, 0x01, 100, 255, 5, " 1234   5  -/P/--  0004 1:100-255", nullptr},
      {0xABCD, FMT_HEX, -1, 0, 0, 0xFF, " ABCD   -       -     -       -", nullptr},
      {0x12345, 0, -1, 0, 0, 0xFF, "74565   -       -     -       -", nullptr}};
  for (const auto& [ldev, flags, level, g0, g1, ctg, mid, wide_mid] : cases) {
    DevIdentity r = sample();
    r.ldev = ldev, r.ctg_id = ctg;
    if (level >= 0) {
      r.local_pair_state[0] = 2, r.ssid[1] = 0x04, r.raid_valid = 1;
      r.raid_level = u8(level), r.raid_group[0] = g0, r.raid_group[1] = g1;
    }
    const std::string w = wide_mid != nullptr ? wide_mid : mid;
    EXPECT_EQ(cli_row("hd1", r, flags, 0),
              "hd1" + sp(13) + "CL1-A    64015 " + mid + " DISK-1" + sp(10) + "\n");
    EXPECT_EQ(cli_row("hd1", r, flags, 1),
              "hd1" + sp(58) + "CL1-A    64015 " + w + " DISK-1" + sp(10) + "\n");
  }
}

TEST(CliTable, WideMuColumn) {
  DevIdentity r = sample();
  EXPECT_EQ(cli_run({"hd1"}, r, FMT_WIDE),
            "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H.../M/.." + sp(61) +
                "  SSID R:Group PRODUCT_ID\nhd1             CL1-A    64015  1234   -  -" + sp(69) +
                "     -       - DISK-1          \n");
  // Remote MU#0..3, "/", local MU#0, "/", local MU#1..63; remote MU#4 and up are not
  // shown, and only the MU#0..2 summary decides whether any is.
  r.remote_pair_state = 2, r.remote_mu_states[0] = 2, r.remote_mu_states[3] = 1;
  r.remote_mu_states[4] = 3, r.local_mu_states[0] = 3, r.local_mu_states[1] = 1;
  r.local_mu_states[62] = 9, r.local_mu_states[63] = 2;
  EXPECT_EQ(cli_mu_column(r, FMT_WIDE, true), "P--s/S/s" + std::string(61, '-') + "P");
  EXPECT_EQ(cli_mu_column(r, FMT_WIDE, false), "-" + sp(69));
  EXPECT_EQ(cli_mu_column(r, 0, true), "P/-/--");
  EXPECT_EQ(cli_mu_column(r, 0, false), "     -");
  const auto tables_only = sample([](DevIdentity& x) { x.local_mu_states[5] = 2; });
  EXPECT_EQ(cli_mu_column(tables_only, FMT_WIDE, true), "-" + sp(69));
}

TEST(CliTable, ProductColumn) {
  const unsigned ri = FMT_REALID, nic = FMT_NICNAME;
  const char* real = "R_SERIAL R_LDEV CM";
  const std::tuple<unsigned, u8, u8, const char*, const char*, const char*> cases[] = {
      {0, 0, 0, "nic", "PRODUCT_ID", "DISK-1          "},
      {nic, 0, 0, "nic", "LDEV_NIC_NAME", "nic"},
      {nic, 0, 0, "", "LDEV_NIC_NAME", "-"},
      {ri, 1, 0, "nic", real, "   64999   4660  -"},
      {ri, 1, 1, "", real, "   64999   4660 CM"},
      {ri | FMT_HEX, 1, 1, "", real, "   64999   1234 CM"},
      {ri, 0, 1, "", real, "       -      -  -"},
      {ri | nic, 1, 0, "nic", real, "   64999   4660  -"}};
  for (const auto& [flags, valid, cmddev, nic_name, header, value] : cases) {
    DevIdentity r = sample();
    r.real_id_valid = valid, r.real_serial = 64999, r.real_ldev = 0x1234, r.is_cmddev = cmddev;
    test::set_text(r.nic_name, nic_name);
    EXPECT_EQ(cli_product_header(flags), header) << flags;
    EXPECT_EQ(cli_product_text(r, flags), value) << flags;
  }
  // In rows: shown for absent devices too; an empty NIC name is padded.
  const auto r = sample([](DevIdentity& x) { x.real_id_valid = 1, x.real_ldev = 2; });
  TableState table;
  EXPECT_EQ(capture([&] {
              report_cli("hd1", r, 0, ri, table, 1);
              report_cli("hd2", r, 0, ri, table, 0);
            }).first,
            "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM\n"
            "hd1             CL1-A    64015  1234   -       -     -       -        0      2  -\n"
            "hd2             -            -     -   -       -     -       -        0      2  -\n");
  EXPECT_EQ(cli_run({"hd1"}, sample(), nic),
            "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group LDEV_NIC_NAME\n"
            "hd1             CL1-A    64015  1234   -       -     -       - -               \n");
}

DevIdentity bitmap_record(std::int32_t ldev, std::array<std::uint32_t, 5> pages) {
  DevIdentity r = sample();
  r.ldev = ldev, r.bitmap_valid = 1;
  std::copy(pages.begin(), pages.end(), r.bitmap_pages);
  return r;
}

// One walk over an array: every row through report_cli_bitmap with shared totals.
std::string walk(const std::vector<DevIdentity>& rows, unsigned flags, BitmapTotals& totals,
                 LastCounted& last, int present = 1) {
  TableState table;
  return capture([&] {
           for (const auto& r : rows)
             report_cli_bitmap("hd1", r, 0, flags, table, present, totals, last);
         })
      .first;
}

const std::string kBitmapHeader =
    "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +LQ/LQ  UNUSED  PRODUCT_ID\n";

// Two paths to LDEV 1 count once; the command device (LDEV 2) is not counted.
TEST(BitmapTable, SortedTotals) {
  DevIdentity cm = bitmap_record(2, {100, 100, 100, 100, 100});
  cm.is_cmddev = 1;
  const DevIdentity one = bitmap_record(1, {10, 20, 30, 1, 2});
  const std::vector<DevIdentity> rows = {one, one, cm, bitmap_record(3, {5, 6, 7, 8, 9})};
  const std::tuple<unsigned, const char*, std::array<int, 4>, std::array<int, 4>> cases[] = {
      {0, "+LQ/LQ", {10, 10, 10, 15}, {1, 1, 100, 8}},
      {FMT_CYL, "+LQ/LQ", {10, 10, 10, 15}, {1, 1, 100, 8}},
      {FMT_BITMAP, "+RZ/VX", {20, 20, 20, 26}, {2, 2, 100, 9}},
      {FMT_BITMAP | FMT_CYL, "+RZ/VX", {30, 30, 30, 37}, {2, 2, 100, 9}}};
  for (const auto& [flags, title, sums, unused] : cases) {
    BitmapTotals totals;
    LastCounted last;
    std::string expected = "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  " + std::string(title) +
                           "  UNUSED  PRODUCT_ID\n";
    for (int i = 0; i < 4; ++i) {
      char row[100];
      std::snprintf(row, sizeof row, "hd1             CL1-A    64015 %5d  -  - %7d %7d  DISK-1",
                    rows[i].ldev, sums[i], unused[i]);
      expected += row + sp(10) + "\n";
    }
    EXPECT_EQ(walk(rows, flags, totals, last), expected) << flags;
    EXPECT_EQ(std::vector<int>({totals.local_pages_total, totals.remote_pages_total,
                                totals.remote_cyl_total, last.serial, last.ldev}),
              std::vector<int>({15, 26, 37, 64015, 3}));
  }
}

TEST(BitmapTable, LastCountedAndRowsWithoutData) {
  // The header resets the last counted LDEV; without one the same LDEV counts as done.
  const DevIdentity r = bitmap_record(1, {10, 20, 30, 1, 2});
  BitmapTotals totals, again, none;
  LastCounted last{64015, 1}, unset;
  walk({r}, 0, totals, last);
  EXPECT_EQ(totals.local_pages_total, 10);
  TableState table{1, 0};
  EXPECT_EQ(capture([&] { report_cli_bitmap("hd1", r, 0, 0, table, 1, again, last); }).first,
            "hd1             CL1-A    64015     1  -  -       0       1  DISK-1          \n");
  EXPECT_EQ(again.local_pages_total, 0);
  // Pages not valid are neither shown nor counted.
  const auto no_data = sample(
      [](DevIdentity& x) { x.ldev = 1, x.sl_id = 0x7E, x.cl_id = 0, x.bitmap_pages[0] = 50; });
  EXPECT_EQ(walk({no_data}, 0, none, unset),
            kBitmapHeader +
                "hd1             CL1-A    64015     1 126  0       -       -  DISK-1          \n");
  EXPECT_EQ(std::vector<int>({none.local_pages_total, unset.serial}), std::vector<int>({0, -1}));
  // Absent devices: a row of dashes, and no lookup.
  EXPECT_EQ(walk({DevIdentity{}}, 0, none, unset, 0),
            kBitmapHeader +
                "hd1             -            -     -  -  -       -       -  -               \n");
  EXPECT_EQ(capture([&] { report_cli_bitmap("hd1", {}, 1, 0, table, 0, none, unset); }), Out());
  EXPECT_EQ(bitmap_header(FMT_BITMAP, 1),
            "DEVICE_FILE" + sp(50) + "PORT    SERIAL  LDEV SL CL  +RZ/VX  UNUSED  PRODUCT_ID\n");
  const std::pair<u8, const char*> ids[] = {{0xFF, "-"}, {0x7F, "-"},   {0x7E, "126"},
                                            {0, "0"},    {0x80, "128"}, {0xFE, "254"}};
  for (const auto& [id, text] : ids) EXPECT_EQ(bitmap_id_text(id), text) << int(id);
}

TEST(WwnTable, HeadersAndRows) {
  const std::string tail = "AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n";
  EXPECT_EQ(wwn_header(1, 0), "DEVICE_FILE     WWN              " + tail);
  EXPECT_EQ(wwn_header(2, 0), "DEVICE_FILE     PWWN             " + tail);
  EXPECT_EQ(wwn_header(3, 1), "DEVICE_FILE" + sp(50) + "NWWN             " + tail);
  DevIdentity target = sample();  // a target designator but no host WWNs
  target.tgt_wwn_valid = 1, target.al_pa = 0xEF, target.lun = 5;
  test::set_text(target.tgt_wwn, "50060e8000c3a1b2");
  DevIdentity host = sample();  // host WWNs without a target designator
  host.host_wwn_valid = 1;
  test::set_text(host.host_port_wwn, "10000000c9123456");
  test::set_text(host.host_node_wwn, "20000000c9123456");
  const std::string t = " EF CL1-A     5    64015  1234 DISK-1          \n";
  const std::string h = "  - CL1-A     -    64015  1234 DISK-1          \n";
  const std::tuple<const DevIdentity*, int, std::string> cases[] = {
      {&target, 1, "50060e8000c3a1b2" + t}, {&target, 2, "-" + sp(15) + t},
      {&target, 3, "-" + sp(15) + t},       {&host, 1, "-" + sp(15) + h},
      {&host, 2, "10000000c9123456" + h},   {&host, 3, "20000000c9123456" + h}};
  for (const auto& [r, kind, row] : cases)
    EXPECT_EQ(wwn_row("hd1", *r, 0, 0, kind), "hd1" + sp(13) + row);
  target.ldev = 255, target.al_pa = 1;
  EXPECT_EQ(wwn_row("hd1", target, FMT_HEX, 0, 1),
            "hd1" + sp(13) + "50060e8000c3a1b2 01 CL1-A     5    64015    FF DISK-1          \n");
  // Through the entry point: the mark, and an absent device.
  const auto fenced = sample([](DevIdentity& x) { x.fencor = 1; });
  TableState table;
  EXPECT_EQ(
      capture([&] {
        report_cli_wwn("a/hd1", fenced, 0, FMT_FENCOR, table, 1, 2);
        report_cli_wwn("hd9", DevIdentity{}, 0, FMT_FENCOR, table, 0, 2);
      }),
      Out("DEVICE_FILE     PWWN             " + tail + "hd1*            -" + sp(15) + h +
              "hd9             -                 - -         -        -     - -" + sp(15) + "\n",
          ""));
}

TEST(ExportRecord, Lines) {
  const DevIdentity r = sample();
  EXPECT_EQ(export_line("harddisk1", r), "VOXMIRA:@CL1-A@64015@1234@126@DISK-1@harddisk1\n");
  // A character of 128 or more can turn the check value negative: 126 ^ 0xE9 is -105.
  EXPECT_EQ(export_line("harddisk1\xE9", r),
            "VOXMIRA:@CL1-A@64015@1234@-105@DISK-1@harddisk1\xE9\n");
  EXPECT_EQ(export_line("harddisk1", sample([](DevIdentity& x) {
                          test::set_text(x.product_id, "                ");
                        })),
            "VOXMIRA:@CL1-A@64015@1234@119@                @harddisk1\n");
  // LDEV stays decimal whatever the flags; absent devices print nothing.
  TableState table;
  EXPECT_EQ(capture([&] {
              report_cli("harddisk1", r, 3, FMT_HEX, table, 1);
              report_cli("hd2", r, 3, 0, table, 0);
            }),
            Out("VOXMIRA:@CL1-A@64015@1234@126@DISK-1@harddisk1\n", ""));
  const std::pair<std::string, int> checks[] = {{"", 0},        {"A", 65},    {"AA", 0},
                                                {"\x80", -128}, {"\xFF", -1}, {"\x7F", 127}};
  for (const auto& [text, value] : checks) EXPECT_EQ(check_value(text), value) << text;
  const std::pair<const char*, const char*> products[] = {// '~' stands for NUL
                                                          {"DISK-1          ", "DISK-1"},
                                                          {"                ", "                "},
                                                          {"~~~~~~~~~~~~~~~~", ""},
                                                          {"  ~~~~~~~~~~~~~~", "  "},
                                                          {"AB~CD           ", "AB"},
                                                          {"A B C D E F G H ", "A B C D E F G H"},
                                                          {"0123456789ABCDEF", "0123456789ABCDEF"}};
  for (const auto& [product, text] : products) {
    DevIdentity x = sample();
    for (int i = 0; i < 16; ++i) x.product_id[i] = product[i] == '~' ? '\0' : product[i];
    EXPECT_EQ(export_product(x), text) << product;
  }
}

}  // namespace
}  // namespace vox
