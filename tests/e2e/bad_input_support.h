// Runs of voxmira over host images made for one kind of bad input each. Whatever the input,
// every run must start and end by itself (no signal) within the harness's time limit.
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <filesystem>
#include <sstream>

#include "e2e/harness.h"
#include "tools/hostgen/host_json.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::e2e::bad_input {

using Env = std::vector<std::pair<std::string, std::string>>;
using Bytes = std::vector<std::uint8_t>;
using hostgen::Json, hostgen::Page83Builder, hostgen::StdInquiryBuilder;
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

inline const auto hex = [](std::span<const std::uint8_t> b) { return hostgen::hex_rows(b, 0); };
// Standard data of length 35: every vendor-specific field is left unread.
inline const hostgen::Image kVolumeStd = StdInquiryBuilder().additional_length(35).build();
// Page 0x83 of an [RB] volume (family key "N14") presented through CL1-A.
inline Page83Builder rb_page(int serial, int ldev) {
  return Page83Builder().identifier(format("N14  %08d %05d", serial, ldev)).port_bytes('1', 'a');
}
// Disk `number`: volume 12345/1234, its identity from page 0x83.
inline Json rb_disk(int number, const hostgen::Image& inquiry = kVolumeStd) {
  const std::string page = hex(rb_page(12345, 1234).build());
  return Json{{"number", number}, {"inquiry", hex(inquiry)}, {"pages", {{"83", {{"data", page}}}}}};
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
  return name.substr(0, 255) + " -> Device name too long.              \n";
}

// True when `text` holds `part`; a failure shows both.
inline testing::AssertionResult holds(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}
inline void expect_run(const RunResult& r, const std::string& out, const std::string& err,
                       int status = 0) {
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, err);
  EXPECT_EQ(r.exit_code, status);
}

// A host image in a folder of its own, and runs of voxmira over it with a fresh trace.
struct Host {
  explicit Host(const std::string& text) : path(write_host_image(dir, text)) {}
  explicit Host(const Json& image) : Host(image.dump()) {}

  RunResult run(const std::string& args, std::string in = {}, Env env = {}) const {
    std::filesystem::remove(dir.file("trace.txt"));
    Invocation r;
    r.args = words(args), r.stdin_text = std::move(in), r.env = std::move(env);
    r.env.insert(r.env.end(), {{"VOXMIRA_HOST", path}, {"VOXMIRA_TRACE", dir.file("trace.txt")}});
    RunResult result = vox::e2e::run(r);
    // The system message of a Windows error report ends in "\r\n" of its own.
    if (wine_mode()) result.err = crlf_to_lf(result.err);
    EXPECT_TRUE(result.exec_error.empty() && result.signal == 0 && !result.timed_out)
        << "did not run to its end by itself: " << result.exec_error;
    return result;
  }
  // The platform calls of the last run, one a line.
  std::string trace() const { return read_output_file(dir.file("trace.txt")); }

  TempDir dir;
  std::string path;
};

}  // namespace vox::e2e::bad_input
