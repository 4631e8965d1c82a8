// The unit number of any word: the input is the word (cut at its first string end).
//
// Checked against a plain reading of the same rule: the first digit run within the
// first 100 characters, its value saturated at INT_MAX, -1 without one; `rest` just
// after the run when the run stops inside those 100 characters, else null; the last
// name a tail of the word cut after the run.
#include <climits>
#include <cstring>
#include <string>

#include "driver/unit_number.h"
#include "fuzz_input.h"

namespace {

struct Expected {
  int value = -1;
  std::size_t rest = 0;  // 0: none
  std::size_t end = 0;   // the run's end within the scanned head
};

Expected plain_reading(const std::string& word) {
  const std::size_t head = word.size() < 100 ? word.size() : 100;
  Expected e;
  std::size_t i = 0;
  while (i < head && (word[i] < '0' || word[i] > '9')) ++i;
  if (i == head) return e;
  long long value = 0;
  std::size_t j = i;
  for (; j < head && word[j] >= '0' && word[j] <= '9'; ++j) {
    if (value <= INT_MAX) value = value * 10 + (word[j] - '0');
  }
  e.value = value > INT_MAX ? INT_MAX : static_cast<int>(value);
  e.rest = j < head ? j : 0;
  e.end = j;
  return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The word as the loop hands it over: a string of its own, nothing readable after it.
  const std::string word(reinterpret_cast<const char*>(data),
                         strnlen(reinterpret_cast<const char*>(data), size));
  const Expected e = plain_reading(word);

  const char* rest = reinterpret_cast<const char*>(1);
  std::string last_name = "untouched";
  const int value = vox::parse_unit_number(word.c_str(), &rest, &last_name);
  VOX_FUZZ_CHECK(value == e.value);
  VOX_FUZZ_CHECK(vox::parse_unit_number(word.c_str()) == value);
  if (value == -1) {
    VOX_FUZZ_CHECK(rest == nullptr);
    return 0;
  }
  VOX_FUZZ_CHECK(e.rest == 0 ? rest == nullptr : rest == word.c_str() + e.rest);
  // The last name: what follows the last backslash of the word cut after the run.
  const std::string cut = word.substr(0, e.end);
  const std::size_t slash = cut.rfind('\\');
  VOX_FUZZ_CHECK(last_name == (slash == std::string::npos ? cut : cut.substr(slash + 1)));
  return 0;
}
