// Reading the command line into RunOptions and the process-wide flags.
#pragma once

#include <vector>

#include "driver/run_options.h"

namespace vox {

// Applies the letters of an -f word (the text after "-f") to `options`.
void apply_format_letters(const char* letters, RunOptions& options);

// Reads arguments 1 .. argc - 1 once, left to right, into `options`, cli_mode and
// inqdump_mode. May print the usage text (-h, h) and redirect the standard streams
// (-z0, -z1, -z2 with "="; such an argument is cut at its "=" in place). Never stops
// the program. `redirections` receives argc entries: true for each argument that was a
// stream redirection (an "=" was found, whether or not the open succeeded).
void parse_options(int argc, char** argv, RunOptions& options, std::vector<bool>& redirections);

}  // namespace vox
