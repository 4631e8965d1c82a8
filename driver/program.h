// The tool from its arguments to its exit status.
#pragma once

#include <cstdio>

namespace vox {

// The start-up steps in their order (error mode, DOS-device prefix, empty sorted
// collection, environment for child processes, options), then the input loop on `in`.
// Returns the exit status. The platform backend must already be chosen.
int run_program(int argc, char** argv, std::FILE* in);

}  // namespace vox
