// The generator's command line:
//   hostgen example [-o FILE]
//   hostgen farm ARRAYS LDEVS PATHS [--first-serial N] [--first-disk N] [--no-dos-names] [-o FILE]
// writes the host image to FILE (replaced whole, through a temporary file beside it) or
// to `out`.
#pragma once

#include <cstdio>

namespace vox::hostgen {

// Exit status: 0 written, 1 the file could not be written, 2 bad arguments (one line on
// `err`, then the usage).
int hostgen_main(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

extern const char* const kHostgenUsage;

}  // namespace vox::hostgen
