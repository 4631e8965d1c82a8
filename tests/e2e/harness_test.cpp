// The harness itself, checked with the system's shell: the end-to-end suite is only as
// exact as the capture underneath it.
#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vox::e2e {
namespace {

Command shell(const std::string& script, std::string stdin_text = {}) {
  Command c;
  c.argv = {"/bin/sh", "-c", script};
  c.env = {"PATH=/usr/bin:/bin"};
  c.stdin_text = std::move(stdin_text);
  return c;
}

TEST(HarnessRun, ExitStatusIsPassedOnExactly) {
  for (int code : {0, 1, 2, 127, 255}) {
    const RunResult r = run_command(shell("exit " + std::to_string(code)));
    EXPECT_EQ(r.exit_code, code);
    EXPECT_EQ(r.signal, 0);
    EXPECT_TRUE(r.exec_error.empty()) << r.exec_error;
  }
}

TEST(HarnessRun, StreamsAreKeptApartByteForByte) {
  struct Case {
    std::string script, out, err;
  };
  const Case cases[] = {
      {"printf 'a\\nb'", "a\nb", ""},
      {"printf 'e\\r\\n' >&2", "", "e\r\n"},
      {"printf 1; printf 2 >&2; printf 3", "13", "2"},
      {"printf '\\000x\\377'", std::string("\0x\377", 3), ""},
      {"true", "", ""},
  };
  for (const Case& c : cases) {
    const RunResult r = run_command(shell(c.script));
    EXPECT_EQ(r.exit_code, 0) << c.script;
    EXPECT_EQ(r.out, c.out) << c.script;
    EXPECT_EQ(r.err, c.err) << c.script;
  }
}

TEST(HarnessRun, StandardInputArrivesAndThenEnds) {
  const struct {
    std::string in;
  } cases[] = {{""}, {"x"}, {"hd0\nquit\n"}, {std::string(200000, 'z') + "\n"}};
  for (const auto& c : cases) {
    const RunResult r = run_command(shell("cat", c.in));
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, c.in);
  }
}

// Both outputs far beyond a pipe's buffer, and input the child echoes while it is
// being fed: nothing may block.
TEST(HarnessRun, LargeOutputsOnBothStreamsDoNotBlock) {
  const RunResult r = run_command(shell(
      "head -c 1048576 /dev/zero; head -c 1048577 /dev/zero >&2; cat", std::string(300000, 'q')));
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out.size(), 1048576u + 300000u);
  EXPECT_EQ(r.err.size(), 1048577u);
  EXPECT_EQ(r.out.substr(1048576), std::string(300000, 'q'));
}

TEST(HarnessRun, ChildThatIgnoresItsInputDoesNotHurtTheHarness) {
  const RunResult r = run_command(shell("exit 3", std::string(1 << 20, 'x')));
  EXPECT_EQ(r.exit_code, 3);
  EXPECT_EQ(r.signal, 0);
}

TEST(HarnessRun, ChildSeesTheDefaultBrokenPipeAction) {
  // yes(1) dies of SIGPIPE once head is done; an inherited "ignore" would make it
  // print a write error instead.
  const RunResult r = run_command(shell("yes | head -c 4"));
  EXPECT_EQ(r.out, "y\ny\n");
  EXPECT_EQ(r.err, "");
}

TEST(HarnessRun, EnvironmentIsExactlyTheOneGiven) {
  Command c;
  c.argv = {"/usr/bin/env"};
  c.env = {"A=1", "B=two words", "C="};
  const RunResult r = run_command(c);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "A=1\nB=two words\nC=\n");
}

TEST(HarnessRun, WorkingFolderAndArgumentZero) {
  TempDir dir;
  Command c = shell("pwd -P; echo \"$0\"");
  c.cwd = dir.path();
  c.argv0 = "shown-name";
  const RunResult r = run_command(c);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, std::filesystem::canonical(dir.path()).string() + "\nshown-name\n");
}

TEST(HarnessRun, EndBySignalIsReported) {
  const RunResult r = run_command(shell("kill -TERM $$"));
  EXPECT_EQ(r.exit_code, -1);
  EXPECT_EQ(r.signal, 15);
  EXPECT_FALSE(r.timed_out);
}

