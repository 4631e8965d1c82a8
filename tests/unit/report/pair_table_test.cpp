#include "report/pair_table.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "report/reports.h"
#include "report_fixtures.h"

namespace vox {
namespace {

using test::sample_record;

const char* const kTitle =
    "GROUP PAIRVOL L/R DEVICE SERIAL LDEV P/S STATUS COPY P_SERIAL P_LDEV MU\n";
const char* const kOwn = "VG1 vol1 L Harddisk1 64015 1234 P-VOL PAIR remote 64016 2000 0\n";
const char* const kPartner = "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234 0\n";
const char* const kHeader =
    "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n";
const char* const kRow =
    "harddisk1      -  VG1      vol1       P-VOL PAIR  Harddisk5   -  S-VOL PAIR OK\n";

// The example row with another MU label.
std::string row_with_label(const char* label) {
  std::string row = kRow;
  return row.replace(15, 2, label);
}

std::string answer(const char* own, const char* partner) {
  return std::string(kTitle) + own + partner;
}

// The words of a line as the pair lookup sees them, entry 0 being the program path.
struct Words {
  explicit Words(const std::string& text) {
    words.push_back("twinlist");
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    for (const std::string& w : words) view.emplace_back(w);
  }
  std::vector<std::string> words;
  AnswerLine view;
};

TEST(PairLinkCheck, RemoteCopyLayout) {
  struct Case {
    const char* own;
    const char* partner;
    const char* link;
  };
  const Case cases[] = {
      {"G V L D 64015 1234 P PAIR x 64016 2000 0", "G V R E 64016 2000 S PAIR x 64015 1234 0",
       "OK"},
      // Each of the four cross checks on its own.
      {"G V L D 64099 1234 P PAIR x 64016 2000 0", "G V R E 64016 2000 S PAIR x 64015 1234 0",
       "NG"},
      {"G V L D 64015 1234 P PAIR x 64099 2000 0", "G V R E 64016 2000 S PAIR x 64015 1234 0",
       "NG"},
      {"G V L D 64015 1234 P PAIR x 64016 2000 0", "G V R E 64016 2000 S PAIR x 64015 1235 0",
       "NG"},
      {"G V L D 64015 1234 P PAIR x 64016 2001 0", "G V R E 64016 2000 S PAIR x 64015 1234 0",
       "NG"},
      // A second key of "-" is always NG, even with nothing to compare.
      {"G V L D 64015 - P PAIR x - - 0", "G V R E 64016 2000 S PAIR x - - 0", "NG"},
      {"G V L D 64015 1234 P PAIR x - - 0", "G V R E 64016 - S PAIR x - - 0", "NG"},
      {"G V L D 64015 1234 P PAIR x - - 0", "G V R E 64016 -7 S PAIR x - - 0", "NG"},
      // Partner keys of "-" (or beginning with it) are not compared.
      {"G V L D 64015 1234 P PAIR x - - 0", "G V R E 1 2 S PAIR x - - 0", "OK"},
      {"G V L D 64099 1234 P PAIR x 64016 2000 0", "G V R E 64016 2000 S PAIR x - 1234 0", "OK"},
      {"G V L D 64015 1234 P PAIR x -9 2000 0", "G V R E 5 2000 S PAIR x 64015 -1 0", "OK"},
      // Exact text: "01234" is not "1234".
      {"G V L D 64015 01234 P PAIR x 64016 2000 0", "G V R E 64016 2000 S PAIR x 64015 1234 0",
       "NG"},
      // The fields the remote layout does not read may hold anything.
      {"X Y L D 64015 1234 P PAIR 7 64016 2000 q", "Z W R E 64016 2000 S COPY 8 64015 1234 r",
       "OK"},
  };
  for (const Case& c : cases) {
    const Words a(c.own), b(c.partner);
    EXPECT_STREQ(pair_link_check(a.view, b.view, false), c.link) << c.own << " / " << c.partner;
  }
}

TEST(PairLinkCheck, LocalCopyLayout) {
  struct Case {
    const char* own;
    const char* partner;
    const char* link;
  };
  const Case cases[] = {
      {"G V L D 0 64015 1234 P PAIR 64015 1300 x", "G V R E 0 64015 1300 S PAIR 64015 1234 x",
       "OK"},
      {"G V L D 0 64015 1234 P PAIR 64015 1301 x", "G V R E 0 64015 1300 S PAIR 64015 1234 x",
       "NG"},
      {"G V L D 0 64015 1234 P PAIR 64015 1300 x", "G V R E 3 64016 1300 S PAIR 64015 1234 x",
       "NG"},
      {"G V L D 0 64015 - P PAIR - - x", "G V R E 0 64015 1300 S PAIR - - x", "NG"},
      // Field 5 is the MU, not a key: "-" there changes nothing.
      {"G V L D - 64015 1234 P PAIR 64015 1300 x", "G V R E - 64015 1300 S PAIR 64015 1234 x",
       "OK"},
  };
  for (const Case& c : cases) {
    const Words a(c.own), b(c.partner);
    EXPECT_STREQ(pair_link_check(a.view, b.view, true), c.link) << c.own << " / " << c.partner;
  }
}

TEST(PairLinkCheck, ShortLinesAreIncomplete) {
  EXPECT_FALSE(pair_line_complete(Words("a b c d e f g h i j k").view));
  EXPECT_TRUE(pair_line_complete(Words("a b c d e f g h i j k l").view));
  // Out-of-range reads of a short line are empty, not past the end.
  const Words a("a"), b("b");
  EXPECT_STREQ(pair_link_check(a.view, b.view, false), "OK");
  TokenLine line;
  line.count = 101;
  EXPECT_TRUE(answer_line(line).empty());
  line.count = -1;
  EXPECT_TRUE(answer_line(line).empty());
}

class PairGroups : public test::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    quil_ = std::make_unique<test::ScopedEnv>("VEXAC_QUIL", nullptr);
  }
  test::Printed find(const DevIdentity& r, int quiet, TableState& table,
                     const char* name = "harddisk1") {
    return test::capture([&] { find_pair_groups(name, r, quiet, table); });
  }
  std::unique_ptr<test::ScopedEnv> quil_;
};

