#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

std::string temp_path(const char* name) {
  return testing::TempDir() + "voxmira_" + std::to_string(getpid()) + "_" + name;
}

// Parses `words` with the descriptors 0, 1 and 2 put back afterwards; `during` runs
// while the redirections are in force. Returns the redirection marks, and last whether
// the run still reads STDIN.
template <typename F>
std::vector<bool> parse_redirected(std::vector<std::string> words, F during) {
  std::fflush(stdout);
  std::fflush(stderr);
  int saved[3];
  for (int fd = 0; fd < 3; ++fd) saved[fd] = dup(fd);
  words.insert(words.begin(), "voxmira");
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  RunOptions o;
  std::vector<bool> redirections;
  parse_options(static_cast<int>(words.size()), argv.data(), o, redirections);
  // Redirections are options whether the open worked or not: read_stdin tells the rest.
  redirections.push_back(o.read_stdin == 1);
  during();
  std::fflush(stdout);
  std::fflush(stderr);
  for (int fd = 0; fd < 3; ++fd) {
    dup2(saved[fd], fd);
    close(saved[fd]);
  }
  std::clearerr(stdin);
  return redirections;
}

TEST(Redirection, StreamsGoToTheirFilesFromTheArgumentOn) {
  const std::string out = temp_path("out"), err = temp_path("e=rr"), in = temp_path("in");
  std::ofstream(err) << "before\n";
  std::ofstream(in) << "hd7 quit\n";
  std::remove(out.c_str());
  dvobj_char = '$';
  std::string line(16, '\0');
  testing::internal::CaptureStdout();
  const auto marks =
      parse_redirected({"-h", "-z1w=" + out, "-h", "-z2a=" + err, "-z0r=" + in}, [&] {
        std::fputs("after\n", stderr);
        if (!std::fgets(line.data(), 16, stdin)) line.clear();
      });
  // The usage before the redirection was written out to the old stdout first.
  EXPECT_EQ(testing::internal::GetCapturedStdout(), usage_text("voxmira", '$'));
  EXPECT_EQ(read_file(out), usage_text("voxmira", '$'));
  EXPECT_EQ(read_file(err), "before\nafter\n");
  EXPECT_STREQ(line.c_str(), "hd7 quit\n");
  EXPECT_EQ(marks, (std::vector<bool>{false, false, true, false, true, true, false}));
  for (const std::string& p : {out, err, in}) std::remove(p.c_str());
}

TEST(Redirection, FailedOpensAreSilent) {
  const std::string never = temp_path("never");
  std::remove(never.c_str());
  for (const std::string& word :
       std::vector<std::string>{"-z1=" + never, "-z1q=" + never, "-z2wx=" + never,
                                "-z2w=", "-z1w=/nonexistent-dir/sub/file", "-z0r=" + never}) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const auto marks = parse_redirected({word}, [] { std::fputs("still here", stdout); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << word;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "still here") << word;
    EXPECT_EQ(marks, (std::vector<bool>{false, true, true})) << word;
    EXPECT_FALSE(std::ifstream(never).good()) << word;
  }
}

TEST(RedirectionMode, AcceptsOnlyModesEveryCLibraryKnows) {
  for (const char* mode : {"r", "w", "a", "r+", "wb", "at", "w+b", "wb+", "a+t"}) {
    EXPECT_TRUE(redirection_mode_ok(mode)) << mode;
  }
  for (const char* mode : {"", "x", "W", "b", "+w", "w++", "wbb", "wbt", "wx", "r ", "ww"}) {
    EXPECT_FALSE(redirection_mode_ok(mode)) << mode;
  }
}

TEST(SetEnv, OverwritesAndKeepsEmptyValues) {
  ::setenv("VOXMIRA_TEST_D", "caller's value", 1);
  ::unsetenv("VOXMIRA_TEST_E");
  EXPECT_FALSE(env_present("VOXMIRA_TEST_E"));
  const struct {
    const char* name;
    const char* value;
  } cases[] = {{"VOXMIRA_TEST_A", "1"}, {"VOXMIRA_TEST_D", "a=b c"}, {"VOXMIRA_TEST_E", ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(set_env(c.name, c.value), 0) << c.name;
    ASSERT_TRUE(env_present(c.name)) << c.name;
    EXPECT_STREQ(std::getenv(c.name), c.value) << c.name;
  }
}

}  // namespace
}  // namespace vox
