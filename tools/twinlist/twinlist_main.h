// The pair-status tool as a whole: arguments, host image, answer, exit status.
#pragma once

#include <cstdio>

namespace vox::twinlist {

// Exit status: 0 pairs found, 1 none found (nothing on `out`), 2 bad arguments or a host
// image that is missing or broken (one line on `err`).
int twinlist_main(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace vox::twinlist
