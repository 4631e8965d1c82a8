#include "driver/options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/flags.h"
#include "driver/usage.h"

namespace vox {
namespace {

// A writable argument vector, as main receives it (redirections cut arguments in place).
class Args {
 public:
  explicit Args(std::vector<std::string> words) : storage_(std::move(words)) {
    storage_.insert(storage_.begin(), "voxmira");
    for (std::string& s : storage_) pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(storage_.size()); }
  char** argv() { return pointers_.data(); }
  std::string arg(int i) const { return pointers_[static_cast<std::size_t>(i)]; }

 private:
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

class ParseOptions : public testing::Test {
 protected:
  void SetUp() override { reset_flags(); }
  void TearDown() override { reset_flags(); }
  static void reset_flags() {
    cli_mode = 0;
    inqdump_mode = 0;
    dvobj_char = '$';
  }
};

struct Expected {
  int read_stdin = 1;
  int find_mode = 0;
  unsigned fmt_flags = 0;
  unsigned vpd_select = 0;
  int show_host_group = 0;
  int cli_kind = 0;
  int sort_mode = 0;
  int cm_image = 0;
  int layout_cmd = 0;
  const char* name_filter = nullptr;
  int cli_mode = 0;
  int inqdump_mode = 0;
};

struct Case {
  std::vector<std::string> args;
  Expected expected;
};

Expected with(auto change) {
  Expected e;
  change(e);
  return e;
}

TEST_F(ParseOptions, MatchesEachArgumentAgainstTheTableInOrder) {
  const std::vector<Case> cases = {
      {{}, {}},
      {{"-CLI", "-sort"}, with([](Expected& e) {
         e.cli_mode = 1;
         e.sort_mode = 1;
       })},
      {{"-find"}, with([](Expected& e) { e.find_mode = 1; })},
      {{"-findc"}, with([](Expected& e) { e.find_mode = 2; })},
      {{"-export"}, with([](Expected& e) { e.find_mode = 3; })},
      {{"-find", "-export", "-findc"}, with([](Expected& e) { e.find_mode = 2; })},
      {{"-inqdump"}, with([](Expected& e) { e.inqdump_mode = 1; })},
      {{"-pin"}, with([](Expected& e) { e.fmt_flags = FMT_PIN; })},
      // Every other word that begins with f is a letter scan.
      {{"-finder"}, with([](Expected& e) {
         e.fmt_flags = FMT_NICNAME | FMT_REALID;
         e.vpd_select = 0xE2;
       })},
      {{"-findcx"}, with([](Expected& e) { e.fmt_flags = FMT_HEX | FMT_CYL | FMT_NICNAME; })},
      {{"-f"}, {}},
      {{"-fxvplwchn"}, with([](Expected& e) {
         e.fmt_flags = FMT_HEX | FMT_VOLGUID | FMT_HARD | FMT_FENCOR | FMT_WIDE | FMT_CYL |
                       FMT_BITMAP | FMT_NICNAME;
       })},
      {{"-fx", "-fw"}, with([](Expected& e) { e.fmt_flags = FMT_HEX | FMT_WIDE; })},
      {{"-fg"}, with([](Expected& e) { e.show_host_group = 1; })},
      {{"-fre"}, with([](Expected& e) { e.vpd_select = 0xF2; })},
      {{"-fer"}, with([](Expected& e) {
         e.fmt_flags = FMT_REALID;
         e.vpd_select = 0xE2;
       })},
      {{"-fr", "-fe"}, with([](Expected& e) { e.vpd_select = 0xF2; })},
      {{"-fe", "-fxr"}, with([](Expected& e) {
         e.fmt_flags = FMT_HEX | FMT_REALID;
         e.vpd_select = 0xE2;
       })},
      {{"-fzZX-1"}, {}},
      {{"-CLI"}, with([](Expected& e) { e.cli_mode = 1; })},
      {{"-CLIB"}, with([](Expected& e) {
         e.cli_mode = 1;
         e.cli_kind = 4;
       })},
      {{"-CLIW"}, with([](Expected& e) {
         e.cli_mode = 1;
         e.cli_kind = 1;
       })},
      {{"-CLIWP"}, with([](Expected& e) {
         e.cli_mode = 1;
         e.cli_kind = 2;
       })},
      {{"-CLIWN"}, with([](Expected& e) {
         e.cli_mode = 1;
         e.cli_kind = 3;
       })},
      {{"-CLIWN", "-CLI"}, with([](Expected& e) { e.cli_mode = 1; })},
      {{"-CLIWX"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-cli"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"CLI"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-CM"}, with([](Expected& e) { e.cm_image = 1; })},
      {{"-gplba"}, with([](Expected& e) { e.layout_cmd = 3; })},
      {{"-gplbaex"}, with([](Expected& e) { e.layout_cmd = 4; })},
      {{"-gvinf"}, with([](Expected& e) { e.layout_cmd = 1; })},
      {{"-gvinfex"}, with([](Expected& e) { e.layout_cmd = 2; })},
      {{"-svinf"}, with([](Expected& e) { e.layout_cmd = 5; })},
      {{"-svinfex"}, with([](Expected& e) { e.layout_cmd = 6; })},
      {{"-gvinf", "-gplba"}, with([](Expected& e) { e.layout_cmd = 3; })},
      {{"-svinf=Harddisk"}, with([](Expected& e) {
         e.layout_cmd = 5;
         e.name_filter = "Harddisk";
       })},
      {{"-svinf="}, with([](Expected& e) {
         e.layout_cmd = 5;
         e.name_filter = "";
       })},
      {{"-svinfex=hd"}, with([](Expected& e) {
         e.layout_cmd = 6;
         e.name_filter = "hd";
       })},
      {{"-grep=Hard"}, with([](Expected& e) { e.name_filter = "Hard"; })},
      {{"-gvinf", "-grep=a=b"}, with([](Expected& e) {
         e.layout_cmd = 1;
         e.name_filter = "a=b";
       })},
      {{"-svinf=x", "-grep=y"}, with([](Expected& e) {
         e.layout_cmd = 5;
         e.name_filter = "y";
       })},
      {{"-grep"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-svinfx"}, with([](Expected& e) { e.read_stdin = 0; })},
      // -z words without "=" are device words.
      {{"-z1"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-z3w=x"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-z"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-H"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{""}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"hd1", "-CLI"}, with([](Expected& e) {
         e.read_stdin = 0;
         e.cli_mode = 1;
       })},
      {{"--CLI"}, with([](Expected& e) { e.read_stdin = 0; })},
      {{"-sort", "$C:", "-CM"}, with([](Expected& e) {
         e.read_stdin = 0;
         e.sort_mode = 1;
         e.cm_image = 1;
       })},
  };
  for (const Case& c : cases) {
    reset_flags();
    Args args(c.args);
    RunOptions o;
    std::vector<bool> redirections;
    testing::internal::CaptureStdout();
    parse_options(args.argc(), args.argv(), o, redirections);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    std::string label;
    for (const std::string& a : c.args) label += a + " ";
    const Expected& e = c.expected;
    EXPECT_EQ(o.read_stdin, e.read_stdin) << label;
    EXPECT_EQ(o.find_mode, e.find_mode) << label;
    EXPECT_EQ(o.fmt_flags, e.fmt_flags) << label;
    EXPECT_EQ(o.vpd_select, e.vpd_select) << label;
    EXPECT_EQ(o.show_host_group, e.show_host_group) << label;
    EXPECT_EQ(o.cli_kind, e.cli_kind) << label;
    EXPECT_EQ(o.sort_mode, e.sort_mode) << label;
    EXPECT_EQ(o.cm_image, e.cm_image) << label;
    EXPECT_EQ(o.layout_cmd, e.layout_cmd) << label;
    if (e.name_filter) {
      ASSERT_NE(o.name_filter, nullptr) << label;
      EXPECT_STREQ(o.name_filter, e.name_filter) << label;
    } else {
      EXPECT_EQ(o.name_filter, nullptr) << label;
    }
    EXPECT_EQ(o.exit_error, 0) << label;
    EXPECT_EQ(cli_mode, e.cli_mode) << label;
    EXPECT_EQ(inqdump_mode, e.inqdump_mode) << label;
    EXPECT_EQ(redirections, std::vector<bool>(static_cast<std::size_t>(args.argc()), false))
        << label;
  }
}

TEST_F(ParseOptions, FilterPointsIntoTheArgument) {
  Args args({"-grep=Harddisk"});
  RunOptions o;
  std::vector<bool> redirections;
  parse_options(args.argc(), args.argv(), o, redirections);
  EXPECT_EQ(o.name_filter, args.argv()[1] + 6);
}

TEST_F(ParseOptions, HelpPrintsTheUsageEachTimeAndEndsStdinMode) {
  const struct {
    std::vector<std::string> args;
    int usages;
    int read_stdin;
  } cases[] = {
      {{"-h"}, 1, 0}, {{"h"}, 1, 0},   {{"-h", "h"}, 2, 0}, {{"-h", "-CLI"}, 1, 0},
      {{"-H"}, 0, 0}, {{"--h"}, 0, 0}, {{"-hx"}, 0, 0},     {{"H"}, 0, 0},
  };
  for (const auto& c : cases) {
    dvobj_char = '%';
    Args args(c.args);
    RunOptions o;
    std::vector<bool> redirections;
    testing::internal::CaptureStdout();
    parse_options(args.argc(), args.argv(), o, redirections);
    std::string expected;
    for (int i = 0; i < c.usages; ++i) expected += usage_text("voxmira", '%');
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected) << c.args[0];
    EXPECT_EQ(o.read_stdin, c.read_stdin) << c.args[0];
  }
}

TEST_F(ParseOptions, ApplyFormatLettersIgnoresUnknownLetters) {
  RunOptions o;
  apply_format_letters("?x\x7f\xff-9g", o);
  EXPECT_EQ(o.fmt_flags, FMT_HEX);
  EXPECT_EQ(o.show_host_group, 1);
  EXPECT_EQ(o.vpd_select, 0);
}

}  // namespace
}  // namespace vox
