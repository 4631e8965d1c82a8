#include "platform/hostimage/trace_log.h"

#include <cerrno>
#include <cstring>

namespace vox::plat::hostimage {

TraceLog::~TraceLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool TraceLog::open(const std::string& path, std::string& problem) {
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "ab");
  if (f == nullptr) {
    problem = std::strerror(errno);
    return false;
  }
  if (file_ != nullptr) std::fclose(file_);
  file_ = f;
  return true;
}

void TraceLog::line(std::string_view text) {
  if (file_ == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

std::string hex32(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
  return text;
}

}  // namespace vox::plat::hostimage
