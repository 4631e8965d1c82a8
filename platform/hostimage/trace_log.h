// The trace of a host image: one line per platform call, appended to the file that
// VOXMIRA_TRACE names and flushed at once, so that a test sees what the program asked
// of the host even when the program is ended abruptly.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace vox::plat::hostimage {

class TraceLog {
 public:
  TraceLog() = default;
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;
  ~TraceLog();

  // Opens `path` for appending; false with the reason when it cannot be opened.
  bool open(const std::string& path, std::string& problem);
  bool enabled() const { return file_ != nullptr; }
  // Appends `text` and a line feed.
  void line(std::string_view text);

 private:
  std::FILE* file_ = nullptr;
};

// "0x%08x".
std::string hex32(std::uint32_t value);

}  // namespace vox::plat::hostimage
