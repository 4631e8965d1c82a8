// Report formats byte for byte (default report, CLI, bitmap and WWN tables, export line),
// and the pair-status tool's command lines and answers. Whole example reports are the
// end-to-end suite's; these rows are about field widths, layouts and edge cases.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>

#include "driver/run_options.h"
#include "platform/platform.h"
#include "report/bitmap_format.h"
#include "report/cli_format.h"
#include "report/default_format.h"
#include "report/export_record.h"
#include "report/names.h"
#include "report/pair_table.h"
#include "report/reports.h"
#include "report/wwn_format.h"
#include "support/fake_backend.h"

namespace vox {
namespace {

using u8 = std::uint8_t;
using Out = std::pair<std::string, std::string>;  // stdout, stderr
using Strings = std::vector<std::string>;
using Edit = void (*)(DevIdentity&);

template <std::size_t N>
void set_text(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::memcpy(field, text, strnlen(text, N - 1));
}

// harddisk1 of the worked examples (CL1-A of array 64015, LDEV 1234), changed by `edit`.
DevIdentity sample(Edit edit = nullptr) {
  DevIdentity r;
  set_text(r.port_name, "CL1-A");
  set_text(r.vendor_id, "TARVELO ");
  set_text(r.product_id, "DISK-1          ");
  r.serial = 64015, r.ldev = 1234, r.sl_id = 0xFF, r.cl_id = 0xFF;
  if (edit != nullptr) edit(r);
  return r;
}

Out capture(const std::function<void()>& body) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  std::string out = testing::internal::GetCapturedStdout();
  return {out, testing::internal::GetCapturedStderr()};
}

std::string sp(std::size_t n) {
  return std::string(n, ' ');
}

TEST(DefaultReport, Texts) {
  const std::string first = " -> CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]\n";
  const std::tuple<Edit, const char*, unsigned, std::string> cases[] = {
      {nullptr, "hd/x", 0, "hd/x" + first},  // neither states nor RAID data: one line
      {nullptr, "a", FMT_HEX,
       "a -> CL1-A Ser =   64015 LDEV = 4D2 [TARVELO ] [DISK-1          ]\n"},
      {[](DevIdentity& r) { r.serial = 123456789, r.ldev = 0xABCDE; }, "a", FMT_HEX,
       "a -> CL1-A Ser =123456789 LDEV =ABCDE [TARVELO ] [DISK-1          ]\n"},
      // The mark widens the lead of the continuation lines.
      {[](DevIdentity& r) { r.vol_attr = 3, r.remote_pair_state = 2, r.raid_valid = 1; }, "hd1",
       FMT_HARD | FMT_PIN,
       "hd1*" + first + sp(8) + "VEXA = P-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]\n" +
           sp(8) + "UNMAP[Group 00000] SSID = 0x0000 CTGID =  0\n"}};
  for (const auto& [edit, name, flags, text] : cases)
    EXPECT_EQ(capture([&] { report_default(name, sample(edit), 0, flags); }), Out(text, ""));
  EXPECT_EQ(capture([] { report_default("hd1", sample(), 3, 0); }), Out());  // -export
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
  const std::pair<u8, std::string> ctgs[] = {
      {0xFF, ""}, {0, " CTGID =  0"}, {127, " CTGID = 127"}, {0xFE, " CTGID = 254"}};
  for (const auto& [ctg, tail] : ctgs) {
    r.ctg_id = ctg;
    EXPECT_EQ(default_raid_line("    ", r), "     SNAPS[PoolID 0003] SSID = 0xAB0C" + tail + "\n");
  }
}

TEST(DefaultReport, VolumeKindsAndMarks) {
  const std::tuple<u8, u8, u8, const char*> kinds[] = {
      {0x00, 3, 4, "UNMAP[Group 00000]"},        {0x11, 1, 2, "SNAPS[PoolID 0258]"},
      {0x11, 0xFF, 0xFF, "SNAPS[PoolID 65535]"}, {0x12, 0, 7, "A-LUN[PoolID 0007]"},
      {0x10, 0x12, 0x34, "E-LUN[Group 04660]"},  {0x0A, 1, 2, "RAIDA[Group  1- 2]"},
      {0x01, 255, 255, "RAID1[Group 255-255]"},  {0x13, 0, 0, "RAID13[Group  0- 0]"}};
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
std::string cli_run(const Strings& names, const DevIdentity& r, unsigned flags, int present = 1) {
  TableState table;
  return capture([&] {
           for (const auto& n : names) report_cli(n.c_str(), r, 0, flags, table, present);
         })
      .first;
}

TEST(CliTable, FirstNameChoosesTheNameColumn) {
  const std::string n24(24, 'n'), n25(25, 'w'), n30(30, 'o');
  const std::string wide = "DEVICE_FILE" + sp(50) + kCliHeader.substr(16);
  const std::tuple<Strings, unsigned, int, std::string> cases[] = {
      {{n24, n30}, 0, 1, kCliHeader + n24 + kPlain + n30 + kPlain},  // a later name overflows
      {{n25, "hd1"}, 0, 1, wide + n25 + sp(35) + kPlain + "hd1" + sp(57) + kPlain},
      {{"/a/b/c/d/e/f/g/h/i/j/k/hd1"}, 0, 1, kCliHeader + "hd1" + sp(12) + kPlain},
      {{n24}, FMT_HARD, 1, kCliHeader + n24 + "*" + kPlain},  // the mark does not count
      {{"x/hd8"},
       FMT_HARD,
       0,  // absent: never marked
       kCliHeader + "hd8             -            -     -   -       -     -       - DISK-1" +
           sp(10) + "\n"}};
  for (const auto& [names, flags, present, text] : cases)
    EXPECT_EQ(cli_run(names, sample([](DevIdentity& r) { r.vol_attr = 1; }), flags, present), text);
  const std::string z25(25, 'z'), out = cli_run({z25}, DevIdentity{}, FMT_WIDE, 0);
  EXPECT_EQ(out.substr(out.find('\n') + 1), z25 + sp(35) + " -            -     -   -  -" + sp(69) +
                                                "     -       - -               \n");
}

TEST(CliTable, Rows) {
  // LDEV, flags, RAID level (-1: neither states nor RAID data), group, CTG, then the
  // columns LDEV to R:Group, and the wide row's where they differ.
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
    const std::string tail = std::string(wide_mid != nullptr ? wide_mid : mid) + " DISK-1" + sp(10);
    EXPECT_EQ(cli_row("hd1", r, flags, 0),
              "hd1" + sp(13) + "CL1-A    64015 " + mid + " DISK-1" + sp(10) + "\n");
    EXPECT_EQ(cli_row("hd1", r, flags, 1), "hd1" + sp(58) + "CL1-A    64015 " + tail + "\n");
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
  EXPECT_EQ(cli_mu_column(r, 0, true) + cli_mu_column(r, 0, false), "P/-/--     -");
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
    set_text(r.nic_name, nic_name);
    EXPECT_EQ(cli_product_header(flags), header) << flags;
    EXPECT_EQ(cli_product_text(r, flags), value) << flags;
  }
  // In rows, an empty NIC name is padded.
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
    std::string expected = kBitmapHeader.substr(0, 44) + title + "  UNUSED  PRODUCT_ID\n";
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
  // Pages not valid are neither shown nor counted; absent devices get dashes.
  const auto no_data = sample(
      [](DevIdentity& x) { x.ldev = 1, x.sl_id = 0x7E, x.cl_id = 0, x.bitmap_pages[0] = 50; });
  EXPECT_EQ(walk({no_data}, 0, none, unset),
            kBitmapHeader +
                "hd1             CL1-A    64015     1 126  0       -       -  DISK-1          \n");
  EXPECT_EQ(std::vector<int>({none.local_pages_total, unset.serial}), std::vector<int>({0, -1}));
  EXPECT_EQ(bitmap_absent_row("hd1", {}, 0),
            "hd1             -            -     -  -  -       -       -  -               \n");
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
  set_text(target.tgt_wwn, "50060e8000c3a1b2");
  DevIdentity host = sample();  // host WWNs without a target designator
  host.host_wwn_valid = 1;
  set_text(host.host_port_wwn, "10000000c9123456");
  set_text(host.host_node_wwn, "20000000c9123456");
  const std::string t = " EF CL1-A     5    64015  1234 DISK-1          \n";
  const std::string h = "  - CL1-A     -    64015  1234 DISK-1          \n";
  const std::tuple<const DevIdentity*, int, std::string> cases[] = {
      {&target, 1, "50060e8000c3a1b2" + t}, {&target, 2, "-" + sp(15) + t},
      {&target, 3, "-" + sp(15) + t},       {&host, 1, "-" + sp(15) + h},
      {&host, 2, "10000000c9123456" + h},   {&host, 3, "20000000c9123456" + h}};
  for (const auto& [r, kind, row] : cases)
    EXPECT_EQ(wwn_row("hd1", *r, 0, 0, kind), "hd1" + sp(13) + row);
  target.ldev = 255, target.al_pa = 1;
  EXPECT_EQ(wwn_row("hd1*", target, FMT_HEX, 0, 1),
            "hd1*" + sp(12) + "50060e8000c3a1b2 01 CL1-A     5    64015    FF DISK-1          \n");
  EXPECT_EQ(wwn_absent_row("hd9", {}, 0),
            "hd9             -                 - -         -        -     - -" + sp(15) + "\n");
}

TEST(ExportRecord, Lines) {
  // A character of 128 or more can turn the check value negative: 126 ^ 0xE9 is -105.
  EXPECT_EQ(export_line("harddisk1\xE9", sample()),
            "VOXMIRA:@CL1-A@64015@1234@-105@DISK-1@harddisk1\xE9\n");
  EXPECT_EQ(export_line("harddisk1",
                        sample([](DevIdentity& x) { set_text(x.product_id, "                "); })),
            "VOXMIRA:@CL1-A@64015@1234@119@                @harddisk1\n");
  // LDEV stays decimal whatever the flags; absent devices print nothing.
  TableState table;
  EXPECT_EQ(capture([&] {
              report_cli("harddisk1", sample(), 3, FMT_HEX, table, 1);
              report_cli("hd2", sample(), 3, 0, table, 0);
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

// Each popen gets the next answer and exit status (none left, or no text: ENOENT); each
// system call the set status and errno.
struct ToolBackend : test::FakeBackend {
  std::FILE* popen(const char* command, const char* mode) override {
    commands.emplace_back(command), modes.emplace_back(mode);
    const auto answer = answers.empty() ? Answer{} : answers.front();
    if (!answers.empty()) answers.pop_front();
    if (!answer.first) return errno = ENOENT, nullptr;
    std::FILE* f = std::tmpfile();
    std::fputs(answer.first->c_str(), f);
    std::rewind(f);
    statuses.push_back(answer.second);
    return f;
  }
  int pclose(std::FILE* f) override {
    std::fclose(f);
    const int status = statuses.front();
    statuses.pop_front();
    return status;
  }
  int system(const char* command) override {
    commands.emplace_back(command);
    errno = system_errno;
    return system_status;
  }
  using Answer = std::pair<std::optional<std::string>, int>;
  Strings commands, modes;
  std::deque<Answer> answers;
  std::deque<int> statuses;
  int system_status = 0, system_errno = 0;
};

// Sets, or with null removes, the variable that widens the local MU range.
void set_quil(const char* value) {
  if (value != nullptr) {
    setenv("VEXAC_QUIL", value, 1);
  } else {
    unsetenv("VEXAC_QUIL");
  }
}

class Lookups : public testing::Test {
 protected:
  void SetUp() override {
    auto b = std::make_unique<ToolBackend>();
    tool = b.get();
    plat::set_backend(std::move(b));
    set_quil(nullptr);
  }
  void TearDown() override { set_quil(nullptr); }
  Out findc(const DevIdentity& r, int quiet = 0, const char* name = "harddisk1") {
    return capture([&] { find_pair_groups(name, r, quiet, table); });
  }
  ToolBackend* tool = nullptr;
  TableState table;
};

const std::string kTool = "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 ";
const std::string kTitle =
    "GROUP PAIRVOL L/R DEVICE SERIAL LDEV P/S STATUS COPY P_SERIAL P_LDEV MU\n";
const std::string kOwn = "VG1 vol1 L Harddisk1 64015 1234 P-VOL PAIR remote 64016 2000 0\n";
const std::string kPartner = "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234 0\n";
const std::string kAnswer = kTitle + kOwn + kPartner;
const std::string kPairHeader =
    "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n";
std::string pair_row(const char* label = "- ") {
  return "harddisk1      " + std::string(label) +
         " VG1      vol1       P-VOL PAIR  Harddisk5   -  S-VOL PAIR OK\n";
}
const DevIdentity kRemote = sample([](DevIdentity& r) { r.remote_pair_state = 2; });
const DevIdentity kMus = sample([](DevIdentity& r) {
  r.remote_pair_state = 2, r.local_pair_state[0] = 1, r.local_pair_state[2] = 3;
});

// The words of an answer line, entry 0 being the program path.
struct Words {
  explicit Words(const std::string& text) : words{"twinlist"} {
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    view.assign(words.begin(), words.end());
  }
  Strings words;
  AnswerLine view;
};

// Remote layout: serial 5, LDEV 6, partner serial 10 and LDEV 11; the local layout has
// the MU at 5 and the keys one word further. Partner keys of "-" (or beginning with it)
// are not compared, but a second key of "-" is always NG.
TEST(PairLinkCheck, CrossChecks) {
  const std::tuple<bool, const char*, const char*, const char*> cases[] = {
      {false, "G V L D 1 2 P S x 3 4 0", "G V R E 3 4 S S x 1 2 0", "OK"},
      {false, "G V L D 9 2 P S x 3 4 0", "G V R E 3 4 S S x 1 2 0", "NG"},
      {false, "G V L D 1 2 P S x 9 4 0", "G V R E 3 4 S S x 1 2 0", "NG"},
      {false, "G V L D 1 2 P S x 3 4 0", "G V R E 3 4 S S x 1 7 0", "NG"},
      {false, "G V L D 1 2 P S x 3 8 0", "G V R E 3 4 S S x 1 2 0", "NG"},
      {false, "G V L D 1 - P S x - - 0", "G V R E 3 4 S S x - - 0", "NG"},
      {false, "G V L D 1 2 P S x - - 0", "G V R E 3 -7 S S x - - 0", "NG"},
      {false, "G V L D 1 2 P S x - - 0", "G V R E 5 6 S S x - - 0", "OK"},
      {false, "G V L D 9 2 P S x 3 4 0", "G V R E 3 4 S S x - 2 0", "OK"},
      {false, "G V L D 1 2 P S x -9 4 0", "G V R E 5 4 S S x 1 -1 0", "OK"},
      {false, "G V L D 1 02 P S x 3 4 0", "G V R E 3 4 S S x 1 2 0", "NG"},  // text, not number
      {false, "X Y L D 1 2 P S 7 3 4 q", "Z W R E 3 4 S C 8 1 2 r", "OK"},   // unread words
      {true, "G V L D 0 1 2 P S 1 5 x", "G V R E 0 1 5 S S 1 2 x", "OK"},
      {true, "G V L D 0 1 2 P S 1 6 x", "G V R E 0 1 5 S S 1 2 x", "NG"},
      {true, "G V L D 0 1 2 P S 1 5 x", "G V R E 3 3 5 S S 1 2 x", "NG"},
      {true, "G V L D 0 1 - P S - - x", "G V R E 0 1 5 S S - - x", "NG"},
      {true, "G V L D - 1 2 P S 1 5 x", "G V R E - 1 5 S S 1 2 x", "OK"}};
  for (const auto& [local, own, partner, link] : cases)
    EXPECT_STREQ(pair_link_check(Words(own).view, Words(partner).view, local), link) << own;
  // Short lines are incomplete, and reading one stays inside it.
  EXPECT_FALSE(pair_line_complete(Words("a b c d e f g h i j k").view));
  EXPECT_TRUE(pair_line_complete(Words("a b c d e f g h i j k l").view));
  EXPECT_STREQ(pair_link_check(Words("a").view, Words("b").view, false), "OK");
  for (int count : {101, -1}) {
    TokenLine line;
    line.count = count;
    EXPECT_TRUE(answer_line(line).empty()) << count;
  }
}

TEST_F(Lookups, FindcAnswers) {
  const std::string no_such = "a/harddisk1[-] -> No such on the group\n";
  const std::tuple<std::string, int, std::string, std::string> cases[] = {
      // Answer, exit status, then what is printed when not quiet.
      {kAnswer.substr(0, kAnswer.size() - 1), 0, pair_row(), ""},  // no final line feed
      {kAnswer + "extra words", 0, pair_row(), ""},  // an unfinished line does not count
      {kTitle + kOwn, 0, "", ""},
      {"", 0, "", ""},
      {kAnswer + kPartner, 0, "", no_such},  // four lines
      {"", 1, "", no_such},
      {kAnswer, 256, "", no_such},
      {kTitle + kOwn + "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234\n", 0, "", ""},
      {kTitle + "VG1 vol1\n" + kPartner, 0, "", ""},
      {kTitle + " \t \n\n", 0, "", ""}};
  for (const auto& [text, status, row, err] : cases) {
    for (int quiet : {0, 1}) {
      tool->answers = {{text, status}};
      table = {};
      const std::string out = row.empty() ? "" : kPairHeader + row;
      EXPECT_EQ(findc(kRemote, quiet, "a/harddisk1"), Out(out, quiet ? "" : err)) << text;
      EXPECT_EQ(table.header_done, !row.empty()) << text;
    }
  }
  EXPECT_EQ(findc(sample()), Out());  // no pair state: no command
  EXPECT_EQ(tool->commands.size(), std::size(cases) * 2);
  EXPECT_EQ(tool->modes.back(), "rt");
}

TEST_F(Lookups, FindcMusAndFailures) {
  // With MU tables the remote MU#0..3 in a state are looked up, one command each; a
  // title-only answer leaves nothing of an earlier one; a failed pipe is reported.
  DevIdentity r = kRemote;
  r.mu_table_valid = 1, r.remote_mu_states[0] = 2, r.remote_mu_states[1] = 3;
  r.remote_mu_states[2] = 1, r.remote_mu_states[3] = 2, r.remote_mu_states[4] = 2;
  tool->answers = {{kAnswer, 0}, {kTitle, 0}, {std::nullopt, 0}, {kAnswer, 0}};
  EXPECT_EQ(findc(r), Out(kPairHeader + pair_row() + pair_row("h3"),
                          std::string("popen(): ") + std::strerror(ENOENT) + "\n"));
  EXPECT_EQ(tool->commands, Strings({kTool + "0 -fd -CLI 2>NUL", kTool + "1 -fd -CLI 2>NUL",
                                     kTool + "2 -fd -CLI 2>NUL", kTool + "3 -fd -CLI 2>NUL"}));
  EXPECT_EQ(findc(r, 1), Out());  // quiet, and every pipe fails
}

TEST_F(Lookups, FindcWideLayout) {
  const std::string d25(25, 'D'), s49(49, ' ');
  tool->answers = {
      {kTitle + kOwn + "VG1 vol1 R " + d25 + " 64016 2000 S-VOL PAIR remote 64015 1234 0\n", 0},
      {kAnswer, 0}};
  const std::string header = "DEVICE_FILE" + s49 + "M  Group    PairVol    P/S   Stat  R_DEVICE" +
                             s49 + "   M  P/S   Stat LK\n";
  EXPECT_EQ(findc(kRemote, 1).first, header + "harddisk1" + s49 +
                                         "  -  VG1      vol1       P-VOL " + "PAIR  " + d25 +
                                         s49.substr(15) + " -  S-VOL PAIR OK\n");
  EXPECT_EQ(table.wide_layout, 1);
  table = {};  // a shown name of 25 characters chooses it too
  EXPECT_EQ(findc(kRemote, 1, "x/aaaaaaaaaaaaaaaaaaaaaaaaa").first.substr(0, header.size()),
            header);
}

TEST_F(Lookups, MuList) {
  DevIdentity tables = kMus;
  tables.mu_table_valid = 1, tables.remote_mu_states[0] = 2, tables.remote_mu_states[3] = 1;
  tables.remote_mu_states[4] = 1;  // MU#4 and up are not looked up
  tables.local_mu_states[0] = 1, tables.local_mu_states[2] = 3, tables.local_mu_states[63] = 2;
  const DevIdentity none = sample();
  const std::tuple<const DevIdentity*, const char*, const char*> cases[] = {
      // null: unset
      {&kMus, nullptr, "0 "},     {&kMus, "", "0 2 "},       {&kMus, "x", "0 2 "},
      {&tables, nullptr, "0 3 "}, {&tables, "1", "0 2 63 "}, {&none, "1", ""}};
  for (const auto& [r, quil, text] : cases) {
    set_quil(quil);
    EXPECT_EQ(mu_list_text(*r), text) << (quil ? quil : "(unset)");
  }
}

TEST_F(Lookups, FindCommandLinesAndFailures) {
  const std::string no_such = "a/hd1 -> No such on the group\n";
  const std::string sys = std::string("system(): ") + std::strerror(ENOENT) + "\n";
  const std::tuple<const char*, DevIdentity, unsigned, int, int, std::string, Out> cases[] = {
      // VEXAC_QUIL, record, flags, system's status and errno, command, printed.
      {nullptr, kMus, 0, 0, 0, "0   -l 2>NUL", {"->a/hd1\n", ""}},
      {nullptr, kMus, FMT_HEX, 0, 0, "0  -fx -l 2>NUL", {"->a/hd1\n", ""}},
      {"1", kMus, 0, 0, 0, "0 2   -l 2>NUL", {"->a/hd1\n", ""}},
      {"", sample(), 0, 0, 0, "  -l 2>NUL", {"->a/hd1\n", ""}},  // no MU in a state
      {nullptr, sample(), 0, 1, 0, "  -l 2>NUL", {"", no_such}},
      {nullptr, sample(), 0, -1, ENOENT, "  -l 2>NUL", {"", no_such + sys}},  // no interpreter
      {nullptr, sample(), 0, 0, ENOENT, "  -l 2>NUL", {"->a/hd1\n", sys}}};
  for (const auto& [quil, r, flags, status, error, command, printed] : cases) {
    set_quil(quil);
    tool->commands.clear();
    tool->system_status = status, tool->system_errno = error;
    EXPECT_EQ(capture([&] { report_default("a/hd1", r, 1, flags | FMT_HARD); }), printed);
    EXPECT_EQ(tool->commands, Strings{kTool + command});
  }
}

TEST_F(Lookups, FindCliForm) {
  EXPECT_EQ(capture([&] {
              report_cli("x/hd1", kMus, 1, FMT_HEX | FMT_HARD, table, 1);
              report_cli("hd2", kMus, 1, 0, table, 0);  // absent: no lookup
            }),
            Out("-> x/hd1\n", ""));
  EXPECT_EQ(tool->commands, Strings{kTool + "0  -fx -l -CLI 2>NUL"});
  EXPECT_EQ(table.header_done, 0);
  // A failed lookup is silent, error indicator included, in every table form.
  tool->system_status = 256, tool->system_errno = EACCES;
  BitmapTotals totals;
  LastCounted last;
  EXPECT_EQ(capture([&] {
              report_cli_wwn("hd1", kMus, 1, 0, table, 1, 1);
              report_cli_bitmap("hd1", sample(), 1, 0, table, 1, totals, last);
            }),
            Out());
  EXPECT_EQ(tool->commands.size(), 3u);
}

}  // namespace
}  // namespace vox
