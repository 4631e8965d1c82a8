#include <cerrno>
#include <cstdio>

#include "platform/platform.h"
#include "report/find_commands.h"
#include "report/lookups.h"
#include "report/reports.h"

namespace vox {
namespace {

// Runs the tool with its standard output inherited. Whatever this process has buffered
// goes out first, so the tool's lines appear where they belong. The C runtime's error
// indicator after the call goes to `error`.
int run_tool(const std::string& command, int& error) {
  std::fflush(stdout);
  errno = 0;
  const int status = plat::system(command.c_str());
  error = errno;
  return status;
}

}  // namespace

void run_find_default(const char* name, const DevIdentity& record, unsigned fmt_flags) {
  int error = 0;
  const int status = run_tool(find_command(record, fmt_flags, mu_list_text(record), false), error);
  if (status == 0) {
    std::printf("->%s\n", name);
  } else {
    std::fprintf(stderr, "%s -> No such on the group\n", name);
  }
  if (error != 0) {
    errno = error;
    std::perror("system()");
  }
}

void run_find_cli(const char* name, const DevIdentity& record, unsigned fmt_flags) {
  int error = 0;
  if (run_tool(find_command(record, fmt_flags, mu_list_text(record), true), error) == 0) {
    std::printf("-> %s\n", name);
  }
}

}  // namespace vox
