// Runs of voxmira over the shipped example host (examples/host.json). The expected texts
// follow from the rules of the reports and the values tools/hostgen/example_host.cpp puts
// into each disk (examples/README.md lists them).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "e2e/harness.h"

namespace vox::e2e::example {

inline std::string example_host() {
  return std::string(VOX_SOURCE_DIR) + "/examples/host.json";
}

// A copy of the example host in a folder of its own, where restores may rewrite it and its
// root (a folder beside the image) holds nothing the test did not put there.
struct HostCopy {
  TempDir dir;
  std::string path = dir.file("host.json");
  HostCopy() { std::filesystem::copy_file(example_host(), path); }
};

// The blank-separated words of `text`.
inline std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// voxmira with `args` (blank-separated words) and `stdin_text` over the example host.
inline RunResult run_example(const std::string& args, std::string stdin_text = {}, Env env = {},
                             const std::string& host = example_host()) {
  env.emplace_back("VOXMIRA_HOST", host);
  return run(Invocation{"voxmira", words(args), std::move(env), {}, std::move(stdin_text)});
}

// Both streams byte for byte and the exit status of a run that ended by itself.
inline void expect_run(const RunResult& r, const std::string& out, const std::string& err,
                       int status = 0) {
  EXPECT_TRUE(r.exec_error.empty() && r.signal == 0 && !r.timed_out) << r.exec_error << r.signal;
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.exit_code, status);
}

// One run of a table: its arguments, what it must print and end with, and its input.
struct Case {
  std::string args, out, err = {};
  int status = 0;
  std::string stdin_text = {};
};

inline void check_all(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args + " < " + c.stdin_text);
    expect_run(run_example(c.args, c.stdin_text), c.out, c.err, c.status);
  }
}

// Lines joined, each followed by a line feed.
inline std::string lines(std::initializer_list<std::string_view> all) {
  std::string text;
  for (std::string_view line : all) (text += line) += '\n';
  return text;
}

// What the probe says on stderr for the disks of the example host it cannot identify.
inline std::string probe_error(int disk, std::string name = {}) {
  static const std::map<int, std::string> what = {
      {0, "NOT supported RAID.                 [ATA     ] [SSD-512G        ]"},
      {9, "NOT harddisk.                       [ZEB     ] [TAPE-DRIVE-9    ]"},
      {10, "OPEN : [5] Access is denied."},
      {11, "CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83] [TARVELO ] [DISK-1          ]"}};
  if (name.empty()) name = "Harddisk" + std::to_string(disk);
  return name + " -> " + what.at(disk) + "\n";
}
inline const std::string kProbeErrors =
    probe_error(0) + probe_error(9) + probe_error(10) + probe_error(11);

// The inquiry dump shows memory addresses, which differ from run to run: each
// "[0x%08x]" becomes "[0x@@@@@@@@]".
inline std::string without_addresses(const std::string& text) {
  static const std::regex address(R"(\[0x[0-9a-f]{8}\])");
  return std::regex_replace(text, address, "[0x@@@@@@@@]");
}

}  // namespace vox::e2e::example