DevIdentity remote_pair() {
  DevIdentity r = sample_record();
  r.remote_pair_state = 2;
  return r;
}

TEST_F(PairGroups, RemoteCopyRow) {
  const std::string text = answer(kOwn, kPartner);
  tool->answers.push_back({text.c_str(), 0});
  TableState table;
  const auto p = find(remote_pair(), 0, table, "C:/dir/harddisk1");
  ASSERT_EQ(tool->commands.size(), 1u);
  EXPECT_EQ(tool->commands[0], "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 -fd -CLI 2>NUL");
  EXPECT_EQ(tool->modes[0], "rt");
  EXPECT_EQ(p.out, std::string(kHeader) + kRow);
  EXPECT_EQ(p.err, "");
  EXPECT_EQ(table.header_done, 1);
  EXPECT_EQ(table.wide_layout, 0);
}

TEST_F(PairGroups, RemoteMusWithTables) {
  DevIdentity r = remote_pair();
  r.vol_attr = 1;  // the pair table never marks names
  r.mu_table_valid = 1;
  r.remote_mu_states[0] = 0;
  r.remote_mu_states[1] = 3;
  r.remote_mu_states[2] = 1;
  r.remote_mu_states[3] = 2;
  r.remote_mu_states[4] = 2;  // not looked up
  r.local_mu_states[0] = 2;   // the local range is not looked up either
  const std::string text = answer(kOwn, kPartner);
  for (int i = 0; i < 3; ++i) tool->answers.push_back({text.c_str(), 0});
  TableState table;
  const auto p = find(r, 0, table);
  ASSERT_EQ(tool->commands.size(), 3u);
  EXPECT_EQ(tool->commands[0], "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 1 -fd -CLI 2>NUL");
  EXPECT_EQ(tool->commands[2], "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 3 -fd -CLI 2>NUL");
  EXPECT_EQ(p.out, std::string(kHeader) + row_with_label("h1") + row_with_label("h2") +
                       row_with_label("h3"));
}

