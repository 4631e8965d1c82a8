#include "driver/options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/flags.h"
#include "driver/usage.h"

namespace vox {
namespace {

// A writable argument vector, as main receives it (redirections cut arguments in place).
class Argv {
 public:
  explicit Argv(std::vector<std::string> words) : storage_(std::move(words)) {
    storage_.insert(storage_.begin(), "voxmira");
    for (std::string& s : storage_) pointers_.push_back(s.data());
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(storage_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

// The option values that differ from their defaults, e.g. "fmt=0x200 vpd=0xe2".
std::string changed(const RunOptions& o) {
  std::string out;
  auto add = [&out](const char* name, long long value, bool hex = false) {
    char text[48];
    std::snprintf(text, sizeof text, hex ? " %s=0x%llx" : " %s=%lld", name, value);
    out += text;
  };
  if (o.read_stdin != 1) add("stdin", o.read_stdin);
  if (o.find_mode) add("find", o.find_mode);
  if (o.fmt_flags) add("fmt", o.fmt_flags, true);
  if (o.vpd_select) add("vpd", o.vpd_select, true);
  if (o.show_host_group) add("hg", o.show_host_group);
  if (o.cli_kind) add("kind", o.cli_kind);
  if (o.sort_mode) add("sort", o.sort_mode);
  if (o.cm_image) add("cm", o.cm_image);
  if (o.layout_cmd) add("layout", o.layout_cmd);
  if (o.name_filter) out += std::string(" filter=[") + o.name_filter + "]";
  if (o.exit_error) add("exit", o.exit_error);
  if (cli_mode) add("cli", cli_mode);
  if (inqdump_mode) add("inq", inqdump_mode);
  return out.empty() ? out : out.substr(1);
}

std::string parse(std::vector<std::string> words, std::string* printed = nullptr) {
  cli_mode = 0;
  inqdump_mode = 0;
  Argv args(std::move(words));
  RunOptions o;
  std::vector<bool> redirections;
  testing::internal::CaptureStdout();
  parse_options(args.argc(), args.argv(), o, redirections);
  std::fflush(stdout);
  const std::string out = testing::internal::GetCapturedStdout();
  if (printed) *printed = out;
  const std::string result = changed(o);
  cli_mode = 0;
  inqdump_mode = 0;
  return result;
}

TEST(ParseOptions, MatchesEachArgumentAgainstTheTableInOrder) {
  const struct {
    std::vector<std::string> args;
    const char* changed;
  } cases[] = {
      {{}, ""},
      {{"-CLI", "-sort"}, "sort=1 cli=1"},
      {{"-find"}, "find=1"},
      {{"-findc"}, "find=2"},
      {{"-find", "-export", "-findc"}, "find=2"},
      {{"-export"}, "find=3"},
      {{"-inqdump"}, "inq=1"},
      {{"-pin"}, "fmt=0x100"},
      // Every other word that begins with f is a letter scan from its third character.
      {{"-finder"}, "fmt=0x280 vpd=0xe2"},
      {{"-findcx"}, "fmt=0xa1"},
      {{"-f"}, ""},
      {{"-fxvplwchn"}, "fmt=0xff"},
      {{"-fx", "-fw", "-pin"}, "fmt=0x111"},
      {{"-fg"}, "hg=1"},
      {{"-fre"}, "vpd=0xf2"},
      {{"-fer"}, "fmt=0x200 vpd=0xe2"},
      {{"-fr", "-fe"}, "vpd=0xf2"},
      {{"-fzZX-1?"}, ""},
      {{"-CLI"}, "cli=1"},
      {{"-CLIB"}, "kind=4 cli=1"},
      {{"-CLIW"}, "kind=1 cli=1"},
      {{"-CLIWP"}, "kind=2 cli=1"},
      {{"-CLIWN"}, "kind=3 cli=1"},
      {{"-CLIWN", "-CLI"}, "cli=1"},
      {{"-CM"}, "cm=1"},
      {{"-gvinf"}, "layout=1"},
      {{"-gvinfex"}, "layout=2"},
      {{"-gplba"}, "layout=3"},
      {{"-gplbaex"}, "layout=4"},
      {{"-svinf"}, "layout=5"},
      {{"-svinfex"}, "layout=6"},
      {{"-gvinf", "-gplba"}, "layout=3"},
      {{"-svinf=Harddisk"}, "layout=5 filter=[Harddisk]"},
      {{"-svinf="}, "layout=5 filter=[]"},
      {{"-svinfex=hd"}, "layout=6 filter=[hd]"},
      {{"-gvinf", "-grep=a=b"}, "layout=1 filter=[a=b]"},
      {{"-svinf=x", "-grep=y"}, "layout=5 filter=[y]"},
      // Not options: device words.
      {{"-grep"}, "stdin=0"},
      {{"-svinfx"}, "stdin=0"},
      {{"-CLIWX"}, "stdin=0"},
      {{"-cli"}, "stdin=0"},
      {{"CLI"}, "stdin=0"},
      {{"--CLI"}, "stdin=0"},
      {{"-H"}, "stdin=0"},
      {{"-"}, "stdin=0"},
      {{""}, "stdin=0"},
      {{"-z1"}, "stdin=0"},
      {{"-z3w=x"}, "stdin=0"},
      {{"hd1", "-CLI"}, "stdin=0 cli=1"},
      {{"-sort", "$C:", "-CM"}, "stdin=0 sort=1 cm=1"},
  };
  for (const auto& c : cases) {
    std::string printed;
    EXPECT_EQ(parse(c.args, &printed), c.changed) << (c.args.empty() ? "" : c.args[0]);
    EXPECT_EQ(printed, "");
  }
}

TEST(ParseOptions, FilterPointsIntoTheArgument) {
  Argv args({"-grep=Harddisk"});
  RunOptions o;
  std::vector<bool> redirections;
  parse_options(args.argc(), args.argv(), o, redirections);
  EXPECT_EQ(o.name_filter, args.argv()[1] + 6);
}

TEST(ParseOptions, HelpPrintsTheUsageEachTimeAndEndsStdinMode) {
  const struct {
    std::vector<std::string> args;
    int usages;
  } cases[] = {
      {{"-h"}, 1}, {{"h"}, 1},   {{"-h", "h"}, 2}, {{"-h", "-CLI"}, 1},
      {{"-H"}, 0}, {{"--h"}, 0}, {{"-hx"}, 0},     {{"H"}, 0},
  };
  dvobj_char = '%';
  for (const auto& c : cases) {
    std::string printed;
    EXPECT_EQ(parse(c.args, &printed).substr(0, 7), "stdin=0") << c.args[0];
    std::string expected;
    for (int i = 0; i < c.usages; ++i) expected += usage_text("voxmira", '%');
    EXPECT_EQ(printed, expected) << c.args[0];
  }
  dvobj_char = '$';
}

}  // namespace
}  // namespace vox
