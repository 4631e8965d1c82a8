// The input loop: device words from the arguments or from standard input, expanded into
// devices, each device probed and handed to its consumer.
#pragma once

#include <cstdio>
#include <vector>

#include "devices/device_space.h"
#include "driver/run_options.h"
#include "driver/sorted_units.h"

namespace vox {

// What the loop does with one word of a batch.
enum class WordAction {
  Quit,       // "quit" as the first word: the run ends
  SkipBatch,  // a first word beginning with '#': the rest of the batch is a comment
  SkipWord,   // left out by the name filter, or a stream redirection of the command line
  Expand,     // expanded into devices, starting in `start` with `text`
};

struct WordPlan {
  WordAction action = WordAction::SkipWord;
  WordCursor::State start = WordCursor::NumberStart;
  const char* text = nullptr;  // the word, or the word after its DOS-device prefix
};

// `first`: the word opens its batch (a line, or the arguments). `redirection`: the word
// is a -z argument whose redirection parse_options carried out.
WordPlan plan_word(const char* word, bool first, bool redirection, const char* name_filter,
                   char dvobj);

// Runs the loop to its end (end of input, end of the arguments, or "quit") and returns
// the exit status that end_of_run gives. Words come from `in` when options.read_stdin,
// else from arguments 1 .. argc - 1; `redirections` marks the arguments that were stream
// redirections (see parse_options). `program` is the first entry of every token line.
int run_input_loop(std::FILE* in, const char* program, int argc, char** argv,
                   const std::vector<bool>& redirections, RunOptions& options, SortedUnits& sorted);

}  // namespace vox