TEST_F(PairGroups, LocalCopyRows) {
  test::ScopedEnv quil("VEXAC_QUIL", "");
  DevIdentity r = sample_record();
  r.remote_pair_state = 2;  // the remote range is not looked up
  r.local_pair_state[0] = 2;
  r.local_pair_state[2] = 3;
  const std::string first = std::string(kTitle) +
                            "VG2 lvol2 L Harddisk1 0 64015 1234 S-VOL PSUS 64015 1300 local\n"
                            "VG2 lvol2 R Harddisk7 2 64015 1300 P-VOL PSUS 64015 1234 local\n";
  const std::string second = std::string(kTitle) +
                             "VG3 lvol3 L Harddisk1 2 64015 1234 P-VOL PAIR 64015 1400 local\n"
                             "VG3 lvol3 R Harddisk8 2 64015 1401 S-VOL PAIR 64015 1234 local\n";
  tool->answers.push_back({first.c_str(), 0});
  tool->answers.push_back({second.c_str(), 0});
  TableState table;
  const auto p = find(r, 0, table);
  ASSERT_EQ(tool->commands.size(), 2u);
  EXPECT_EQ(tool->commands[0], "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 -fd -CLI 2>NUL");
  EXPECT_EQ(tool->commands[1], "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 2 -fd -CLI 2>NUL");
  EXPECT_EQ(p.out,
            std::string(kHeader) +
                "harddisk1      0  VG2      lvol2      S-VOL PSUS  Harddisk7   2  P-VOL PSUS OK\n"
                "harddisk1      2  VG3      lvol3      P-VOL PAIR  Harddisk8   2  S-VOL PAIR NG\n");
}

TEST_F(PairGroups, AnswersThatGiveNoRow) {
  struct Case {
    const char* what;
    std::string text;
    int status;
    const char* err;  // with quiet 0
  };
  const Case cases[] = {
      {"title and one pair line", std::string(kTitle) + kOwn, 0, ""},
      {"title only", kTitle, 0, ""},
      {"nothing", "", 0, ""},
      {"four lines", answer(kOwn, kPartner) + kPartner, 0,
       "a/harddisk1[-] -> No such on the group\n"},
      {"not found", "", 1, "a/harddisk1[-] -> No such on the group\n"},
      {"found but failed", answer(kOwn, kPartner), 256, "a/harddisk1[-] -> No such on the group\n"},
      {"short partner line",
       std::string(kTitle) + kOwn +
           "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234\n",
       0, ""},
      {"short own line", std::string(kTitle) + "VG1 vol1\n" + kPartner, 0, ""},
      {"blank pair lines", std::string(kTitle) + " \t \n\n", 0, ""},
  };
  for (const Case& c : cases) {
    for (int quiet = 0; quiet <= 1; ++quiet) {
      tool->answers.push_back({c.text.c_str(), c.status});
      TableState table;
      const auto p = find(remote_pair(), quiet, table, "a/harddisk1");
      EXPECT_EQ(p.out, "") << c.what;
      EXPECT_EQ(p.err, quiet != 0 ? "" : c.err) << c.what;
      EXPECT_EQ(table.header_done, 0) << c.what;
    }
  }
}

TEST_F(PairGroups, LastLineWithoutLineFeed) {
  std::string text = answer(kOwn, kPartner);
  text.pop_back();
  tool->answers.push_back({text.c_str(), 0});
  TableState table;
  EXPECT_EQ(find(remote_pair(), 0, table).out, std::string(kHeader) + kRow);
  // Four lines of which the last has no line feed count as three; the unfinished line
  // takes the title's buffer.
  text = answer(kOwn, kPartner) + "extra words";
  tool->answers.push_back({text.c_str(), 0});
  TableState again;
  const auto p = find(remote_pair(), 0, again);
  EXPECT_EQ(p.err, "");
  EXPECT_EQ(p.out, std::string(kHeader) + kRow);
}

