// Which consumer takes a probed device: decided from the run's options alone.
#pragma once

#include "driver/run_options.h"

namespace vox {

// The consumers of one device of the input loop.
enum class Consumer {
  None,           // nothing happens for this device
  SortedInsert,   // -sort: kept for the end of the run
  LayoutCommand,  // -gvinf, -svinf ... : run_layout_cmd
  DefaultReport,  // report_default
  CliReport,      // report_cli (-CLI, and -CLIB outside -sort)
  CliWwnReport,   // report_cli_wwn (-CLIW, -CLIWP, -CLIWN)
};

// The modes are tested in the order -sort, layout command, cli_mode; the CLI tables
// also take the devices that could not be identified (`found` false), every other
// consumer only identified ones.
Consumer choose_consumer(const RunOptions& options, int cli_mode, bool found);

// Under -gvinfex every device must be saved: one that could not be identified, or not
// stored for the sorted walk, fails the run.
bool device_fails_run(const RunOptions& options, bool found, bool store_failed);

// The workers of the sorted walk at the end of a -sort run.
enum class WalkWorker {
  LayoutCommand,
  DefaultReport,
  CliReport,
  CliBitmapReport,  // -sort -CLIB
  CliWwnReport,
};

WalkWorker choose_walk_worker(const RunOptions& options, int cli_mode);

}  // namespace vox
