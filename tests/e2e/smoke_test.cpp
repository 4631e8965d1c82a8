// First end-to-end checks of the built program: the usage text under the program's own
// name and DOS-device prefix, the -z redirection, and host images empty or missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "e2e/harness.h"

namespace vox::e2e {
namespace {

using Env = std::vector<std::pair<std::string, std::string>>;

RunResult voxmira(std::vector<std::string> args, Env env = {}, std::string cwd = {},
                  std::string stdin_text = {}) {
  return run(Invocation{"voxmira", std::move(args), std::move(env), cwd, stdin_text});
}

TEST(Smoke, UsageRedirectionAndHostImages) {
  // The text is checked byte for byte where it is made; here: the name the program was
  // started under, the prefix CHG_DVOBJ_CH chooses, and each -h printing it once.
  const RunResult help = voxmira({"-h"});
  EXPECT_EQ(std::count(help.out.begin(), help.out.end(), '\n'), 42);
  EXPECT_TRUE(help.out.ends_with("\n [ twinlist -l -fd -g VG1 | " + program_shown("voxmira") +
                                 " -svinf=Harddisk ]  Set a drive layout to disk# related to a "
                                 "group(VG1).\n"));
  std::string percent = help.out;
  std::replace(percent.begin(), percent.end(), '$', '%');
  const struct {
    std::vector<std::string> args;
    Env env;
    std::string out;
  } cases[] = {{{"-h"}, {}, help.out},
               {{"h"}, {}, help.out},
               {{"-CLI", "-h"}, {}, help.out},
               {{"-h", "-h"}, {}, help.out + help.out},
               {{"-h"}, {{"CHG_DVOBJ_CH", "1"}}, percent}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const RunResult r = voxmira(c.args, c.env);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_code, 0);
  }
  // -z1w sends stdout to a file of the working folder.
  TempDir dir;
  RunResult r = voxmira({"-z1w=out.txt", "-h"}, {}, dir.path());
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(read_output_file(dir.file("out.txt")), help.out);
  // An empty host ends cleanly on quit; a missing image stops the run before -h: one line
  // on stderr naming the file, nothing on stdout, status 1.
  r = voxmira({}, {{"VOXMIRA_HOST", write_host_image(dir, "{\"disks\": []}\n")}}, {}, "quit\n");
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(r.exit_code, 0);
  r = voxmira({"-h"}, {{"VOXMIRA_HOST", dir.file("absent.json")}});
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(r.err.starts_with("voxmira: host image '" + dir.file("absent.json") + "': "))
      << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  EXPECT_EQ(r.exit_code, 1);
}

}  // namespace
}  // namespace vox::e2e
