// The Windows error report: "%s : [%d] %s" on stderr with the system text.
#pragma once

namespace vox {

// Prints the last Windows error of the thread. Callers test cli_mode first.
void report_win_error(const char* title);

}  // namespace vox
