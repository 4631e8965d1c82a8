// The -find / -findc lookups: the pair-status tool's command lines, and its answers
// turned into lookup lines and pair table rows.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <sstream>

#include "driver/run_options.h"
#include "platform/platform.h"
#include "report/pair_table.h"
#include "report/reports.h"
#include "report_fixtures.h"
#include "support/fake_backend.h"

namespace vox {
namespace {

using test::capture;
using test::Out;
using test::sample;
using Strings = std::vector<std::string>;

// Each popen gets the next answer and exit status (none left, or no text: ENOENT); each
// system call the set status and errno.
struct ToolBackend : test::FakeBackend {
  std::FILE* popen(const char* command, const char* mode) override {
    commands.emplace_back(command), modes.emplace_back(mode);
    const auto answer =
        answers.empty() ? std::pair<std::optional<std::string>, int>{} : answers.front();
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
  Strings commands, modes;
  std::deque<std::pair<std::optional<std::string>, int>> answers;
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
      {false, "G V L D 1 2 P S x - - 0", "G V R E 3 - S S x - - 0", "NG"},
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

TEST_F(Lookups, FindcRemoteCopy) {
  tool->answers = {{kAnswer, 0}};
  EXPECT_EQ(findc(kRemote, 0, "C:/dir/harddisk1"), Out(kPairHeader + pair_row(), ""));
  EXPECT_EQ(tool->commands, Strings{kTool + "0 -fd -CLI 2>NUL"});
  EXPECT_EQ(tool->modes, Strings{"rt"});
  EXPECT_EQ(std::make_pair(table.header_done, table.wide_layout), std::make_pair(1, 0));
  // With MU tables the remote MU#0..3 are looked up; names are never marked.
  DevIdentity r = kRemote;
  r.vol_attr = 1, r.mu_table_valid = 1, r.local_mu_states[0] = 2;
  r.remote_mu_states[1] = 3, r.remote_mu_states[2] = 1, r.remote_mu_states[3] = 2;
  r.remote_mu_states[4] = 2;
  tool->answers = {{kAnswer, 0}, {kAnswer, 0}, {kAnswer, 0}};
  table = {};
  EXPECT_EQ(findc(r).first, kPairHeader + pair_row("h1") + pair_row("h2") + pair_row("h3"));
  EXPECT_EQ(tool->commands.back(), kTool + "3 -fd -CLI 2>NUL");
  EXPECT_EQ(tool->commands.size(), 4u);
}

TEST_F(Lookups, FindcLocalCopy) {
  set_quil("");
  DevIdentity r = kRemote;  // the remote range is not looked up
  r.local_pair_state[0] = 2, r.local_pair_state[2] = 3;
  tool->answers = {{kTitle + "VG2 lvol2 L Harddisk1 0 64015 1234 S-VOL PSUS 64015 1300 local\n" +
                        "VG2 lvol2 R Harddisk7 2 64015 1300 P-VOL PSUS 64015 1234 local\n",
                    0},
                   {kTitle + "VG3 lvol3 L Harddisk1 2 64015 1234 P-VOL PAIR 64015 1400 local\n" +
                        "VG3 lvol3 R Harddisk8 2 64015 1401 S-VOL PAIR 64015 1234 local\n",
                    0}};
  EXPECT_EQ(findc(r).first,
            kPairHeader +
                "harddisk1      0  VG2      lvol2      S-VOL PSUS  Harddisk7   2  P-VOL PSUS OK\n"
                "harddisk1      2  VG3      lvol3      P-VOL PAIR  Harddisk8   2  S-VOL PAIR NG\n");
  EXPECT_EQ(tool->commands, Strings({kTool + "0 -fd -CLI 2>NUL", kTool + "2 -fd -CLI 2>NUL"}));
}

TEST_F(Lookups, FindcAnswersWithoutRow) {
  const std::string no_such = "a/harddisk1[-] -> No such on the group\n";
  const std::tuple<std::string, int, std::string> cases[] = {
      // answer, status, error line
      {kTitle + kOwn, 0, ""},
      {"", 0, ""},
      {kAnswer + kPartner, 0, no_such},  // four lines
      {"", 1, no_such},
      {kAnswer, 256, no_such},
      {kTitle + kOwn + "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234\n", 0, ""},
      {kTitle + "VG1 vol1\n" + kPartner, 0, ""},
      {kTitle + " \t \n\n", 0, ""}};
  for (const auto& [text, status, err] : cases) {
    for (int quiet : {0, 1}) {
      tool->answers = {{text, status}};
      EXPECT_EQ(findc(kRemote, quiet, "a/harddisk1"), Out("", quiet ? "" : err)) << text;
      EXPECT_EQ(table.header_done, 0) << text;
    }
  }
  EXPECT_EQ(findc(sample()), Out());  // no pair state: no command
  EXPECT_EQ(tool->commands.size(), std::size(cases) * 2);
}

TEST_F(Lookups, FindcLineFeedsAndStaleLines) {
  const std::pair<std::string, bool> cases[] = {
      // the answer of MU#0; MU tables
      {kAnswer.substr(0, kAnswer.size() - 1), false},  // last line without line feed
      {kAnswer + "extra words", false},                // an unfinished fourth line does not count
      {kAnswer, true}};  // MU#1 answers a title only: nothing of MU#0's lines stays
  for (const auto& [text, tables] : cases) {
    DevIdentity r = kRemote;
    r.mu_table_valid = tables, r.remote_mu_states[0] = 2, r.remote_mu_states[1] = 2;
    tool->answers = {{text, 0}, {kTitle, 0}};
    table = {};
    EXPECT_EQ(findc(r), Out(kPairHeader + pair_row(), "")) << text;
  }
}

TEST_F(Lookups, FindcPipeFailures) {
  DevIdentity r = kRemote;
  r.mu_table_valid = 1, r.remote_mu_states[0] = 2, r.remote_mu_states[2] = 2;
  tool->answers = {{std::nullopt, 0}, {kAnswer, 0}};
  EXPECT_EQ(findc(r), Out(kPairHeader + pair_row("h2"),
                          std::string("popen(): ") + std::strerror(ENOENT) + "\n"));
  EXPECT_EQ(tool->commands.size(), 2u);
  EXPECT_EQ(findc(r, 1), Out());  // quiet
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

TEST_F(Lookups, FindcHeaderPerDeviceOrPerRun) {
  tool->answers.assign(4, {kAnswer, 0});
  EXPECT_EQ(capture([&] {
              report_default("harddisk1", kRemote, 2, 0);
              report_default("harddisk1", kRemote, 2, 0);
            }).first,
            kPairHeader + pair_row() + kPairHeader + pair_row());
  EXPECT_EQ(capture([&] {
              report_cli("harddisk1", kRemote, 2, 0, table, 1);
              report_cli("harddisk1", kRemote, 2, 0, table, 1);
              report_cli("harddisk1", kRemote, 2, 0, table, 0);  // absent: no lookup
            }).first,
            kPairHeader + pair_row() + pair_row());
  EXPECT_TRUE(tool->answers.empty());
}

const DevIdentity kMus = sample([](DevIdentity& r) {
  r.remote_pair_state = 2, r.local_pair_state[0] = 1, r.local_pair_state[2] = 3;
});

TEST_F(Lookups, MuList) {
  DevIdentity tables = kMus;
  tables.mu_table_valid = 1, tables.remote_mu_states[0] = 2, tables.remote_mu_states[3] = 1;
  tables.remote_mu_states[4] = 1;  // MU#4 and up are not looked up
  tables.local_mu_states[0] = 1, tables.local_mu_states[2] = 3, tables.local_mu_states[63] = 2;
  const DevIdentity none = sample();
  const std::tuple<const DevIdentity*, const char*, const char*> cases[] = {
      // null: unset
      {&kMus, nullptr, "0 "},    {&kMus, "", "0 2 "},
      {&kMus, "x", "0 2 "},      {&tables, nullptr, "0 3 "},
      {&tables, "1", "0 2 63 "}, {&none, nullptr, ""},
      {&none, "1", ""}};
  for (const auto& [r, quil, text] : cases) {
    set_quil(quil);
    EXPECT_EQ(mu_list_text(*r), text) << (quil ? quil : "(unset)");
  }
}

TEST_F(Lookups, FindCommandLines) {
  const std::tuple<const char*, DevIdentity, unsigned, std::string> cases[] = {
      {nullptr, kMus, 0, kTool + "0   -l 2>NUL"},
      {nullptr, kMus, FMT_HEX, kTool + "0  -fx -l 2>NUL"},
      {"1", kMus, 0, kTool + "0 2   -l 2>NUL"},
      {"", sample(), 0, kTool + "  -l 2>NUL"}};  // no MU in a state
  for (const auto& [quil, r, flags, command] : cases) {
    set_quil(quil);
    tool->commands.clear();
    EXPECT_EQ(capture([&] { report_default("hd1", r, 1, flags); }), Out("->hd1\n", ""));
    EXPECT_EQ(tool->commands, Strings{command});
  }
}

TEST_F(Lookups, FindFailures) {
  const std::string no_such = "a/hd1 -> No such on the group\n";
  const std::string sys = std::string("system(): ") + std::strerror(ENOENT) + "\n";
  const std::tuple<int, int, Out> cases[] = {
      {1, 0, {"", no_such}},
      {-1, ENOENT, {"", no_such + sys}},  // no interpreter: the runtime's error follows
      {0, ENOENT, {"->a/hd1\n", sys}}};   // an error indicator with a good status too
  for (const auto& [status, error, printed] : cases) {
    tool->system_status = status, tool->system_errno = error;
    EXPECT_EQ(capture([&] { report_default("a/hd1", sample(), 1, FMT_HARD); }), printed);
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
