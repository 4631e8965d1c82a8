// Report formats and pair-tool lookups: the edge cases the end-to-end example runs miss.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
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

// harddisk1 of the worked examples (CL1-A of array 64015, LDEV 1234), changed by `edit`.
DevIdentity sample(Edit edit = nullptr) {
  DevIdentity r;
  std::strcpy(r.port_name, "CL1-A");
  std::strcpy(r.vendor_id, "TARVELO ");
  std::strcpy(r.product_id, "DISK-1          ");
  r.serial = 64015, r.ldev = 1234, r.sl_id = 0xFF, r.cl_id = 0xFF;
  if (edit != nullptr) edit(r);
  return r;
}

template <class Body>
Out capture(Body body) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  std::string out = testing::internal::GetCapturedStdout();
  return {out, testing::internal::GetCapturedStderr()};
}

const auto sp = [](std::size_t n) { return std::string(n, ' '); };

// Field widths at their limits; whole reports, marks and hex LDEVs are end-to-end cases.
TEST(DefaultReport, LinesKindsAndMarks) {
  const auto big = sample([](DevIdentity& x) { x.serial = 123456789, x.ldev = 0xABCDE; });
  EXPECT_EQ(default_first_line("a*", big, FMT_HEX) + default_first_line("a", big, 0),
            "a* -> CL1-A Ser =123456789 LDEV =ABCDE [TARVELO ] [DISK-1          ]\n"
            "a -> CL1-A Ser =123456789 LDEV =703710 [TARVELO ] [DISK-1          ]\n");
  // States past 3 read NONE.
  DevIdentity p = sample();
  p.remote_pair_state = 2, p.local_pair_state[0] = 3, p.local_pair_state[1] = 0xFF;
  p.local_pair_state[2] = 1;
  EXPECT_EQ(default_pair_line("  ", p),
            "   VEXA = P-VOL  TESSIK[MU#0 = S-VOL MU#1 = NONE MU#2 = SMPL]\n");
  DevIdentity x = sample();
  x.raid_valid = 1, x.raid_level = 0x11, x.raid_group[1] = 3, x.ctg_id = 0xFE;
  x.ssid[0] = 0xAB, x.ssid[1] = 0x0C;
  EXPECT_EQ(default_raid_line("", x), " SNAPS[PoolID 0003] SSID = 0xAB0C CTGID = 254\n");
  const auto kind = [](u8 level, u8 g0, u8 g1) {
    DevIdentity r = sample();
    r.raid_level = level, r.raid_group[0] = g0, r.raid_group[1] = g1;
    return volume_kind_text(r) + "|";
  };
  EXPECT_EQ(kind(0x11, 0xFF, 0xFF) + kind(0x0A, 1, 2) + kind(0x01, 255, 255) + kind(0x13, 0, 0),
            "SNAPS[PoolID 65535]|RAIDA[Group  1- 2]|RAID1[Group 255-255]|RAID13[Group  0- 0]|");
  // -fh marks volume attribute bit 0, -fp bit 1, -ff a fence level.
  const auto mark = [](unsigned flags, u8 attr, u8 fencor) {
    DevIdentity r = sample();
    r.vol_attr = attr, r.fencor = fencor;
    return marked_name("h", r, flags) + "|";
  };
  EXPECT_EQ(mark(0, 3, 1) + mark(FMT_HARD, 2, 0) + mark(FMT_PIN, 2, 0) + mark(FMT_FENCOR, 0, 9) +
                mark(FMT_HARD | FMT_PIN | FMT_FENCOR, 0xFC, 0),
            "h|h|h*|h*|h|");
}

const std::string kCliHeader =
    "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n";
const std::string kPlain = " CL1-A    64015  1234   -       -     -       - DISK-1          \n";

