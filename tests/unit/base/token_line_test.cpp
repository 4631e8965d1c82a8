#include "driver/token_line.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace vox {
namespace {

using Words = std::vector<std::string>;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File stream_of(const std::string& bytes) {
  std::FILE* f = std::tmpfile();
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
  }
  return File(f);
}

Words words_of(const TokenLine& line) {
  Words words;
  for (int i = 1; i < line.count; ++i) words.emplace_back(line.words[i]);
  return words;
}

// Every line the reader returns, until it reports the end of input.
std::vector<Words> read_all(std::FILE* f) {
  std::vector<Words> lines;
  auto line = std::make_unique<TokenLine>();
  while (read_token_line(f, "prog", *line)) {
    EXPECT_STREQ(line->words[0], "prog");
    lines.push_back(words_of(*line));
    if (lines.size() > 1000) break;
  }
  return lines;
}

std::string numbered_words(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += "w" + std::to_string(i) + (i < n ? " " : "");
  return s;
}

Words numbered_list(int from, int to) {
  Words w;
  for (int i = from; i <= to; ++i) w.push_back("w" + std::to_string(i));
  return w;
}

struct Case {
  const char* label;
  std::string input;
  std::vector<Words> lines;
};

TEST(ReadTokenLine, SplitsStreamsIntoLinesOfWords) {
  using namespace std::string_literals;
  const std::vector<Case> cases = {
      {"two words", "hd1 hd2\n", {{"hd1", "hd2"}}},
      {"empty input", "", {}},
      {"blanks and tabs only", " \t  \t\n", {{}}},
      {"empty line", "\n", {{}}},
      {"separator runs make no empty words", "\t a  \t\tb \n", {{"a", "b"}}},
      {"last line without line feed is dropped", "hd1\nhd2", {{"hd1"}}},
      {"single line without line feed", "hd1 hd2", {}},
      {"several lines", "a b\n\nc\n", {{"a", "b"}, {}, {"c"}}},
      {"carriage return stays in the word", "hd1\r\n", {{"hd1\r"}}},
      {"other white space is no separator", "a\vb\fc\n", {{"a\vb\fc"}}},
      {"NUL byte ends the word it is in", "ab\0cd ef\n"s, {{"ab", "ef"}}},
      {"NUL byte that starts a word gives an empty word", "\0x y\n"s, {{"", "y"}}},
      {"high bytes are ordinary characters", "\xff\xfe a\n", {{"\xff\xfe", "a"}}},
      {"99 words fit one line", numbered_words(99) + "\n", {numbered_list(1, 99)}},
      {"a 100th word goes to the next line",
       numbered_words(100) + "\n",
       {numbered_list(1, 99), numbered_list(100, 100)}},
      {"150 words", numbered_words(150) + "\n", {numbered_list(1, 99), numbered_list(100, 150)}},
      {"99 words and a trailing blank",
       numbered_words(99) + " \nz\n",
       {numbered_list(1, 99), {}, {"z"}}},
      {"250 words",
       numbered_words(250) + "\n",
       {numbered_list(1, 99), numbered_list(100, 198), numbered_list(199, 250)}},
  };
  for (const Case& c : cases) {
    File f = stream_of(c.input);
    ASSERT_TRUE(f);
    EXPECT_EQ(read_all(f.get()), c.lines) << c.label;
  }
}

TEST(ReadTokenLine, LongLinesAreCutAfter25598Characters) {
  const struct {
    std::size_t length;
    std::vector<Words> lines;
  } cases[] = {
      {25597, {{std::string(25597, 'a')}}},
      // The line feed after 25598 characters is read by the next call: an empty line.
      {25598, {{std::string(25598, 'a')}, {}}},
      {25599, {{std::string(25598, 'a')}, {"a"}}},
      {25600 * 2, {{std::string(25598, 'a')}, {std::string(25598, 'a')}, {"aaaa"}}},
  };
  for (const auto& c : cases) {
    File f = stream_of(std::string(c.length, 'a') + "\n");
    ASSERT_TRUE(f);
    EXPECT_EQ(read_all(f.get()), c.lines) << c.length;
  }
}

TEST(ReadTokenLine, WordsPointIntoTheLineAndEndInStringEnds) {
  File f = stream_of("ab\tcd\n");
  auto line = std::make_unique<TokenLine>();
  ASSERT_TRUE(read_token_line(f.get(), "/bin/voxmira", *line));
  ASSERT_EQ(line->count, 3);
  EXPECT_STREQ(line->words[0], "/bin/voxmira");
  EXPECT_EQ(line->words[1], &line->text[1]);
  EXPECT_EQ(line->words[2], &line->text[4]);
  EXPECT_EQ(std::string(line->text, 7), std::string("\0ab\0cd\0", 7));
}

TEST(ReadTokenLine, ReusedLineForgetsThePreviousWords) {
  File f = stream_of("a b c d\nx\n");
  auto line = std::make_unique<TokenLine>();
  ASSERT_TRUE(read_token_line(f.get(), "p", *line));
  ASSERT_TRUE(read_token_line(f.get(), "p", *line));
  EXPECT_EQ(line->count, 2);
  EXPECT_EQ(words_of(*line), Words{"x"});
  EXPECT_FALSE(read_token_line(f.get(), "p", *line));
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

File scripted_stream(Script& script) {
  cookie_io_functions_t io{};
  io.read = scripted_read;
  return File(fopencookie(&script, "r", io));
}

TEST(ReadTokenLine, ReadErrorsDiscardThePartialLine) {
  const struct {
    const char* label;
    std::vector<ReadStep> steps;
    std::vector<Words> lines;
  } cases[] = {
      {"error inside a line", {{"ab cd", 0, false}, {"", EIO, true}, {"ef\n", 0, false}}, {{"ef"}}},
      {"error at the start of a line", {{"", EIO, true}, {"hd1\n", 0, false}}, {{"hd1"}}},
      {"error between lines",
       {{"a\n", 0, false}, {"", EIO, true}, {"b\n", 0, false}},
       {{"a"}, {"b"}}},
      {"errno set while data arrives restarts after that character",
       {{"xy z\n", EIO, false}},
       {{"y", "z"}}},
      {"EFBIG while data arrives is tolerated", {{"xy z\n", EFBIG, false}}, {{"xy", "z"}}},
      {"a failed read with EFBIG ends the input",
       {{"ab", 0, false}, {"", EFBIG, true}, {"cd\n", 0, false}},
       {}},
      {"seven failures in a row are retried",
       {{"", EIO, true},
        {"", EIO, true},
        {"", EIO, true},
        {"", EIO, true},
        {"", EIO, true},
        {"", EIO, true},
        {"", EIO, true},
        {"q\n", 0, false}},
       {{"q"}}},
  };
  for (const auto& c : cases) {
    Script script{c.steps};
    File f = scripted_stream(script);
    ASSERT_TRUE(f);
    EXPECT_EQ(read_all(f.get()), c.lines) << c.label;
  }
}

TEST(ReadTokenLine, StreamThatAlwaysFailsEndsTheInput) {
  Script script{{{"a b", 0, false}}, 0, true};
  File f = scripted_stream(script);
  ASSERT_TRUE(f);
  auto line = std::make_unique<TokenLine>();
  EXPECT_FALSE(read_token_line(f.get(), "p", *line));
  EXPECT_LT(script.reads_after_end, 20);
}
#endif

}  // namespace
}  // namespace vox