TEST(HarnessRun, FailuresToStartAreReportedNotRun) {
  Command missing;
  missing.argv = {"/nonexistent/voxmira"};
  Command bad_cwd = shell("echo ran");
  bad_cwd.cwd = "/nonexistent/folder";
  Command empty;
  for (const Command* c : {&missing, &bad_cwd, &empty}) {
    const RunResult r = run_command(*c);
    EXPECT_FALSE(r.exec_error.empty());
    EXPECT_EQ(r.out, "");
  }
  EXPECT_NE(run_command(missing).exec_error.find("No such file"), std::string::npos);
}

TEST(HarnessRun, HungChildIsKilledAtTheLimit) {
  Command c = shell("exec sleep 600");
  c.time_limit_s = 1;
  const RunResult r = run_command(c);
  EXPECT_TRUE(r.timed_out);
  EXPECT_EQ(r.signal, 9);
}

TEST(HarnessText, CrlfBecomesLf) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"", ""},       {"a\r\nb\r\n", "a\nb\n"}, {"a\nb", "a\nb"}, {"\r", "\r"},
      {"x\r", "x\r"}, {"\r\r\n", "\r\n"},       {"\n\r", "\n\r"}, {"\r\n\r\n", "\n\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(crlf_to_lf(c.in), c.out) << c.in;
}

TEST(HarnessText, WinePathForm) {
  EXPECT_EQ(wine_path("/work/build-win/voxmira.exe"), "Z:\\work\\build-win\\voxmira.exe");
  EXPECT_EQ(wine_path("/"), "Z:\\");
}

TEST(HarnessEnvironment, NothingTheToolReadsLeaksIn) {
  ::setenv("VOXMIRA_HOST", "/leaked.json", 1);
  ::setenv("CHG_DVOBJ_CH", "", 1);
  const std::vector<std::string> env = base_environment();
  ::unsetenv("VOXMIRA_HOST");
  ::unsetenv("CHG_DVOBJ_CH");
  for (const std::string& e : env) {
    EXPECT_FALSE(e.starts_with("VOXMIRA_HOST=")) << e;
    EXPECT_FALSE(e.starts_with("CHG_DVOBJ_CH=")) << e;
  }
  ASSERT_FALSE(env.empty());
  EXPECT_TRUE(env[0].starts_with("PATH=")) << env[0];
}

TEST(HarnessEnvironment, RunVariablesReplaceInheritedOnes) {
  Invocation r;
  r.env = {{"PATH", "/x"}, {"VOXMIRA_HOST", "h.json"}, {"VOXMIRA_HOST", "i.json"}};
  const std::vector<std::string> env = environment_for(r);
  int paths = 0, hosts = 0;
  for (const std::string& e : env) {
    if (e.starts_with("PATH=")) {
      ++paths;
      EXPECT_EQ(e, "PATH=/x");
    }
    if (e.starts_with("VOXMIRA_HOST=")) {
      ++hosts;
      EXPECT_EQ(e, "VOXMIRA_HOST=i.json");
    }
  }
  EXPECT_EQ(paths, 1);
  EXPECT_EQ(hosts, 1);
}

TEST(HarnessFiles, TempDirWritesAndCleansUp) {
  std::string root;
  {
    TempDir dir;
    root = dir.path();
    ASSERT_FALSE(root.empty());
    const std::string image = write_host_image(dir, "{\"disks\": []}\n");
    EXPECT_EQ(image, root + "/host.json");
    const std::string nested = dir.write("a/b/c.txt", std::string("x\r\n\0y", 5));
    std::string back;
    ASSERT_TRUE(read_file(nested, back));
    EXPECT_EQ(back, std::string("x\r\n\0y", 5));
    ASSERT_TRUE(read_file(image, back));
    EXPECT_EQ(back, "{\"disks\": []}\n");
    bool exists = true;
    EXPECT_EQ(read_output_file(dir.file("missing"), &exists), "");
    EXPECT_FALSE(exists);
  }
  EXPECT_FALSE(std::filesystem::exists(root));
}

}  // namespace
}  // namespace vox::e2e