TEST_F(PairGroups, EarlierAnswersDoNotLeakIntoLaterOnes) {
  DevIdentity r = remote_pair();
  r.mu_table_valid = 1;
  r.remote_mu_states[0] = 2;
  r.remote_mu_states[1] = 2;
  const std::string full = answer(kOwn, kPartner);
  tool->answers.push_back({full.c_str(), 0});
  tool->answers.push_back({kTitle, 0});
  TableState table;
  EXPECT_EQ(find(r, 0, table).out, std::string(kHeader) + kRow);
}

TEST_F(PairGroups, PipeFailures) {
  DevIdentity r = remote_pair();
  r.mu_table_valid = 1;
  r.remote_mu_states[0] = 2;
  r.remote_mu_states[2] = 2;
  const std::string full = answer(kOwn, kPartner);
  tool->answers.push_back({nullptr, 0});
  tool->answers.push_back({full.c_str(), 0});
  TableState table;
  auto p = find(r, 0, table);
  EXPECT_EQ(tool->commands.size(), 2u);
  EXPECT_EQ(p.err, std::string("popen(): ") + std::strerror(ENOENT) + "\n");
  EXPECT_EQ(p.out, std::string(kHeader) + row_with_label("h2"));
  tool->answers.push_back({nullptr, 0});
  tool->answers.push_back({nullptr, 0});
  p = find(r, 1, table);
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.err, "");
}

TEST_F(PairGroups, NoStateNoCommand) {
  TableState table;
  const auto p = find(sample_record(), 0, table);
  EXPECT_TRUE(tool->commands.empty());
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.err, "");
}

TEST_F(PairGroups, WideLayout) {
  const std::string long_device(25, 'D');
  const std::string partner =
      "VG1 vol1 R " + long_device + " 64016 2000 S-VOL PAIR remote 64015 1234 0\n";
  const std::string text = answer(kOwn, partner.c_str());
  tool->answers.push_back({text.c_str(), 0});
  const std::string wide_header = "DEVICE_FILE" + std::string(49, ' ') +
                                  "M  Group    PairVol    P/S   Stat  R_DEVICE" +
                                  std::string(52, ' ') + "M  P/S   Stat LK\n";
  TableState table;
  auto p = find(remote_pair(), 1, table);
  EXPECT_EQ(p.out, wide_header + "harddisk1" + std::string(50, ' ') +
                       " -  VG1      vol1       P-VOL PAIR  " + long_device + std::string(34, ' ') +
                       " -  S-VOL PAIR OK\n");
  EXPECT_EQ(table.wide_layout, 1);
  // A name of 25 characters chooses the wide layout too.
  const std::string text2 = answer(kOwn, kPartner);
  tool->answers.push_back({text2.c_str(), 0});
  TableState named;
  p = find(remote_pair(), 1, named, "x/aaaaaaaaaaaaaaaaaaaaaaaaa");
  EXPECT_EQ(p.out.substr(0, wide_header.size()), wide_header);
}

TEST_F(PairGroups, HeaderPerDeviceInDefaultFormOncePerRunInCliForm) {
  const std::string text = answer(kOwn, kPartner);
  for (int i = 0; i < 4; ++i) tool->answers.push_back({text.c_str(), 0});
  const DevIdentity r = remote_pair();
  auto p = test::capture([&] {
    report_default("harddisk1", r, 2, 0);
    report_default("harddisk1", r, 2, 0);
  });
  EXPECT_EQ(p.out, std::string(kHeader) + kRow + kHeader + kRow);
  TableState table;
  p = test::capture([&] {
    report_cli("harddisk1", r, 2, 0, table, 1);
    report_cli("harddisk1", r, 2, 0, table, 1);
    report_cli("harddisk1", r, 2, 0, table, 0);  // not present: no lookup
  });
  EXPECT_EQ(p.out, std::string(kHeader) + kRow + kRow);
  EXPECT_TRUE(tool->answers.empty());
}

}  // namespace
}  // namespace vox
