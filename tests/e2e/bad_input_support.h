// Runs of voxmira over host images made for one kind of bad input each. Every run is
// checked for what must hold whatever the input: the program started and ended by itself
// (no signal) within the harness's time limit.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "e2e/harness.h"
#include "tools/hostgen/host_json.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::e2e::bad_input {

using Env = std::vector<std::pair<std::string, std::string>>;
using Bytes = std::vector<std::uint8_t>;
using hostgen::Json;
using hostgen::Page83Builder;
using hostgen::StdInquiryBuilder;
using namespace std::string_literals;

inline std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
inline std::string format(const char* f, ...) {
  va_list args, again;
  va_start(args, f);
  va_copy(again, args);
  std::string text(static_cast<std::size_t>(std::max(0, std::vsnprintf(nullptr, 0, f, args))), 0);
  std::vsnprintf(text.data(), text.size() + 1, f, again);
  va_end(again);
  va_end(args);
  return text;
}

// A table row's arguments, split at blanks.
inline std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

inline std::string hex(std::span<const std::uint8_t> bytes) {
  return hostgen::hex_rows(bytes, 0);
}

// Standard data of length 35: every vendor-specific field is left unread.
inline hostgen::Image volume_std() {
  return StdInquiryBuilder().additional_length(35).build();
}

// Page 0x83 of an [RB] volume (family key "N14") presented through CL1-A.
inline Page83Builder rb_page(int serial, int ldev) {
  return Page83Builder().identifier(format("N14  %08d %05d", serial, ldev)).port_bytes('1', 'a');
}

// Disk `number` whose identity comes from page 0x83 (`page`, or the [RB] page).
inline Json rb_disk(int number, const hostgen::Image& inquiry = volume_std(),
                    const Bytes& page = {}) {
  const hostgen::Image rb = rb_page(12345, 1234).build();
  return Json{
      {"number", number},
      {"inquiry", hex(inquiry)},
      {"pages", {{"83", {{"data", hex(page.empty() ? Bytes(rb.begin(), rb.end()) : page)}}}}}};
}

// The stderr lines of probes of drives that the host does not have, one per name.
inline std::string not_found(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names)
    text += name + " -> OPEN : [2] The system cannot find the file specified.\n";
  return text;
}

// A display name too long for its 256-byte buffer: its first 255 characters and the message.
inline std::string refused(const std::string& name) {
  return format("%s -> %-35s\n", name.substr(0, 255).c_str(), "Device name too long.");
}

inline void expect_run(const RunResult& r, const std::string& out, const std::string& err,
                       int status = 0) {
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.exit_code, status);
}

// A host image in a folder of its own, and runs of voxmira over it with a fresh trace.
class Host {
 public:
  explicit Host(const Json& document) : path_(write_host_image(dir_, document.dump())) {}

  RunResult run(const std::string& args, std::string stdin_text = {}, Env env = {}) const {
    std::filesystem::remove(trace_path());
    Invocation r;
    r.args = words(args);
    r.env = std::move(env);
    r.stdin_text = std::move(stdin_text);
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
