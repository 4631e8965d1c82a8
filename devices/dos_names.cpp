#include "devices/dos_names.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "devices/dos_query.h"
#include "driver/flags.h"
#include "platform/platform.h"
#include "platform/win_defs.h"
#include "transport/win_error.h"

namespace vox {

std::size_t parse_list_base_size(const char* text) {
  if (text == nullptr) return kDefaultDosListBytes;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::size_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + static_cast<std::size_t>(*p - '0');
    if (value > kMaxDosListBytes) value = kMaxDosListBytes;  // saturates, never wraps
  }
  if (negative || value == 0) return kDefaultDosListBytes;
  return value;
}

std::size_t read_list_base_size() {
  char small[32];
  const std::uint32_t n = plat::GetEnvironmentVariableA("QRY_BUF_SZ", small, sizeof small);
  if (n == 0) return parse_list_base_size(nullptr);
  if (n < sizeof small) return parse_list_base_size(small);
  // Longer than any sensible number (leading blanks or zeros): read it whole.
  std::string text(n, '\0');
  const std::uint32_t got = plat::GetEnvironmentVariableA("QRY_BUF_SZ", text.data(), n);
  if (got == 0 || got >= n) return parse_list_base_size(nullptr);
  return parse_list_base_size(text.c_str());
}

std::size_t list_attempt_size(std::size_t base, std::size_t k) {
  if (base == 0 || k == 0 || k > kMaxDosListBytes / base) return 0;
  return base * k;
}

bool DosNameList::build(std::size_t base, ListAllocator allocate) {
  data_.reset();
  size_ = 0;
  for (std::size_t k = 1;; ++k) {
    const std::size_t total = list_attempt_size(base, k);
    if (total == 0) {
      plat::SetLastError(win::ERROR_NOT_ENOUGH_MEMORY);
      break;
    }
    if (total < 2) continue;  // no room for the two string ends around the list
    std::unique_ptr<char, Free> buffer(static_cast<char*>(allocate(total)));
    if (!buffer) {
      plat::SetLastError(win::ERROR_NOT_ENOUGH_MEMORY);
      break;
    }
    const std::uint32_t stored =
        query_dos_device(nullptr, buffer.get() + 1, static_cast<std::uint32_t>(total - 2));
    if (stored != 0) {
      buffer.get()[0] = '\0';
      buffer.get()[total - 1] = '\0';
      data_ = std::move(buffer);
      size_ = total;
      return true;
    }
    if (plat::GetLastError() != win::ERROR_INSUFFICIENT_BUFFER) break;
  }
  if (!cli_mode) report_win_error("QueryDosDevice");
  return false;
}

std::size_t DosNameList::next(std::size_t offset) const {
  if (offset >= size_) return size_;
  const char* base = data_.get();
  const void* end = std::memchr(base + offset, '\0', size_ - offset);
  // The last byte is a string end, so `end` is always found.
  const std::size_t after = static_cast<std::size_t>(static_cast<const char*>(end) - base) + 1;
  if (after >= size_ || base[after] == '\0') return size_;
  return after;
}

std::string_view DosNameList::at(std::size_t offset) const {
  if (offset >= size_) return {};
  const char* p = data_.get() + offset;
  const void* end = std::memchr(p, '\0', size_ - offset);
  return {p, static_cast<std::size_t>(static_cast<const char*>(end) - p)};
}

}  // namespace vox
