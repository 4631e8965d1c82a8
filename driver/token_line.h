// Splitting a character stream into lines of blank- or tab-separated words.
#pragma once

#include <cstdio>

namespace vox {

inline constexpr int kTokenLineWords = 100;    // the program path and at most 99 words
inline constexpr int kTokenLineChars = 25600;  // a line holds at most 25598 characters

struct TokenLine {
  int count = 0;                            // entries in words, the program path included
  const char* words[kTokenLineWords] = {};  // [0] program path, [1..count-1] into text
  char text[kTokenLineChars] = {};          // the line with every separator made a string end
};

// Reads one line of `stream` into `line`. Returns false at end of input (also when the
// last line was not ended by a line feed: that line is not processed).
bool read_token_line(std::FILE* stream, const char* program_path, TokenLine& line);

}  // namespace vox
