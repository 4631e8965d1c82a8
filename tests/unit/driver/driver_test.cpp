#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <fstream>
#include <sstream>

#include "driver/cm_image.h"
#include "driver/crt_calls.h"
#include "driver/finish_run.h"
#include "driver/flags.h"
#include "driver/input_loop.h"
#include "driver/options.h"
#include "driver/usage.h"
#include "support/fake_backend.h"

namespace vox {
namespace {

using Words = std::vector<std::string>;

// A writable argument vector, as main receives it: "voxmira" and `words`.
struct Argv {
  explicit Argv(Words w) : words(std::move(w)) {
    words.insert(words.begin(), "voxmira");
    for (std::string& s : words) pointers.push_back(s.data());
  }
  int argc() const { return static_cast<int>(words.size()); }
  Words words;
  std::vector<char*> pointers;
};

// The option values that differ from their defaults, e.g. "fmt=0x200 vpd=0xe2".
std::string changed(const RunOptions& o) {
  std::string out;
  auto add = [&out](const char* name, long long v, const char* f = " %s=%lld") {
    char text[48];
    std::snprintf(text, sizeof text, f, name, v);
    out += v ? text : "";
  };
  if (o.read_stdin != 1) out += " stdin=" + std::to_string(o.read_stdin);
  add("find", o.find_mode), add("fmt", o.fmt_flags, " %s=0x%llx");
  add("vpd", o.vpd_select, " %s=0x%llx"), add("hg", o.show_host_group), add("kind", o.cli_kind);
  add("sort", o.sort_mode), add("cm", o.cm_image), add("layout", o.layout_cmd);
  if (o.name_filter) out += std::string(" filter=[") + o.name_filter + "]";
  add("cli", cli_mode), add("inq", inqdump_mode);
  return out.empty() ? out : out.substr(1);
}

TEST(ParseOptions, MatchesEachArgumentAgainstTheTableInOrder) {
  const struct {
    Words args;
    const char* changed;
    int usages = 0;
  } cases[] = {
      {{}, ""},
      {{"-find", "-export", "-findc"}, "find=2"},
      {{"-findc", "-export", "-inqdump"}, "find=3 inq=1"},
      // Every other word that begins with f is a letter scan from its third character.
      {{"-finder"}, "fmt=0x280 vpd=0xe2"},
      {{"-fxvplwchn", "-pin"}, "fmt=0x1ff"},
      {{"-fgre"}, "vpd=0xf2 hg=1"},
      {{"-fzZX-1?", "-f"}, ""},
      {{"-CLIB", "-sort"}, "kind=4 sort=1 cli=1"},
      {{"-CLIWN", "-CLI", "-CM"}, "cm=1 cli=1"},
      {{"-gvinfex", "-gplbaex"}, "layout=4"},
      {{"-svinfex="}, "layout=6 filter=[]"},
      {{"-gvinf", "-grep=a=b"}, "layout=1 filter=[a=b]"},
      // Not options: device words (and -z words without "=" or a good mode).
      {{"-grep", "-svinfx", "-CLIWX", "-cli", "--CLI", "-H", "-", "", "-z1", "-z3w=x"}, "stdin=0"},
      {{"-sort", "$C:", "-CM"}, "stdin=0 sort=1 cm=1"},
      // Help prints the usage each time it is asked for and ends the STDIN mode.
      {{"-h", "h", "-hx", "--h", "H"}, "stdin=0", 2},
      {{"-h", "-CLI"}, "stdin=0 cli=1", 1},
  };
  dvobj_char = '%';
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
    Argv args(c.args);
    RunOptions o;
    std::vector<bool> redirections;
    testing::internal::CaptureStdout();
    parse_options(args.argc(), args.pointers.data(), o, redirections);
    std::fflush(stdout);
    std::string usages;
    for (int i = 0; i < c.usages; ++i) usages += usage_text("voxmira", '%');
    EXPECT_EQ(testing::internal::GetCapturedStdout(), usages);
    EXPECT_EQ(changed(o), c.changed);
    cli_mode = inqdump_mode = 0;
  }
  dvobj_char = '$';
}

// Parses `words` with descriptors 0, 1 and 2 put back afterwards; `during` runs while the
// redirections are in force. Returns the redirection marks and last whether STDIN is read.
template <typename F>
std::vector<bool> parse_redirected(Words words, F during) {
  std::fflush(stdout), std::fflush(stderr);
  const int saved[3] = {dup(0), dup(1), dup(2)};
  Argv args(std::move(words));
  RunOptions o;
  std::vector<bool> marks;
  parse_options(args.argc(), args.pointers.data(), o, marks);
  marks.push_back(o.read_stdin == 1);
  during();
  std::fflush(stdout), std::fflush(stderr);
  for (int fd = 0; fd < 3; ++fd) dup2(saved[fd], fd), close(saved[fd]);
  std::clearerr(stdin);
  return marks;
}

TEST(CrtCalls, RedirectionsModesAndEnvironment) {
  const std::string dir = testing::TempDir() + "vox" + std::to_string(getpid());
  const std::string out = dir + "out", err = dir + "e=rr", in = dir + "in", never = dir + "no";
  std::ofstream(err) << "before\n";
  std::ofstream(in) << "hd7 quit\n";
  std::remove(out.c_str());
  std::string line(16, '\0');
  auto read_file = [](const std::string& p) {
    return (std::stringstream() << std::ifstream(p).rdbuf()).str();
  };
  testing::internal::CaptureStdout();
  auto marks = parse_redirected({"-h", "-z1w=" + out, "-h", "-z2a=" + err, "-z0r=" + in}, [&] {
    std::fputs("after\n", stderr);
    if (!std::fgets(line.data(), 16, stdin)) line.clear();
  });
  // The usage before the redirection was written out to the old stdout first.
  EXPECT_EQ(testing::internal::GetCapturedStdout(), usage_text("voxmira", '$'));
  EXPECT_EQ(read_file(out), usage_text("voxmira", '$'));
  EXPECT_EQ(read_file(err), "before\nafter\n");
  EXPECT_STREQ(line.c_str(), "hd7 quit\n");
  EXPECT_EQ(marks, (std::vector<bool>{false, false, true, false, true, true, false}));
  // Opens that fail, or modes no C library knows, are silent and change nothing.
  for (const std::string& word :
       Words{"-z1=" + never, "-z2wx=" + never, "-z2w=", "-z0r=" + never}) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    marks = parse_redirected({word}, [] { std::fputs("still here", stdout); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << word;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "still here") << word;
    EXPECT_EQ(marks, (std::vector<bool>{false, true, true})) << word;
    EXPECT_FALSE(std::ifstream(never).good()) << word;
  }
  for (const std::string& p : {out, err, in}) std::remove(p.c_str());
  const std::pair<const char*, bool> modes[] = {
      {"r", true},   {"a", true},    {"r+", true},   {"wb", true},   {"at", true},  {"w+b", true},
      {"wb+", true}, {"a+t", true},  {"", false},    {"x", false},   {"W", false},  {"b", false},
      {"+w", false}, {"w++", false}, {"wbb", false}, {"wbt", false}, {"r ", false}, {"ww", false}};
  for (const auto& [mode, ok] : modes) EXPECT_EQ(redirection_mode_ok(mode), ok) << mode;
  ::setenv("VOXMIRA_TEST_D", "caller's value", 1);  // set_env overwrites and keeps empty values
  ::unsetenv("VOXMIRA_TEST_E");
  EXPECT_FALSE(env_present("VOXMIRA_TEST_E"));
  EXPECT_TRUE(set_env("VOXMIRA_TEST_D", "a=b c") == 0 && set_env("VOXMIRA_TEST_E", "") == 0);
  EXPECT_TRUE(env_present("VOXMIRA_TEST_E") && std::string(std::getenv("VOXMIRA_TEST_E")).empty());
  EXPECT_STREQ(std::getenv("VOXMIRA_TEST_D"), "a=b c");
}

// {serial, ldev, drive} triples: a command device on \\.\PhysicalDrive<drive> when drive >= 0.
SortedUnits collect(const std::vector<int>& triples, const std::string& names = "abcdefg") {
  SortedUnits units;
  for (std::size_t i = 0; i + 2 < triples.size(); i += 3) {
    DevIdentity r;
    r.serial = triples[i], r.ldev = triples[i + 1], r.is_cmddev = triples[i + 2] >= 0;
    std::snprintf(r.dev_path, sizeof r.dev_path, "\\\\.\\PhysicalDrive%d", triples[i + 2]);
    EXPECT_EQ(units.sorted_insert(names.substr(i / 3, 1).c_str(), r), 0);
  }
  return units;
}

TEST(SortedUnits, CommandDeviceImage) {
  // The command-device image shows the LDEV with most command paths; a tie keeps the lowest.
  const auto cm = collect({1, 9, 1, 1, 5, -1, 1, 5, 2, 1, 7, 3, 1, 7, 4, 1, 3, 5});
  const auto* best = best_command_group(cm.serials().at(1));
  ASSERT_NE(best, nullptr);
  EXPECT_EQ(best->front().name + best->back().name, "de");
  EXPECT_EQ(best_command_group(collect({1, 2, -1}).serials().at(1)), nullptr);
  GroupEntries group(3);  // paths of 23 characters, without an end, and short
  std::strcpy(group[0].record.dev_path, "\\\\.\\PhysicalDrive123456");
  std::memset(group[1].record.dev_path, 'P', sizeof group[1].record.dev_path);
  std::strcpy(group[2].record.dev_path, "\\\\.\\PhysicalDrive1");
  for (UnitEntry& e : group) e.record.is_cmddev = 1;
  EXPECT_EQ(cm_image_unit(3, -7, group), "#UnitID 3 (Serial# -7)\n\\\\.\\PhysicalDrive123456 " +
                                             std::string(64, 'P') +
                                             " \\\\.\\PhysicalDrive1      \n");
}

// Records the drives the probe opens ("1 2 ") and "dos " for every read of the DOS name list.
// Every call fails, so nothing is identified: what the loop did shows in the record alone.
struct CallRecorder : test::FakeBackend {
  plat::Handle create_file(const char* path, std::uint32_t, std::uint32_t, std::uint32_t,
                           std::uint32_t) override {
    return *calls += std::string(path + std::strlen("\\\\.\\PhysicalDrive")) + " ", fail_handle();
  }
  std::uint32_t query_dos_device_list_w(char16_t*, std::uint32_t) override {
    return *calls += "dos ", fail(win::ERROR_ACCESS_DENIED);
  }
  std::string* calls;
};

// Runs the loop as main does: options parsed from `words`, the other words or STDIN probed.
// Returns the exit status; the calls made and stderr go to `calls` and `err`.
int run_loop(Words words, const std::string& input, std::string& calls, std::string& err) {
  auto recorder = std::make_unique<CallRecorder>();
  recorder->calls = &calls;
  plat::set_backend(std::move(recorder));
  std::FILE* f = std::tmpfile();
  std::fputs(input.c_str(), f);
  std::rewind(f);
  Argv args(std::move(words));
  RunOptions o;
  std::vector<bool> redirections;
  SortedUnits sorted;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  parse_options(args.argc(), args.pointers.data(), o, redirections);
  const int status =
      run_input_loop(f, "voxmira", args.argc(), args.pointers.data(), redirections, o, sorted);
  err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  std::fclose(f);
  plat::set_backend(std::make_unique<test::FakeBackend>());
  return status;
}

TEST(InputLoop, WordsAreFilteredExpandedAndProbed) {
  const struct {
    Words args;
    std::string input;
    const char* calls;
    int status = 0;
    char dvobj = '$';
  } cases[] = {
      // "quit" first in a line ends the run; later, or in another case, it is a word.
      {{}, "hd1 quit hd2\nQUIT hd4\nquit\nhd3\n", "1 2 4 "},
      {{}, "#hd1 hd2\nhd3 #4\n", "3 4 "},
      {{}, "-CLI hd C: x\nC:\\Vol3\\Dsk1 \\Dsk7\n", "1 7 "},
      {{"-grep=Harddisk"}, "VG1 Harddisk2 harddisk3 Hard4\n#Harddisk5\nquit Harddisk6\n", "2 "},
      {{"-grep="}, "hd1 2\n", "1 2 "},
      {{}, "$Phys\n%Phys\n", "dos "},
      {{}, "%Phys\n$Phys\n", "dos dos ", 0, '%'},
      // The arguments are one batch; a carried-out redirection is no device word.
      {{"-fx", "hd1", "-pin"}, "hd9\n", "1 "},
      {{"hd1", "quit", "hd2"}, "hd9\n", "1 2 "},
      {{"#", "hd1"}, "hd9\n", ""},
      {{"-z2w=", "hd3", "-z1"}, "hd9\n", "3 1 "},
      // Exit status: under -gvinfex a device not identified fails the run.
      {{"-gvinfex"}, "hd1\nquit\nhd2\n", "1 ", 1},
      {{"-gvinfex"}, "hd\n", "", 0},
      {{"-gvinf"}, "hd1\n", "1 ", 0},
      {{"-sort", "-gvinfex"}, "hd1\n", "1 ", 1},
      {{"-sort", "-CM"}, "hd1\n", "1 ", 1},  // no command device found
  };
  std::string calls, err;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input + (c.args.empty() ? "" : c.args[0]));
    dvobj_char = c.dvobj, cli_mode = 0, calls.clear();
    EXPECT_EQ(run_loop(c.args, c.input, calls, err), c.status);
    EXPECT_EQ(calls, c.calls);
  }
  dvobj_char = '$';
  run_loop({}, "hd1\n", calls, err);  // probe failures speak only outside -CLI
  EXPECT_EQ(err.rfind("Harddisk1 -> ", 0), 0u) << err;
  run_loop({"-CLI", "-sort", "hd1"}, "", calls, err);
  EXPECT_EQ(err, "");
  cli_mode = 0;
}

}  // namespace
}  // namespace vox
