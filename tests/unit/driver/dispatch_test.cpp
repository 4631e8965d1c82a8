#include "driver/dispatch.h"

#include <gtest/gtest.h>

#include <vector>

namespace vox {
namespace {

RunOptions options_of(int sort_mode, int layout_cmd, int cli_kind) {
  RunOptions o;
  o.sort_mode = sort_mode;
  o.layout_cmd = layout_cmd;
  o.cli_kind = cli_kind;
  return o;
}

TEST(ChooseConsumer, ModesAreTestedSortLayoutCliInThatOrder) {
  const struct {
    int sort_mode, layout_cmd, cli_mode, cli_kind;
    Consumer found, not_found;
  } cases[] = {
      {1, 0, 0, 0, Consumer::SortedInsert, Consumer::None},
      {1, 2, 1, 3, Consumer::SortedInsert, Consumer::None},
      {1, 5, 0, 0, Consumer::SortedInsert, Consumer::None},
      {0, 1, 0, 0, Consumer::LayoutCommand, Consumer::None},
      {0, 6, 1, 1, Consumer::LayoutCommand, Consumer::None},
      {0, 0, 0, 0, Consumer::DefaultReport, Consumer::None},
      {0, 0, 0, 3, Consumer::DefaultReport, Consumer::None},
      {0, 0, 1, 0, Consumer::CliReport, Consumer::CliReport},
      // -CLIB outside -sort prints the -CLI table.
      {0, 0, 1, 4, Consumer::CliReport, Consumer::CliReport},
      {0, 0, 1, 1, Consumer::CliWwnReport, Consumer::CliWwnReport},
      {0, 0, 1, 2, Consumer::CliWwnReport, Consumer::CliWwnReport},
      {0, 0, 1, 3, Consumer::CliWwnReport, Consumer::CliWwnReport},
  };
  for (const auto& c : cases) {
    const RunOptions o = options_of(c.sort_mode, c.layout_cmd, c.cli_kind);
    EXPECT_EQ(choose_consumer(o, c.cli_mode, true), c.found)
        << c.sort_mode << c.layout_cmd << c.cli_mode << c.cli_kind;
    EXPECT_EQ(choose_consumer(o, c.cli_mode, false), c.not_found)
        << c.sort_mode << c.layout_cmd << c.cli_mode << c.cli_kind;
  }
}

TEST(DeviceFailsRun, OnlyGvinfexCountsMissingDevices) {
  const struct {
    int layout_cmd;
    bool found, store_failed, fails;
  } cases[] = {
      {2, false, false, true},  {2, true, true, true},    {2, true, false, false},
      {1, false, false, false}, {1, true, true, false},   {0, false, false, false},
      {6, false, true, false},  {4, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(device_fails_run(options_of(0, c.layout_cmd, 0), c.found, c.store_failed), c.fails)
        << c.layout_cmd << c.found << c.store_failed;
  }
}

TEST(ChooseWalkWorker, LayoutThenDefaultThenCliKind) {
  const struct {
    int layout_cmd, cli_mode, cli_kind;
    WalkWorker worker;
  } cases[] = {
      {3, 1, 4, WalkWorker::LayoutCommand},   {1, 0, 0, WalkWorker::LayoutCommand},
      {0, 0, 4, WalkWorker::DefaultReport},   {0, 1, 0, WalkWorker::CliReport},
      {0, 1, 4, WalkWorker::CliBitmapReport}, {0, 1, 1, WalkWorker::CliWwnReport},
      {0, 1, 2, WalkWorker::CliWwnReport},    {0, 1, 3, WalkWorker::CliWwnReport},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(choose_walk_worker(options_of(1, c.layout_cmd, c.cli_kind), c.cli_mode), c.worker)
        << c.layout_cmd << c.cli_mode << c.cli_kind;
  }
}

}  // namespace
}  // namespace vox
