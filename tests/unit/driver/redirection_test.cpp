#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/crt_calls.h"
#include "driver/flags.h"
#include "driver/options.h"
#include "driver/usage.h"

namespace vox {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool file_exists(const std::string& path) {
  return std::ifstream(path).good();
}

std::string temp_path(const char* name) {
  return testing::TempDir() + "voxmira_redirect_" + name + "_" + std::to_string(getpid());
}

// Keeps a copy of the descriptors 0, 1 and 2 and puts them back at the end of a test.
class SavedDescriptors {
 public:
  SavedDescriptors() {
    std::fflush(stdout);
    std::fflush(stderr);
    for (int fd = 0; fd < 3; ++fd) saved_[fd] = dup(fd);
  }
  ~SavedDescriptors() {
    std::fflush(stdout);
    std::fflush(stderr);
    for (int fd = 0; fd < 3; ++fd) {
      dup2(saved_[fd], fd);
      close(saved_[fd]);
    }
    std::clearerr(stdin);
  }

 private:
  int saved_[3] = {};
};

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

TEST(SetEnv, PutsNameAndValueIntoTheEnvironment) {
  ::setenv("VOXMIRA_TEST_D", "caller's value", 1);
  const struct {
    const char* name;
    const char* value;
  } cases[] = {
      {"VOXMIRA_TEST_A", "1"},
      {"VOXMIRA_TEST_B", "STDERROUT"},
      {"VOXMIRA_TEST_D", "overwritten"},
      {"VOXMIRA_TEST_E", ""},
      {"VOXMIRA_TEST_C", "a=b c"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(set_env(c.name, c.value), 0) << c.name;
    const char* got = std::getenv(c.name);
    ASSERT_NE(got, nullptr) << c.name;
    EXPECT_STREQ(got, c.value) << c.name;
    EXPECT_TRUE(env_present(c.name));
  }
}

TEST(EnvPresent, EmptyValueCountsAsPresent) {
  ::unsetenv("VOXMIRA_TEST_EMPTY");
  EXPECT_FALSE(env_present("VOXMIRA_TEST_EMPTY"));
  ::setenv("VOXMIRA_TEST_EMPTY", "", 1);
  EXPECT_TRUE(env_present("VOXMIRA_TEST_EMPTY"));
  ::unsetenv("VOXMIRA_TEST_EMPTY");
}

TEST(RedirectionMode, AcceptsOnlyModesEveryCLibraryKnows) {
  const struct {
    const char* mode;
    bool ok;
  } cases[] = {
      {"r", true},   {"w", true},   {"a", true},     {"r+", true},   {"wb", true},   {"at", true},
      {"w+b", true}, {"wb+", true}, {"a+t", true},   {"", false},    {"x", false},   {"W", false},
      {"b", false},  {"+w", false}, {"w++", false},  {"wbb", false}, {"wbt", false}, {"wx", false},
      {"r ", false}, {"ww", false}, {"rb+t", false},
  };
  for (const auto& c : cases) EXPECT_EQ(redirection_mode_ok(c.mode), c.ok) << c.mode;
}

TEST(Redirection, StdoutGoesToTheFileFromTheArgumentOn) {
  const std::string path = temp_path("out");
  std::remove(path.c_str());
  {
    SavedDescriptors saved;
    dvobj_char = '$';
    Argv args({"-h", "-z1w=" + path, "-h", "-CLI"});
    RunOptions o;
    std::vector<bool> redirections;
    testing::internal::CaptureStdout();
    parse_options(args.argc(), args.argv(), o, redirections);
    std::fflush(stdout);
    // The usage before the redirection was written out to the old stdout first.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), usage_text("voxmira", '$'));
    EXPECT_EQ(redirections, (std::vector<bool>{false, false, true, false, false}));
    EXPECT_STREQ(args.argv()[2], "-z1w");
    EXPECT_EQ(o.read_stdin, 0);
    cli_mode = 0;
  }
  EXPECT_EQ(read_file(path), usage_text("voxmira", '$'));
  std::remove(path.c_str());
}

TEST(Redirection, StderrAppendsAndStdinReads) {
  const std::string err_path = temp_path("err");
  const std::string in_path = temp_path("in");
  {
    std::ofstream(err_path) << "before\n";
    std::ofstream(in_path) << "hd7 quit\n";
  }
  std::string line;
  {
    SavedDescriptors saved;
    Argv args({"-z2a=" + err_path, "-z0r=" + in_path});
    RunOptions o;
    std::vector<bool> redirections;
    parse_options(args.argc(), args.argv(), o, redirections);
    std::fputs("after\n", stderr);
    char buffer[64] = {};
    if (std::fgets(buffer, sizeof buffer, stdin)) line = buffer;
    EXPECT_EQ(redirections, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(o.read_stdin, 1);
  }
  EXPECT_EQ(read_file(err_path), "before\nafter\n");
  EXPECT_EQ(line, "hd7 quit\n");
  std::remove(err_path.c_str());
  std::remove(in_path.c_str());
}

TEST(Redirection, FailedOpensAreSilentAndStillOptions) {
  const std::string path = temp_path("never");
  std::remove(path.c_str());
  const std::vector<std::string> words = {
      "-z1=" + path,                     // empty mode
      "-z1q=" + path,                    // unknown mode
      "-z2w=",                           // empty path
      "-z1w=/nonexistent-dir/sub/file",  // folder missing
      "-z0r=" + path,                    // reading a missing file
  };
  for (const std::string& word : words) {
    SavedDescriptors saved;
    Argv args({word});
    RunOptions o;
    std::vector<bool> redirections;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    parse_options(args.argc(), args.argv(), o, redirections);
    std::fputs("still here", stdout);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << word;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "still here") << word;
    EXPECT_EQ(redirections, (std::vector<bool>{false, true})) << word;
    EXPECT_EQ(o.read_stdin, 1) << word;
    EXPECT_FALSE(file_exists(path)) << word;
  }
}

TEST(Redirection, PathIsTheTextAfterTheFirstEquals) {
  const std::string path = temp_path("a=b");
  std::remove(path.c_str());
  {
    SavedDescriptors saved;
    Argv args({"-z2w=" + path});
    RunOptions o;
    std::vector<bool> redirections;
    parse_options(args.argc(), args.argv(), o, redirections);
    std::fputs("x", stderr);
  }
  EXPECT_EQ(read_file(path), "x");
  std::remove(path.c_str());
}

}  // namespace
}  // namespace vox