// The first name of a run chooses the name column: 15 characters up to 24, else 60.
TEST(CliTable, NameColumn) {
  const std::string n24(24, 'n'), n25(25, 'w'), n30(30, 'o');
  const std::string wide = "DEVICE_FILE" + sp(50) + kCliHeader.substr(16);
  const std::tuple<Strings, unsigned, std::string> cases[] = {
      {{n24, n30}, 0, kCliHeader + n24 + kPlain + n30 + kPlain},  // a later name overflows
      {{n25, "hd1"}, 0, wide + n25 + sp(35) + kPlain + "hd1" + sp(57) + kPlain},
      {{n24}, FMT_HARD, kCliHeader + n24 + "*" + kPlain}};  // the mark does not count
  for (const auto& [names, flags, text] : cases) {
    TableState table;
    const auto r = sample([](DevIdentity& x) { x.vol_attr = 1; });
    EXPECT_EQ(capture([&] {
                for (const auto& n : names) report_cli(n.c_str(), r, 0, flags, table, 1);
              }).first,
              text);
  }
}

TEST(CliTable, Rows) {
  // LDEV, flags, RAID level (-1: no data), group, CTG, LDEV to R:Group, wide if different.
  const std::tuple<std::int32_t, unsigned, int, u8, u8, u8, const char*, const char*> cases[] = {
      {1234, 0, 0x00, 9, 9, 0xFF, " 1234   -  -/P/--  0004 U:00000", nullptr},
      {1234, 0, 0x11, 1, 2, 0, " 1234   0  -/P/--  0004 S:00258", nullptr},
      {1234, 0, 0x12, 0, 7, 254, " 1234 254  -/P/--  0004 A:00007",
       " 1234  254  -/P/--  0004 A:00007"},
      {0xABCD, FMT_HEX, -1, 0, 0, 0xFF, " ABCD   -       -     -       -", nullptr},
      {0x12345, 0, -1, 0, 0, 0xFF, "74565   -       -     -       -", nullptr}};
  for (const auto& [ldev, flags, level, g0, g1, ctg, mid, wide_mid] : cases) {
    DevIdentity r = sample();
    r.ldev = ldev, r.ctg_id = ctg;
    if (level >= 0) {
      r.local_pair_state[0] = 2, r.ssid[1] = 0x04, r.raid_valid = 1;
      r.raid_level = u8(level), r.raid_group[0] = g0, r.raid_group[1] = g1;
    }
    const std::string wide = wide_mid != nullptr ? wide_mid : mid, tail = " DISK-1" + sp(10) + "\n";
    EXPECT_EQ(cli_row("hd1", r, flags, 0), "hd1" + sp(13) + "CL1-A    64015 " + mid + tail);
    EXPECT_EQ(cli_row("hd1", r, flags, 1), "hd1" + sp(58) + "CL1-A    64015 " + wide + tail);
  }
}

// Remote MU#0..3 / local MU#0 / local MU#1..63, shown only when the MU#0..2 summary has one.
TEST(CliTable, WideMuColumn) {
  DevIdentity r = sample([](DevIdentity& x) { x.local_mu_states[5] = 2; });
  EXPECT_EQ(cli_mu_column(r, FMT_WIDE, true), "-" + sp(69));
  r.remote_pair_state = 2, r.remote_mu_states[0] = 2, r.remote_mu_states[3] = 1;
  r.remote_mu_states[4] = 3, r.local_mu_states[0] = 3, r.local_mu_states[1] = 1;
  r.local_mu_states[5] = 0, r.local_mu_states[62] = 9, r.local_mu_states[63] = 2;
  EXPECT_EQ(cli_mu_column(r, FMT_WIDE, true), "P--s/S/s" + std::string(61, '-') + "P");
  EXPECT_EQ(cli_mu_column(r, FMT_WIDE, false), "-" + sp(69));
  EXPECT_EQ(cli_mu_column(r, 0, true) + cli_mu_column(r, 0, false), "P/-/--     -");
}

DevIdentity bitmap_record(std::int32_t ldev, std::array<std::uint32_t, 5> pages) {
  DevIdentity r = sample();
  r.ldev = ldev, r.bitmap_valid = 1;
  std::copy(pages.begin(), pages.end(), r.bitmap_pages);
  return r;
}

std::string walk(const std::vector<DevIdentity>& rows, unsigned flags, BitmapTotals& totals,
                 LastCounted& last, TableState table = {}) {
  return capture([&] {
           for (const auto& r : rows) report_cli_bitmap("hd1", r, 0, flags, table, 1, totals, last);
         })
      .first;
}

