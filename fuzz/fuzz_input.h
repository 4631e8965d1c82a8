// Taking a fuzz input apart: control bytes first, then length-prefixed fields. Every
// read is clamped to what is left, so any input (the empty one included) splits into
// fields, and a field that runs out is simply shorter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "inquiry/dev_identity.h"

namespace vox::fuzz {

using Bytes = std::vector<std::uint8_t>;

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // The next byte, 0 past the end.
  std::uint8_t u8() { return at_ < size_ ? data_[at_++] : 0; }
  // A little-endian 16-bit value.
  std::uint16_t u16() {
    const std::uint8_t low = u8();
    return static_cast<std::uint16_t>(low | u8() << 8);
  }
  std::uint32_t u32() {
    const std::uint16_t low = u16();
    return static_cast<std::uint32_t>(low | static_cast<std::uint32_t>(u16()) << 16);
  }
  // The next `count` bytes, or as many as are left.
  Bytes bytes(std::size_t count) {
    const std::size_t n = count < size_ - at_ ? count : size_ - at_;
    Bytes out(data_ + at_, data_ + at_ + n);
    at_ += n;
    return out;
  }
  // A field: a 16-bit length, then that many bytes.
  Bytes field() { return bytes(u16()); }
  // Everything that is left.
  Bytes rest() { return bytes(size_ - at_); }
  std::string rest_text() {
    const Bytes b = rest();
    return std::string(b.begin(), b.end());
  }
  bool empty() const { return at_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A read-only stream over `text`, as a pipe or a file would hand it over. `text` must
// outlive the stream.
inline std::FILE* stream_over(std::string& text) {
  if (text.empty()) return std::fopen("/dev/null", "r");
  return fmemopen(text.data(), text.size(), "r");
}

// Everything printed on stdout while it lives, in memory instead of on the real stream.
class CapturedStdout {
 public:
  CapturedStdout() {
    std::fflush(stdout);
    saved_ = stdout;
    memory_ = open_memstream(&buffer_, &length_);
    if (memory_ != nullptr) stdout = memory_;
  }
  CapturedStdout(const CapturedStdout&) = delete;
  CapturedStdout& operator=(const CapturedStdout&) = delete;
  ~CapturedStdout() {
    if (memory_ == nullptr) return;
    stdout = saved_;
    std::fclose(memory_);
    std::free(buffer_);
  }
  std::string text() {
    if (memory_ == nullptr) return {};
    std::fflush(memory_);
    return std::string(buffer_, length_);
  }

 private:
  std::FILE* saved_ = nullptr;
  std::FILE* memory_ = nullptr;
  char* buffer_ = nullptr;
  std::size_t length_ = 0;
};

// Layout files named in the folder "T:" (through TEMP), for LLVMFuzzerInitialize.
inline int use_layout_folder_t() {
  setenv("VEXAM_USE_TEMP", "", 1);
  setenv("TEMP", "T:", 1);
  return 0;
}

// The identity record of an OPEN-V volume on `dev_path`, as the layout commands take it.
inline DevIdentity layout_identity(const char* dev_path, std::int32_t serial, std::int32_t ldev) {
  DevIdentity identity;
  std::strncpy(identity.dev_path, dev_path, sizeof identity.dev_path - 1);
  std::strcpy(identity.product_id, "OPEN-V");
  identity.serial = serial;
  identity.ldev = ldev;
  return identity;
}

// A broken promise: the target's own check of what the code under test guarantees.
// Aborting makes libFuzzer keep the input as a crash.
#define VOX_FUZZ_CHECK(cond)                                                        \
  do {                                                                              \
    if (!(cond)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)

}  // namespace vox::fuzz
