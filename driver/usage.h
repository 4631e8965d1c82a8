// The usage text of -h.
#pragma once

#include <string>

namespace vox {

// The 42 lines of the usage text, each ended by a line feed. `program` is argument 0 as
// given; `dvobj` is the DOS-device prefix character the examples show.
std::string usage_text(const char* program, char dvobj);

// Writes usage_text(program, dvobj_char) to stdout.
void print_usage(const char* program);

}  // namespace vox
