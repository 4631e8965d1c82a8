// The end of a run: the walk of the sorted collection and the exit status.
#pragma once

#include "devices/device_space.h"
#include "driver/run_options.h"
#include "driver/sorted_units.h"

namespace vox {

// Without -sort: options.exit_error. With -sort: walks `sorted` in serial, LDEV and
// arrival order, hands every entry to the worker the options choose (or, with -CM,
// prints the command-device image), and gives the exit status: 1 when -CM printed no
// array, else options.exit_error, which a layout command may raise during the walk.
int end_of_run(RunOptions& options, int cli_mode, SortedUnits& sorted, DeviceSpace& space);

// Writes out stdout and stderr and ends the process with `status`. The only way out of
// the program.
[[noreturn]] void finish_run(int status);

}  // namespace vox