// Two paths to LDEV 1 count once, the command device not at all; the header resets.
TEST(BitmapTable, SortedTotals) {
  DevIdentity cm = bitmap_record(2, {100, 100, 100, 100, 100});
  cm.is_cmddev = 1;
  const DevIdentity one = bitmap_record(1, {10, 20, 30, 1, 2});
  const std::vector<DevIdentity> rows = {one, one, cm, bitmap_record(3, {5, 6, 7, 8, 9})};
  const std::string row = "hd1             CL1-A    64015     ";
  for (const auto& [flags, title] : {std::pair{FMT_CYL, "LQ/LQ"}, {FMT_BITMAP, "RZ/VX"}}) {
    BitmapTotals totals;
    LastCounted last{64015, 1};
    EXPECT_EQ(walk(rows, flags | FMT_CYL, totals, last).substr(0, 129),
              "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +" + std::string(title) +
                  "  UNUSED  PRODUCT_ID\n" + row + "1  -  -      " +
                  (flags == FMT_CYL ? "10       1" : "30       2"));
    EXPECT_EQ(std::vector<int>({totals.local_pages_total, totals.remote_pages_total,
                                totals.remote_cyl_total, last.serial, last.ldev}),
              std::vector<int>({15, 26, 37, 64015, 3}));
  }
  BitmapTotals totals;
  LastCounted last;
  EXPECT_EQ(walk(rows, FMT_BITMAP, totals, last).substr(71),
            row + "1  -  -      20       2  DISK-1          \n" + row +
                "1  -  -      20       2  DISK-1          \n" + row +
                "2  -  -      20     100  DISK-1          \n" + row +
                "3  -  -      26       9  DISK-1          \n");
  EXPECT_EQ(bitmap_id_text(0x7F) + "|" + bitmap_id_text(0x80) + "|" + bitmap_id_text(0), "-|128|0");
}

TEST(WwnTable, HexLdevAndNoHostWwn) {
  DevIdentity r = sample([](DevIdentity& x) { x.tgt_wwn_valid = 1, x.ldev = 255, x.al_pa = 1; });
  std::strcpy(r.tgt_wwn, "50060e8000c3a1b2");
  EXPECT_EQ(wwn_row("hd1*", r, FMT_HEX, 0, 1) + wwn_row("hd1", r, 0, 0, 2),
            "hd1*            50060e8000c3a1b2 01 CL1-A     0    64015    FF DISK-1          \n"
            "hd1             -                01 CL1-A     0    64015   255 DISK-1          \n");
}

// The check value is the XOR of the line's characters as signed chars.
TEST(ExportRecord, Lines) {
  EXPECT_EQ(export_line("harddisk1\xE9", sample()),  // 126 ^ 0xE9 is -105
            "VOXMIRA:@CL1-A@64015@1234@-105@DISK-1@harddisk1\xE9\n");
  const std::pair<std::string, int> checks[] = {
      {"", 0}, {"AA", 0}, {"\x80", -128}, {"\xFF", -1}, {"\x7F", 127}};
  for (const auto& [text, value] : checks) EXPECT_EQ(check_value(text), value) << text;
  // The product without trailing blanks, up to a NUL ('~' here); all blanks stay.
  const std::pair<const char*, const char*> products[] = {{"                ", "                "},
                                                          {"  ~~~~~~~~~~~~~~", "  "},
                                                          {"AB~CD           ", "AB"},
                                                          {"0123456789ABCDEF", "0123456789ABCDEF"}};
  for (const auto& [product, text] : products) {
    DevIdentity x = sample();
    for (int i = 0; i < 16; ++i) x.product_id[i] = product[i] == '~' ? '\0' : product[i];
    EXPECT_EQ(export_product(x), text) << product;
  }
}

