#include "driver/program.h"

#include <vector>

#include "driver/crt_calls.h"
#include "driver/flags.h"
#include "driver/input_loop.h"
#include "driver/options.h"
#include "driver/run_options.h"
#include "driver/sorted_units.h"
#include "platform/platform.h"
#include "platform/win_defs.h"

namespace vox {

namespace {

// Argument 0 can be missing when a program is started with an empty argument vector.
constexpr const char* kProgramName = "voxmira";

}  // namespace

int run_program(int argc, char** argv, std::FILE* in) {
  RunOptions options;
  // A drive without medium or an unreadable device gives an error code, not a dialog.
  plat::SetErrorMode(win::SEM_FAILCRITICALERRORS | win::SEM_NOOPENFILEERRORBOX);
  dvobj_char = env_present("CHG_DVOBJ_CH") ? '%' : '$';
  SortedUnits sorted;
  // For the pair-status tool that the reports start; this program never reads them.
  set_env("VEXAMDSPSIDE", "1");
  set_env("VEXAC_LOG", "STDERROUT");
  std::vector<bool> redirections;
  if (argc > 1) parse_options(argc, argv, options, redirections);
  const char* program = argc > 0 && argv[0] ? argv[0] : kProgramName;
  return run_input_loop(in, program, argc, argv, redirections, options, sorted);
}

}  // namespace vox
