// The DOS device name list: read once with QueryDosDevice, then walked in memory.
//
// Layout of the buffer (S x k bytes): byte 0 is a string end, so that a walk can start
// at offset 0 and step to the first name; from byte 1 the names as Windows lists them,
// each string-terminated, closed by an empty name; the last byte is a string end. An
// offset into the buffer names a list entry; no read ever reaches offset size().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace vox {

// Base size S when QRY_BUF_SZ is absent, empty, not a number, 0 or negative.
inline constexpr std::size_t kDefaultDosListBytes = 16384;
// Largest list buffer: its size minus 2 is handed to the platform as a 32-bit count.
inline constexpr std::size_t kMaxDosListBytes = 0xFFFFFFFFu;

// S from the text of QRY_BUF_SZ (null when absent): a decimal integer read like atoi
// (leading blanks, a sign, digits up to the first non-digit). Values above
// kMaxDosListBytes are lowered to it.
std::size_t parse_list_base_size(const char* text);
// S from the environment variable QRY_BUF_SZ.
std::size_t read_list_base_size();

// Buffer size S x k of attempt k (1, 2, ...), or 0 when it would pass kMaxDosListBytes.
std::size_t list_attempt_size(std::size_t base, std::size_t k);

// Allocates n zeroed bytes (released with std::free), or returns null.
using ListAllocator = void* (*)(std::size_t n);
inline void* zeroed_alloc(std::size_t n) {
  return std::calloc(n, 1);
}

class DosNameList {
 public:
  bool built() const { return data_ != nullptr; }
  std::size_t size() const { return size_; }

  // Builds the list with buffers of base x 1, base x 2, ... bytes until the list fits.
  // On failure (a Windows error other than a too small buffer, no memory, or a size past
  // kMaxDosListBytes) reports report_win_error("QueryDosDevice") unless cli_mode and
  // returns false; a later call tries again.
  bool build(std::size_t base, ListAllocator allocate = zeroed_alloc);

  // Offset of the entry after the one at `offset` (0: the first entry), or size() when
  // the list has ended (the closing empty name, or the end of the buffer).
  std::size_t next(std::size_t offset) const;
  // The entry at `offset` (empty past the end).
  std::string_view at(std::size_t offset) const;

 private:
  struct Free {
    void operator()(char* p) const { std::free(p); }
  };
  std::unique_ptr<char, Free> data_;
  std::size_t size_ = 0;
};

}  // namespace vox