// The pair-status tool: popen answers with the next text and exit status (status -1, or
// no answer left: popen fails with ENOENT); system with the set status and errno.
struct ToolBackend : test::FakeBackend {
  std::FILE* popen(const char* command, const char* how) override {
    commands.emplace_back(std::string(how) + " " + command);
    if (answers.empty()) answers.push_back({"", -1});
    const auto [text, answer_status] = answers.front();
    answers.pop_front();
    if ((status = answer_status) < 0) {
      errno = ENOENT;
      return nullptr;
    }
    std::FILE* f = std::tmpfile();
    std::fputs(text.c_str(), f);
    std::rewind(f);
    return f;
  }
  int pclose(std::FILE* f) override { return std::fclose(f), status; }
  int system(const char* command) override {
    commands.emplace_back(command), errno = system_errno;
    return system_status;
  }
  Strings commands;
  std::deque<std::pair<std::string, int>> answers;
  int status = 0, system_status = 0, system_errno = 0;
};

class Lookups : public testing::Test {
 protected:
  void SetUp() override {
    auto b = std::make_unique<ToolBackend>();
    tool = b.get();
    plat::set_backend(std::move(b));
    quil(nullptr);
  }
  void TearDown() override { quil(nullptr); }
  // Sets, or with null removes, the variable that widens the local MU range.
  static void quil(const char* v) { v ? setenv("VEXAC_QUIL", v, 1) : unsetenv("VEXAC_QUIL"); }
  Out findc(const DevIdentity& r, int quiet = 0) {
    TableState table;
    return capture([&] { find_pair_groups("a/harddisk1", r, quiet, table); });
  }
  ToolBackend* tool = nullptr;
};

const std::string kTool = "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 ";
const std::string kTitle = "GROUP PAIRVOL L/R DEVICE SERIAL LDEV P/S STATUS COPY P_SERIAL P_LDEV\n";
const std::string kOwn = "VG1 vol1 L Harddisk1 64015 1234 P-VOL PAIR remote 64016 2000 0\n";
const std::string kPartner = "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234 0\n";
const std::string kAnswer = kTitle + kOwn + kPartner;
const std::string kHeader =
    "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n";
std::string pair_row(const char* label = "- ") {
  return "harddisk1      " + std::string(label) +
         " VG1      vol1       P-VOL PAIR  Harddisk5   -  S-VOL PAIR OK\n";
}

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
TEST(PairTable, LinkChecksAndLayout) {
  const std::tuple<bool, const char*, const char*, const char*> cases[] = {
      {false, "G V L D 1 2 P S x 3 4 0", "G V R E 3 4 S S x 1 2 0", "OK"},
      {false, "G V L D 9 2 P S x 3 4 0", "G V R E 3 4 S S x 1 2 0", "NG"},
      {false, "G V L D 1 2 P S x 9 4 0", "G V R E 3 4 S S x 1 2 0", "NG"},
      {false, "G V L D 1 - P S x - - 0", "G V R E 3 4 S S x - - 0", "NG"},
      {false, "G V L D 1 2 P S x -9 4 0", "G V R E 5 4 S S x 1 -1 0", "OK"},
      {false, "G V L D 1 02 P S x 3 4 0", "G V R E 3 4 S S x 1 2 0", "NG"},  // text, not number
      {false, "X Y L D 1 2 P S 7 3 4 q", "Z W R E 3 4 S C 8 1 2 r", "OK"},   // unread words
      {true, "G V L D 0 1 2 P S 1 5 x", "G V R E 0 1 5 S S 1 2 x", "OK"},
      {true, "G V L D 0 1 2 P S 1 5 x", "G V R E 3 3 5 S S 1 2 x", "NG"}};
  for (const auto& [local, own, partner, link] : cases)
    EXPECT_STREQ(pair_link_check(Words(own).view, Words(partner).view, local), link) << own;
  // Short lines are incomplete, and reading one stays inside it.
  EXPECT_FALSE(pair_line_complete(Words("a b c d e f g h i j k").view));
  EXPECT_TRUE(pair_line_complete(Words("a b c d e f g h i j k l").view));
  EXPECT_STREQ(pair_link_check(Words("a").view, Words("b").view, false), "OK");
  TokenLine line;
  line.count = 101;
  EXPECT_TRUE(answer_line(line).empty());
  // A shown name or partner device of 25 characters widens both columns to 59.
  const Words a(kOwn), b("G V R " + std::string(25, 'D') + " 3 4 S S x 1 2 0");
  EXPECT_EQ(pair_table_wide_layout(std::string(24, 'h'), a.view), 0);
  EXPECT_EQ(pair_table_wide_layout(std::string(25, 'h'), a.view), 1);
  EXPECT_EQ(pair_table_wide_layout("h", b.view), 1);
  EXPECT_EQ(pair_table_header(1) + pair_table_row("hd1", "h3", a.view, b.view, false, 1),
            "DEVICE_FILE" + sp(49) + "M  Group    PairVol    P/S   Stat  R_DEVICE" + sp(52) +
                "M  P/S   Stat LK\nhd1" + sp(57) + "h3 VG1      vol1       P-VOL PAIR  " +
                std::string(25, 'D') + sp(35) + "-  S     S    NG\n");
}

