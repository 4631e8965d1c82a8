#include "driver/finish_run.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/cm_image.h"
#include "driver/dispatch.h"
#include "layout/layout_cmd.h"
#include "report/reports.h"

namespace vox {

namespace {

void print_text(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void hand_entry(WalkWorker worker, RunOptions& options, DeviceSpace& space, SerialNode& node,
                const UnitEntry& entry, TableState& table, LastCounted& last_counted) {
  const char* name = entry.name.c_str();
  const DevIdentity& record = entry.record;
  constexpr int kPresent = 1;
  switch (worker) {
    case WalkWorker::LayoutCommand:
      run_layout_cmd(space, options.layout_cmd, name, record, options.exit_error);
      break;
    case WalkWorker::DefaultReport:
      report_default(name, record, options.find_mode, options.fmt_flags);
      break;
    case WalkWorker::CliReport:
      report_cli(name, record, options.find_mode, options.fmt_flags, table, kPresent);
      break;
    case WalkWorker::CliBitmapReport:
      report_cli_bitmap(name, record, options.find_mode, options.fmt_flags, table, kPresent,
                        node.totals, last_counted);
      break;
    case WalkWorker::CliWwnReport:
      report_cli_wwn(name, record, options.find_mode, options.fmt_flags, table, kPresent,
                     options.cli_kind);
      break;
  }
}

}  // namespace

int end_of_run(RunOptions& options, int cli_mode, SortedUnits& sorted, DeviceSpace& space) {
  if (!options.sort_mode) return options.exit_error;

  const WalkWorker worker = choose_walk_worker(options, cli_mode);
  TableState table;
  LastCounted last_counted;
  int unit = -1;  // arrays printed by -CM, counted from 0
  for (auto& [serial, node] : sorted.serials()) {
    if (!options.cm_image) {
      for (auto& [ldev, entries] : node.groups) {
        for (const UnitEntry& entry : entries) {
          hand_entry(worker, options, space, node, entry, table, last_counted);
        }
      }
      continue;
    }
    const GroupEntries* best = best_command_group(node);
    if (!best) continue;
    if (unit == -1) print_text(cm_image_header());
    ++unit;
    print_text(cm_image_unit(unit, serial, *best));
  }
  if (options.cm_image && unit == -1) return 1;
  return options.exit_error;
}

void finish_run(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::exit(status);
}

}  // namespace vox
