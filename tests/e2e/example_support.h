// Runs of voxmira over the shipped example host (examples/host.json), shared by the
// example_*_test.cpp files. The expected texts of those tests are derived from the
// rules of the reports and from the values that tools/hostgen/example_host.cpp puts
// into each disk; examples/README.md lists them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <regex>
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
  // A Windows error report prints the system's message text, which ends in "\r\n", and
  // the text-mode stream makes that "\r\r\n"; the harness takes one "\r" away.
  if (wine_mode()) result.err = crlf_to_lf(result.err);
  return result;
}

// Under Wine the process environment gets "windir" and "TEMP" from Wine itself, so the
// layout files cannot be sent to a folder of the test's own.
inline bool layout_files_reachable() {
  return !wine_mode();
}

// Lines joined, each followed by a line feed.
inline std::string lines(std::initializer_list<std::string_view> all) {
  std::string text;
  for (std::string_view line : all) {
    text += line;
    text += '\n';
  }
  return text;
}

// A default report block: "<name> -> <first>", then each further line below it, indented
// by the width of "<name> -> ".
inline std::string block(std::string_view name, std::string_view first,
                         std::initializer_list<std::string_view> more = {}) {
  std::string text = std::string(name) + " -> " + std::string(first) + "\n";
  for (std::string_view line : more)
    text += std::string(name.size() + 4, ' ') + std::string(line) + "\n";
  return text;
}

// The example host where the pair-status tool can run: natively the shipped image, whose
// root holds a script that starts the program VOXMIRA_TWINLIST names; under Wine a copy
// of the image in a temporary folder beside a root holding the Windows build of the tool.
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
