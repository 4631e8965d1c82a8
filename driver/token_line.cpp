#include "driver/token_line.h"

#include <cerrno>

namespace vox {

namespace {

// EFBIG (27) is the one error a pass tolerates: a file-size warning of the C library
// that does not mean a character was lost.
constexpr int kTolerated = EFBIG;

// A pass that fails on its very first character, this many times in a row, ends the
// input: a stream whose every read fails would otherwise be retried for ever.
constexpr int kMaxEmptyFailedPasses = 8;

bool errno_allows_reading() {
  return errno == 0 || errno == kTolerated;
}

bool is_separator(int c) {
  return c == ' ' || c == '\t';
}

}  // namespace

bool read_token_line(std::FILE* stream, const char* program_path, TokenLine& line) {
  int c = 0;
  int empty_failed_passes = 0;
  // Each pass reads one line. A read error (errno other than 0 and EFBIG) discards what
  // the pass had read, and the next pass starts over with the characters that follow.
  errno = -1;
  while (!errno_allows_reading()) {
    line.count = 1;
    line.words[0] = program_path;
    errno = 0;
    line.text[0] = '\0';
    c = 0;
    int last_separator = 0;
    int i = 1;
    // text[0] stays a string end and text[kTokenLineChars - 1] is kept for the final
    // one, so a line holds at most kTokenLineChars - 2 characters.
    for (; errno_allows_reading() && i < kTokenLineChars - 1; ++i) {
      c = std::getc(stream);
      line.text[i] = static_cast<char>(c);
      if (c == '\n' || c == EOF) break;
      if (is_separator(c)) {
        last_separator = i;
        line.text[i] = '\0';
        if (line.count >= kTokenLineWords) break;
      } else if (i - 1 == last_separator) {
        ++line.count;
        line.words[line.count - 1] = &line.text[i];
      }
    }
    if (errno_allows_reading()) {
      line.text[i] = '\0';
    } else if (c == EOF && i == 1) {
      if (++empty_failed_passes >= kMaxEmptyFailedPasses) break;
    } else {
      empty_failed_passes = 0;
    }
  }
  return c != EOF;
}

}  // namespace vox
