// Runs of voxmira over host images made for one kind of bad input each, shared by the
// bad_input_*_test.cpp files. Every run is checked for what must hold whatever the
// input: the program started, ended by itself (no signal) and within the harness's
// time limit.
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "e2e/harness.h"
#include "tools/hostgen/host_json.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::e2e::bad_input {

using Env = std::vector<std::pair<std::string, std::string>>;
using hostgen::Json;
using hostgen::Page83Builder;
using hostgen::StdInquiryBuilder;

// printf into a string.
inline std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
inline std::string format(const char* f, ...) {
  va_list args;
  va_start(args, f);
  std::vector<char> text(256);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(text.data(), text.size(), f, args);
  if (n >= static_cast<int>(text.size())) {
    text.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(text.data(), text.size(), f, again);
  }
  va_end(again);
  va_end(args);
  return n < 0 ? std::string() : std::string(text.data(), static_cast<std::size_t>(n));
}

// Bytes as the hex text of a host image.
inline std::string hex(std::span<const std::uint8_t> bytes) {
  return hostgen::hex_rows(bytes, 0);
}

// A disk of a host image: its number and the standard INQUIRY data it returns.
inline Json disk(int number, std::span<const std::uint8_t> inquiry) {
  return Json{{"number", number}, {"inquiry", hex(inquiry)}};
}

// Standard data of an array volume whose identity comes from page 0x83: additional
// length 35 leaves every vendor-specific field unread.
inline hostgen::Image volume_std() {
  return StdInquiryBuilder().additional_length(35).build();
}

// Page 0x83 of an [RB] volume (family key "N14") presented through CL1-A.
inline Page83Builder rb_page(int serial, int ldev) {
  return Page83Builder().identifier(format("N14  %08d %05d", serial, ldev)).port_bytes('1', 'a');
}

// The stderr lines of probes of drives that the host does not have, one per name.
inline std::string not_found(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names)
    text += name + " -> OPEN : [2] The system cannot find the file specified.\n";
  return text;
}

// The stderr line of a display name too long for its 256-byte buffer: its first 255
// characters and the message.
inline std::string refused(const std::string& name) {
  return format("%s -> %-35s\n", name.substr(0, 255).c_str(), "Device name too long.");
}

// A host image in a folder of its own, and runs of voxmira over it with a fresh trace.
class Host {
 public:
  explicit Host(const std::string& text) : path_(write_host_image(dir_, text)) {}
  explicit Host(const Json& document) : Host(document.dump()) {}

  RunResult run(std::vector<std::string> args, std::string stdin_text = {}, Env env = {}) const {
    std::filesystem::remove(trace_path());
    Invocation r;
    r.args = std::move(args);
    r.stdin_text = std::move(stdin_text);
    r.env = std::move(env);
    r.env.emplace_back("VOXMIRA_HOST", path_);
    r.env.emplace_back("VOXMIRA_TRACE", trace_path());
    RunResult result = vox::e2e::run(r);
    // The system message of a Windows error report ends in "\r\n" of its own.
    if (wine_mode()) result.err = crlf_to_lf(result.err);
    EXPECT_EQ(result.exec_error, "");
    EXPECT_EQ(result.signal, 0) << "killed by a signal";
    EXPECT_FALSE(result.timed_out) << "did not end";
    return result;
  }

  // The platform calls of the last run, one a line.
  std::string trace() const { return read_output_file(trace_path()); }
  std::string image() const {
    std::string text;
    read_file(path_, text);
    return text;
  }
  const TempDir& dir() const { return dir_; }

 private:
  std::string trace_path() const { return dir_.file("trace.txt"); }

  TempDir dir_;
  std::string path_;
};

}  // namespace vox::e2e::bad_input
