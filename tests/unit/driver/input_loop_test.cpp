#include "driver/input_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driver/flags.h"
#include "support/fake_backend.h"

namespace vox {
namespace {

// Records the drives the probe tries to open ("1 2 "), and "dos " for every read of the
// DOS name list. Every call fails, so no device is identified and no report runs: what
// the loop did shows in the record alone.
class CallRecorder : public test::FakeBackend {
 public:
  explicit CallRecorder(std::string& calls) : calls_(calls) {}
  plat::Handle create_file(const char* path, std::uint32_t, std::uint32_t, std::uint32_t,
                           std::uint32_t) override {
    calls_ += std::string(path + std::strlen("\\\\.\\PhysicalDrive")) + " ";
    return fail_handle();
  }
  std::uint32_t query_dos_device_list_w(char16_t*, std::uint32_t) override {
    calls_ += "dos ";
    return fail(win::ERROR_ACCESS_DENIED);
  }

 private:
  std::string& calls_;
};

class InputLoop : public testing::Test {
 protected:
  void SetUp() override { plat::set_backend(std::make_unique<CallRecorder>(calls)); }
  void TearDown() override {
    plat::set_backend(std::make_unique<test::FakeBackend>());
    dvobj_char = '$';
    cli_mode = 0;
  }

  // Standard input `input`, or, when `args` is given, an argument run.
  int run(const std::string& input, RunOptions o, std::vector<std::string> args = {},
          std::vector<bool> redirections = {}) {
    calls.clear();
    std::FILE* f = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), f);
    std::rewind(f);
    args.insert(args.begin(), "voxmira");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    if (args.size() > 1) o.read_stdin = 0;
    SortedUnits sorted;
    testing::internal::CaptureStderr();
    const int status = run_input_loop(f, "voxmira", static_cast<int>(argv.size()), argv.data(),
                                      redirections, o, sorted);
    stderr_text = testing::internal::GetCapturedStderr();
    std::fclose(f);
    return status;
  }

  std::string calls;
  std::string stderr_text;
};

TEST_F(InputLoop, WordsOfStdinLinesAreFilteredExpandedAndProbed) {
  const struct {
    std::string input;
    const char* filter;
    char dvobj;
    const char* calls;
  } cases[] = {
      {"hd1 hd3-2\n", nullptr, '$', "1 2 3 "},
      {"quit hd1\nhd2\n", nullptr, '$', ""},
      // "quit" later in a line, or in another case, is an ordinary word.
      {"hd1 quit hd2\nQUIT hd4\nquit\nhd3\n", nullptr, '$', "1 2 4 "},
      {"#hd1 hd2\nhd3 #4\n", nullptr, '$', "3 4 "},
      {"\n \t \nhd4\nhd5", nullptr, '$', "4 "},
      {"-CLI hd C: x\n", nullptr, '$', ""},
      {"C:\\Vol3\\Dsk1 \\Dsk7\n", nullptr, '$', "1 7 "},
      {"Harddisk1 VG1 P-VOL\n", "Harddisk", '$', "1 "},
      {"VG1 Harddisk2 harddisk3 Hard4\n#Harddisk5\nquit Harddisk6\n", "Harddisk", '$', "2 "},
      {"hd1 2\n", "", '$', "1 2 "},
      {"$Phys\n%Phys\n", nullptr, '$', "dos "},
      {"%Phys\n", nullptr, '%', "dos "},
      {"$Phys\n", nullptr, '%', "dos "},
  };
  for (const auto& c : cases) {
    dvobj_char = c.dvobj;
    RunOptions o;
    o.name_filter = c.filter;
    EXPECT_EQ(run(c.input, o), 0) << c.input;
    EXPECT_EQ(calls, c.calls) << c.input;
  }
}

TEST_F(InputLoop, ArgumentsAreOneBatch) {
  const struct {
    std::vector<std::string> args;
    std::vector<bool> redirections;
    const char* calls;
  } cases[] = {
      {{"-CLI", "hd1", "-fx"}, {}, "1 "},
      {{"quit", "hd1"}, {}, ""},
      {{"hd1", "quit", "hd2"}, {}, "1 2 "},
      {{"#", "hd1"}, {}, ""},
      // A carried-out redirection is no device word; a -z word without "=" is one.
      {{"-z1w", "hd3"}, {false, true, false}, "3 "},
      {{"-z1", "hd3"}, {}, "1 3 "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(run("hd9\n", RunOptions{}, c.args, c.redirections), 0) << c.args[0];
    EXPECT_EQ(calls, c.calls) << c.args[0];
  }
}

TEST_F(InputLoop, ExitStatusOfTheRun) {
  const struct {
    const char* label;
    int sort_mode, layout_cmd, cm_image, exit_error;
    std::string input;
    int status;
  } cases[] = {
      {"plain run", 0, 0, 0, 0, "hd1\n", 0},
      {"-gvinfex: a device not identified fails the run", 0, 2, 0, 0, "hd1\n", 1},
      {"-gvinfex without devices", 0, 2, 0, 0, "hd\n", 0},
      {"-gvinf: unidentified devices are no failure", 0, 1, 0, 0, "hd1\n", 0},
      {"-sort -gvinfex: not identified, not stored", 1, 2, 0, 0, "hd1\n", 1},
      {"-sort with nothing stored", 1, 0, 0, 0, "hd1\n", 0},
      {"-sort keeps a raised exit_error", 1, 0, 0, 1, "hd1\n", 1},
      {"-sort -CM without command devices", 1, 0, 1, 0, "hd1\n", 1},
      {"-CM without -sort", 0, 0, 1, 0, "hd1\n", 0},
      {"quit keeps exit_error", 0, 2, 0, 0, "hd1\nquit\nhd2\n", 1},
  };
  for (const auto& c : cases) {
    RunOptions o;
    o.sort_mode = c.sort_mode;
    o.layout_cmd = c.layout_cmd;
    o.cm_image = c.cm_image;
    o.exit_error = c.exit_error;
    testing::internal::CaptureStdout();
    EXPECT_EQ(run(c.input, o), c.status) << c.label;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.label;
  }
}

TEST_F(InputLoop, ProbeFailuresSpeakOnlyOutsideCliMode) {
  run("hd1\n", RunOptions{});
  EXPECT_EQ(stderr_text.rfind("Harddisk1 -> ", 0), 0u) << stderr_text;
  cli_mode = 1;
  RunOptions o;
  o.sort_mode = 1;
  run("hd1\n", o);
  EXPECT_EQ(stderr_text, "");
}

}  // namespace
}  // namespace vox
