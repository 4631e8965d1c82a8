// Runs of voxmira over the shipped example host (examples/host.json), shared by the
// example_*_test.cpp files. The expected texts are derived from the rules of the reports
// and from the values tools/hostgen/example_host.cpp puts into each disk
// (examples/README.md lists them).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "e2e/harness.h"

namespace vox::e2e::example {

using Env = std::vector<std::pair<std::string, std::string>>;

inline std::string example_host() {
  return std::string(VOX_SOURCE_DIR) + "/examples/host.json";
}

// voxmira with `args` and `stdin_text` over the example host (or `host`).
inline RunResult run_example(std::vector<std::string> args, std::string stdin_text = {},
                             Env env = {}, const std::string& host = example_host()) {
  Invocation r;
  r.args = std::move(args);
  r.stdin_text = std::move(stdin_text);
  r.env = std::move(env);
  r.env.emplace_back("VOXMIRA_HOST", host);
  RunResult result = run(r);
  // A Windows error report ends in "\r\n", which the text-mode stream makes "\r\r\n";
  // the harness took one "\r" away, this takes the other.
  if (wine_mode()) result.err = crlf_to_lf(result.err);
  return result;
}

// Both streams byte for byte and the exit status.
inline void expect_run(const RunResult& r, const std::string& out, const std::string& err,
                       int status = 0) {
  EXPECT_EQ(r.exec_error, "");
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.exit_code, status);
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

// "a b  c" -> {"a", "b", "c"}: the arguments of a run written as one text.
inline std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> all;
  for (std::string word; in >> word;) all.push_back(word);
  return all;
}

// The example host where the pair-status tool can run: natively the shipped image, whose
// root holds a script that starts the program VOXMIRA_TWINLIST names; under Wine a copy
// of the image beside a root holding the Windows build of the tool.
class PairHost {
 public:
  PairHost() {
    if (!wine_mode()) {
      host_ = example_host();
      env_ = {{"VOXMIRA_TWINLIST", program_path("twinlist")}};
      return;
    }
    std::string image;
    EXPECT_TRUE(read_file(example_host(), image));
    host_ = dir_.write("host.json", image);
    const std::filesystem::path tool = dir_.file("root/VEXAM/etc/twinlist.exe");
    std::filesystem::create_directories(tool.parent_path());
    std::filesystem::copy_file(program_path("twinlist"), tool);
  }
  RunResult run(std::vector<std::string> args, Env env = {}) const {
    env.insert(env.end(), env_.begin(), env_.end());
    return run_example(std::move(args), {}, std::move(env), host_);
  }

 private:
  TempDir dir_;
  std::string host_;
  Env env_;
};

// The inquiry dump shows memory addresses, which differ from run to run: each
// "[0x%08x]" becomes "[0x@@@@@@@@]".
inline std::string without_addresses(const std::string& text) {
  static const std::regex address(R"(\[0x[0-9a-f]{8}\])");
  return std::regex_replace(text, address, "[0x@@@@@@@@]");
}

}  // namespace vox::e2e::example
