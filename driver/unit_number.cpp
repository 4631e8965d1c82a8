#include "driver/unit_number.h"

#include <array>
#include <climits>
#include <cstring>

namespace vox {

namespace {

// Only the head of a word is searched: disk numbers sit near the start of every name
// form, and a pasted line of junk must not be scanned to its end.
constexpr std::size_t kScanChars = 100;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The digit run as a decimal number. The C library's atoi leaves overflow undefined;
// here a run too large for an int gives INT_MAX, as the Windows C library's atoi does,
// so that a huge number never turns into a negative one (-1 would read as "no digit").
int digit_run_value(const char* first, const char* end) {
  long long value = 0;
  for (const char* p = first; p != end; ++p) {
    value = value * 10 + (*p - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

}  // namespace

int parse_unit_number(const char* word, const char** rest, std::string* last_name) {
  std::array<char, kScanChars + 1> copy{};
  std::size_t length = 0;
  while (length < kScanChars && word[length] != '\0') {
    copy[length] = word[length];
    ++length;
  }

  if (rest) *rest = nullptr;
  std::size_t first = 0;
  while (first < length && !is_digit(copy[first])) ++first;
  if (first == length) return -1;
  std::size_t end = first;
  while (end < length && is_digit(copy[end])) ++end;
  // A run that stops inside the copy leaves the rest of the word after it; a run that
  // reaches the end of the copy (the end of the word, or its 100th character) leaves
  // none.
  if (end < length) {
    copy[end] = '\0';
    if (rest) *rest = word + end;
  }

  const int value = digit_run_value(copy.data() + first, copy.data() + end);
  if (last_name) {
    const char* name = std::strrchr(copy.data(), '\\');
    *last_name = name ? name + 1 : copy.data();
  }
  return value;
}

}  // namespace vox
