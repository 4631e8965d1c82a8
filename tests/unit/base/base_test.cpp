#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include "driver/token_line.h"
#include "driver/unit_number.h"

namespace vox {
namespace {

using namespace std::string_literals;

// Every line read until the end of input: words joined by '|', each line ended by '\n'.
std::string read_all(std::FILE* f) {
  std::string out;
  auto line = std::make_unique<TokenLine>();
  for (int n = 0; n < 1000 && read_token_line(f, "prog", *line); ++n) {
    EXPECT_STREQ(line->words[0], "prog");
    for (int i = 1; i < line->count; ++i) out += (i > 1 ? "|"s : ""s) + line->words[i];
    out += '\n';
  }
  return out;
}

#ifdef __GLIBC__
// A stream whose reads follow a script of {data, errno}: a negative errno fails the read with
// its opposite; data is handed out in pieces the size of the reader's buffer. After the
// script: the end, or with `fail_forever` EIO on every read.
struct Script {
  std::vector<std::pair<std::string, int>> steps;
  bool fail_forever = false;
  std::size_t next = 0, offset = 0;
  int reads_after_end = 0;
};

ssize_t scripted_read(void* cookie, char* buffer, std::size_t size) {
  auto* s = static_cast<Script*>(cookie);
  if (s->next >= s->steps.size()) {
    if (++s->reads_after_end > 1000 || !s->fail_forever) return 0;
    return errno = EIO, -1;
  }
  const auto& [data, error] = s->steps[s->next];
  if (error < 0) return ++s->next, errno = -error, -1;
  const std::size_t n = data.copy(buffer, size, s->offset);
  if ((s->offset += n) >= data.size()) ++s->next, s->offset = 0;
  if (error) errno = error;
  return static_cast<ssize_t>(n);
}

TEST(ReadTokenLine, SplitsStreamsIntoLinesOfWords) {
  const std::string a(25598, 'a');
  std::string w99, bars;  // 99 words and a blank; the words as read
  for (int i = 1; i <= 99; ++i) w99 += "w" + std::to_string(i) + " ";
  bars = w99.substr(0, w99.size() - 1), std::replace(bars.begin(), bars.end(), ' ', '|');
  const std::pair<std::string, int> eio{"", -EIO};
  const std::pair<Script, std::string> cases[] = {
      {{{{"", 0}}}, ""},
      {{{{"hd1\nhd2", 0}}}, "hd1\n"},           // a last line without line feed is dropped
      {{{{"a\vb\fc\r\n", 0}}}, "a\vb\fc\r\n"},  // only blanks and tabs separate
      {{{{"ab\0cd ef\n"s, 0}}}, "ab|ef\n"},
      {{{{w99 + "\nz\n", 0}}}, bars + "\n\nz\n"},  // at most 99 words to a line
      {{{{std::string(51200, 'a') + "\tb\n", 0}}}, a + "\n" + a + "\naaaa|b\n"},
      // A read error discards the partial line; errno is looked at even after a good read.
      {{{{"ab cd", 0}, eio, {"ef\n", 0}}}, "ef\n"},
      {{{{"a\n", 0}, eio, {"b\n", 0}}}, "a\nb\n"},
      {{{{"xy z\n", EIO}}}, "y|z\n"},
      {{{{"xy z\n", EFBIG}}}, "xy|z\n"},
      {{{{"ab", 0}, {"", -EFBIG}, {"cd\n", 0}}}, ""},  // EFBIG ends the input
      {{{eio, eio, eio, eio, eio, eio, eio, {"q\n", 0}}}, "q\n"},
      {{{{"a b", 0}}, true}, ""}};
  for (auto [script, lines] : cases) {
    std::FILE* f = fopencookie(&script, "r", cookie_io_functions_t{scripted_read, {}, {}, {}});
    EXPECT_EQ(read_all(f), lines) << lines.substr(0, 40);
    std::fclose(f);
    EXPECT_LT(script.reads_after_end, 20);
  }
}
#endif

// "<value> <rest or -> <last name>" of a word; the rest must point into the word itself.
std::string unit_number(const std::string& word) {
  const char* rest = nullptr;
  std::string last = "?";
  const int value = parse_unit_number(word.c_str(), &rest, &last);
  EXPECT_TRUE(!rest || (rest >= word.c_str() && rest <= word.c_str() + word.size()));
  return std::to_string(value) + " " + (rest ? rest : "-") + " " + last;
}

TEST(ParseUnitNumber, FindsTheFirstDigitRunRestAndLastName) {
  const std::string x99(99, 'x'), a98(98, 'a');
  const std::pair<std::string, std::string> cases[] = {
      {"hd0-10", "0 -10 hd0"},
      {"\\Device\\Harddisk3\\Partition1", "3 \\Partition1 Harddisk3"},
      {"+12a", "12 a +12"},
      {"", "-1 - ?"},
      {"ends\\with\\", "-1 - ?"},
      // Only the first 100 characters are searched; the last name is cut there too.
      {x99 + "5", "5 - " + x99 + "5"},
      {x99 + "x5", "-1 - ?"},
      {x99 + "56", "5 - " + x99 + "5"},
      {x99.substr(1) + "5x", "5 x " + x99.substr(1) + "5"},
      {"\\" + a98 + "1234", "1 - " + a98 + "1"},
      // Runs too large for an int give INT_MAX.
      {"2147483648", "2147483647 - 2147483648"},
      {"hd" + std::string(50, '9') + "-1", "2147483647 -1 hd" + std::string(50, '9')},
      {std::string(40, '0') + "42", "42 - " + std::string(40, '0') + "42"}};
  for (const auto& [word, parsed] : cases) EXPECT_EQ(unit_number(word), parsed) << word;
  EXPECT_EQ(parse_unit_number("a\\hd4-6"), 4);  // the outputs are optional
}

}  // namespace
}  // namespace vox
