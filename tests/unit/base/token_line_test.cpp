#include "driver/token_line.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace vox {
namespace {

// Every line the reader returns until it reports the end of input: the words of a line
// joined by '|', each line ended by '\n'.
std::string read_all(std::FILE* f) {
  std::string out;
  auto line = std::make_unique<TokenLine>();
  for (int n = 0; n < 1000 && read_token_line(f, "prog", *line); ++n) {
    EXPECT_STREQ(line->words[0], "prog");
    for (int i = 1; i < line->count; ++i) out += std::string(i > 1 ? "|" : "") + line->words[i];
    out += '\n';
  }
  return out;
}

std::string read_all(const std::string& bytes) {
  std::FILE* f = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  std::string out = read_all(f);
  std::fclose(f);
  return out;
}

// "w<from> ... w<to>" joined by `separator`.
std::string numbered(int from, int to, const char* separator) {
  std::string s;
  for (int i = from; i <= to; ++i) s += "w" + std::to_string(i) + (i < to ? separator : "");
  return s;
}

TEST(ReadTokenLine, SplitsStreamsIntoLinesOfWords) {
  using namespace std::string_literals;
  const std::string a25598(25598, 'a');
  const struct {
    std::string input;
    std::string lines;
  } cases[] = {
      {"hd1 hd2\n", "hd1|hd2\n"},
      {"", ""},
      {" \t  \t\n", "\n"},
      {"\t a  \t\tb \n", "a|b\n"},
      // A last line without line feed is not processed.
      {"hd1\nhd2", "hd1\n"},
      {"hd1 hd2", ""},
      {"a b\n\nc\n", "a|b\n\nc\n"},
      {"hd1\r\n", "hd1\r\n"},
      {"a\vb\fc\n", "a\vb\fc\n"},
      {"ab\0cd ef\n"s, "ab|ef\n"},
      {"\0x y\n"s, "|y\n"},
      {"\xff\xfe a\n", "\xff\xfe|a\n"},
      // At most 99 words: the rest of the physical line is read as a line of its own.
      {numbered(1, 99, " ") + "\n", numbered(1, 99, "|") + "\n"},
      {numbered(1, 100, " ") + "\n", numbered(1, 99, "|") + "\nw100\n"},
      {numbered(1, 150, "\t") + "\n", numbered(1, 99, "|") + "\n" + numbered(100, 150, "|") + "\n"},
      {numbered(1, 99, " ") + " \nz\n", numbered(1, 99, "|") + "\n\nz\n"},
      // At most 25598 characters; the line feed after them starts the next line.
      {std::string(25597, 'a') + "\n", std::string(25597, 'a') + "\n"},
      {a25598 + "\n", a25598 + "\n\n"},
      {a25598 + "a\n", a25598 + "\na\n"},
      {std::string(51200, 'a') + "\n", a25598 + "\n" + a25598 + "\naaaa\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(read_all(c.input), c.lines) << c.input.substr(0, 40);
}

#ifdef __GLIBC__
// A stream whose reads follow a script: data, or a failure with an errno value, or data
// delivered while errno is left set. After the script the stream ends, or, with
// `fail_forever`, every further read fails.
struct ReadStep {
  std::string data;
  int error = 0;
  bool fails = false;
};

struct Script {
  std::vector<ReadStep> steps;
  std::size_t next = 0;
  bool fail_forever = false;
  int reads_after_end = 0;
};

ssize_t scripted_read(void* cookie, char* buffer, std::size_t size) {
  auto* s = static_cast<Script*>(cookie);
  if (s->next >= s->steps.size()) {
    ++s->reads_after_end;
    if (s->reads_after_end > 1000) return 0;  // a reader that would never stop
    if (!s->fail_forever) return 0;
    errno = EIO;
    return -1;
  }
  const ReadStep& step = s->steps[s->next++];
  if (step.fails) {
    errno = step.error;
    return -1;
  }
  const std::size_t n = std::min(size, step.data.size());
  step.data.copy(buffer, n);
  if (step.error) errno = step.error;
  return static_cast<ssize_t>(n);
}

std::string read_scripted(Script& script) {
  cookie_io_functions_t io{};
  io.read = scripted_read;
  std::FILE* f = fopencookie(&script, "r", io);
  std::string out = read_all(f);
  std::fclose(f);
  return out;
}

TEST(ReadTokenLine, ReadErrorsDiscardThePartialLine) {
  const ReadStep eio{"", EIO, true};
  const struct {
    std::vector<ReadStep> steps;
    std::string lines;
  } cases[] = {
      {{{"ab cd"}, eio, {"ef\n"}}, "ef\n"},
      {{eio, {"hd1\n"}}, "hd1\n"},
      {{{"a\n"}, eio, {"b\n"}}, "a\nb\n"},
      // errno is looked at after every character, also when the read succeeded.
      {{{"xy z\n", EIO}}, "y|z\n"},
      {{{"xy z\n", EFBIG}}, "xy|z\n"},
      // A failed read with EFBIG is the end of the input.
      {{{"ab"}, {"", EFBIG, true}, {"cd\n"}}, ""},
      {{eio, eio, eio, eio, eio, eio, eio, {"q\n"}}, "q\n"},
  };
  for (const auto& c : cases) {
    Script script{c.steps};
    EXPECT_EQ(read_scripted(script), c.lines) << c.lines;
  }
}

TEST(ReadTokenLine, StreamThatAlwaysFailsEndsTheInput) {
  Script script{{{"a b"}}, 0, true};
  EXPECT_EQ(read_scripted(script), "");
  EXPECT_LT(script.reads_after_end, 20);
}
#endif

}  // namespace
}  // namespace vox
