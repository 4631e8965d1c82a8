// The unit number inside a device word or a Windows device path.
#pragma once

#include <string>

namespace vox {

// The value of the first run of decimal digits within the first 100 characters of
// `word`, or -1 when there is none. `rest` (optional) receives the position in `word`
// just after that run, or null when the run ends the word. `last_name` (optional)
// receives the last backslash-separated component of the word cut after the run.
int parse_unit_number(const char* word, const char** rest = nullptr,
                      std::string* last_name = nullptr);

}  // namespace vox
