#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <optional>

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

std::string numbered(int from, int to, const char* sep) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "w" + std::to_string(i) + (i < to ? sep : "");
  return s;
}

TEST(ReadTokenLine, SplitsStreamsIntoLinesOfWords) {
  const std::string a(25598, 'a'), w99 = numbered(1, 99, "|") + "\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"hd1\nhd2", "hd1\n"},           // a last line without line feed is not processed
      {"a\vb\fc\r\n", "a\vb\fc\r\n"},  // only blanks and tabs separate
      {"ab\0cd ef\n"s, "ab|ef\n"},
      {numbered(1, 99, " ") + " \nz\n", w99 + "\nz\n"},
      {std::string(51200, 'a') + "\tb\n", a + "\n" + a + "\naaaa|b\n"}};
  for (const auto& [input, lines] : cases) {
    std::FILE* f = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), f);
    std::rewind(f);
    EXPECT_EQ(read_all(f), lines) << input.substr(0, 40);
    std::fclose(f);
  }
}

#ifdef __GLIBC__
// A stream whose reads follow a script of {data, errno}: a negative errno fails the read with
// its opposite. After the script: the end, or with `fail_forever` EIO on every read.
struct Script {
  std::vector<std::pair<std::string, int>> steps;
  bool fail_forever = false;
  std::size_t next = 0;
  int reads_after_end = 0;
};

ssize_t scripted_read(void* cookie, char* buffer, std::size_t size) {
  auto* s = static_cast<Script*>(cookie);
  if (s->next >= s->steps.size()) {
    if (++s->reads_after_end > 1000 || !s->fail_forever) return 0;
    return errno = EIO, -1;
  }
  const auto& [data, error] = s->steps[s->next++];
  if (error < 0) return errno = -error, -1;
  if (error) errno = error;
  return static_cast<ssize_t>(data.copy(buffer, size));
}

TEST(ReadTokenLine, ReadErrorsDiscardThePartialLine) {
  const std::pair<std::string, int> eio{"", -EIO};
  const std::pair<Script, std::string> cases[] = {
      {{{{"ab cd", 0}, eio, {"ef\n", 0}}}, "ef\n"},
      {{{{"a\n", 0}, eio, {"b\n", 0}}}, "a\nb\n"},
      {{{{"xy z\n", EIO}}}, "y|z\n"},  // errno is looked at even after a good read
      {{{{"xy z\n", EFBIG}}}, "xy|z\n"},
      {{{{"ab", 0}, {"", -EFBIG}, {"cd\n", 0}}}, ""},  // EFBIG ends the input
      {{{eio, eio, eio, eio, eio, eio, eio, {"q\n", 0}}}, "q\n"},
      {{{{"a b", 0}}, true}, ""}};
  for (auto [script, lines] : cases) {
    std::FILE* f = fopencookie(&script, "r", cookie_io_functions_t{scripted_read, {}, {}, {}});
    EXPECT_EQ(read_all(f), lines) << lines;
    std::fclose(f);
    EXPECT_LT(script.reads_after_end, 20);
  }
}
#endif

TEST(ParseUnitNumber, FindsTheFirstDigitRunRestAndLastName) {
  const std::string x99(99, 'x'), x100(100, 'x');
  const struct {
    std::string word;
    int value;
    const char* rest;                 // null: no rest
    std::optional<std::string> last;  // checked when given
  } cases[] = {{"hd0-10", 0, "-10", "hd0"},
               {"\\Device\\Harddisk3\\Partition1", 3, "\\Partition1", "Harddisk3"},
               {"+12a", 12, "a", "+12"},
               {"", -1, nullptr, {}},
               {"ends\\with\\", -1, nullptr, {}},
               // Only the first 100 characters are searched; the last name is cut there too.
               {x99 + "5", 5, nullptr, x99 + "5"},
               {x100 + "5", -1, nullptr, {}},
               {x99 + "56", 5, nullptr, {}},
               {x99.substr(1) + "5x", 5, "x", {}},
               {"\\" + std::string(98, 'a') + "1234", 1, nullptr, std::string(98, 'a') + "1"},
               // Runs too large for an int give INT_MAX.
               {"2147483648", INT_MAX, nullptr, "2147483648"},
               {"hd" + std::string(50, '9') + "-1", INT_MAX, "-1", {}},
               {std::string(40, '0') + "42", 42, nullptr, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word.substr(0, 40));
    const char* rest = "untouched";
    std::string last = "untouched";
    EXPECT_EQ(parse_unit_number(c.word.c_str(), &rest, &last), c.value);
    if (c.rest) {  // a position in the word given, not in a copy
      ASSERT_TRUE(rest >= c.word.c_str() && rest <= c.word.c_str() + c.word.size());
      EXPECT_STREQ(rest, c.rest);
    } else {
      EXPECT_EQ(rest, nullptr);
    }
    if (c.last || c.value == -1) {
      EXPECT_EQ(last, c.last.value_or("untouched"));
    }
  }
  EXPECT_EQ(parse_unit_number("a\\hd4-6"), 4);  // the outputs are optional
}

}  // namespace
}  // namespace vox
