#include "driver/dispatch.h"

namespace vox {

namespace {

constexpr int kGvinfex = 2;
constexpr int kCliBitmap = 4;

}  // namespace

Consumer choose_consumer(const RunOptions& options, int cli_mode, bool found) {
  if (options.sort_mode) return found ? Consumer::SortedInsert : Consumer::None;
  if (options.layout_cmd) return found ? Consumer::LayoutCommand : Consumer::None;
  if (!cli_mode) return found ? Consumer::DefaultReport : Consumer::None;
  // Outside the sorted walk the bitmap form of -CLIB has no totals to keep.
  if (options.cli_kind == 0 || options.cli_kind == kCliBitmap) return Consumer::CliReport;
  return Consumer::CliWwnReport;
}

bool device_fails_run(const RunOptions& options, bool found, bool store_failed) {
  return options.layout_cmd == kGvinfex && (!found || store_failed);
}

WalkWorker choose_walk_worker(const RunOptions& options, int cli_mode) {
  if (options.layout_cmd) return WalkWorker::LayoutCommand;
  if (!cli_mode) return WalkWorker::DefaultReport;
  if (options.cli_kind == 0) return WalkWorker::CliReport;
  if (options.cli_kind == kCliBitmap) return WalkWorker::CliBitmapReport;
  return WalkWorker::CliWwnReport;
}

}  // namespace vox