// Remote MU#0..3 in a state are looked up; a title-only answer leaves nothing of an
// earlier one; a failed pipe is reported unless quiet. (Answer shapes: end-to-end.)
TEST_F(Lookups, FindcMusAndFailures) {
  DevIdentity r = sample();
  r.remote_pair_state = 2, r.mu_table_valid = 1, r.remote_mu_states[0] = 2;
  r.remote_mu_states[1] = 3, r.remote_mu_states[2] = 1, r.remote_mu_states[3] = 2;
  r.remote_mu_states[4] = 2;  // never looked up
  tool->answers = {{kAnswer, 0}, {kTitle, 0}, {"", -1}, {kAnswer, 0}};
  EXPECT_EQ(findc(r), Out(kHeader + pair_row() + pair_row("h3"),
                          std::string("popen(): ") + std::strerror(ENOENT) + "\n"));
  const std::string rt = "rt " + kTool;
  EXPECT_EQ(tool->commands, Strings({rt + "0 -fd -CLI 2>NUL", rt + "1 -fd -CLI 2>NUL",
                                     rt + "2 -fd -CLI 2>NUL", rt + "3 -fd -CLI 2>NUL"}));
  EXPECT_EQ(findc(r, 1), Out());
  EXPECT_EQ(findc(sample()), Out());  // no pair state: no lookup
}

TEST_F(Lookups, FindCommandLinesAndFailures) {
  const auto mus = sample([](DevIdentity& r) {
    r.remote_pair_state = 2, r.local_pair_state[0] = 1, r.local_pair_state[2] = 3;
  });
  const std::string no_such = "a/hd1 -> No such on the group\n", found = "->a/hd1\n";
  const std::string sys = std::string("system(): ") + std::strerror(ENOENT) + "\n";
  const std::tuple<const char*, DevIdentity, unsigned, int, int, std::string, Out> cases[] = {
      // VEXAC_QUIL, record, flags, system's status and errno, command, printed.
      {nullptr, mus, 0, 0, 0, "0   -l 2>NUL", {found, ""}},
      {nullptr, mus, FMT_HEX, 0, 0, "0  -fx -l 2>NUL", {found, ""}},
      {"1", mus, 0, 0, 0, "0 2   -l 2>NUL", {found, ""}},
      {nullptr, sample(), 0, 1, 0, "  -l 2>NUL", {"", no_such}},
      {nullptr, sample(), 0, -1, ENOENT, "  -l 2>NUL", {"", no_such + sys}},  // no interpreter
      {nullptr, sample(), 0, 0, ENOENT, "  -l 2>NUL", {found, sys}}};
  for (const auto& [q, r, flags, status, error, command, printed] : cases) {
    quil(q);
    tool->commands.clear();
    tool->system_status = status, tool->system_errno = error;
    EXPECT_EQ(capture([&] { report_default("a/hd1", r, 1, flags | FMT_HARD); }), printed);
    EXPECT_EQ(tool->commands, Strings{kTool + command});
  }
  TableState table;  // in CLI form a failed lookup is silent, error indicator included
  tool->system_status = 256;
  EXPECT_EQ(capture([&] { report_cli("hd1", mus, 1, 0, table, 1); }), Out());
}

}  // namespace
}  // namespace vox
