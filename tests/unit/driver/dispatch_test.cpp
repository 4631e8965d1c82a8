#include "driver/dispatch.h"

#include <gtest/gtest.h>

#include <string>
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
  using C = Consumer;
  const struct {
    int sort_mode, layout_cmd, cli_mode, cli_kind;
    Consumer found, not_found;
  } cases[] = {
      {1, 0, 0, 0, C::SortedInsert, C::None},
      {1, 2, 1, 3, C::SortedInsert, C::None},
      {0, 1, 0, 0, C::LayoutCommand, C::None},
      {0, 6, 1, 1, C::LayoutCommand, C::None},
      {0, 0, 0, 0, C::DefaultReport, C::None},
      {0, 0, 0, 3, C::DefaultReport, C::None},
      {0, 0, 1, 0, C::CliReport, C::CliReport},
      // -CLIB outside -sort prints the -CLI table.
      {0, 0, 1, 4, C::CliReport, C::CliReport},
      {0, 0, 1, 1, C::CliWwnReport, C::CliWwnReport},
      {0, 0, 1, 2, C::CliWwnReport, C::CliWwnReport},
      {0, 0, 1, 3, C::CliWwnReport, C::CliWwnReport},
  };
  for (const auto& c : cases) {
    const RunOptions o = options_of(c.sort_mode, c.layout_cmd, c.cli_kind);
    const std::string label =
        testing::PrintToString(std::vector<int>{c.sort_mode, c.layout_cmd, c.cli_mode, c.cli_kind});
    EXPECT_EQ(choose_consumer(o, c.cli_mode, true), c.found) << label;
    EXPECT_EQ(choose_consumer(o, c.cli_mode, false), c.not_found) << label;
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
  using W = WalkWorker;
  const struct {
    int layout_cmd, cli_mode, cli_kind;
    WalkWorker worker;
  } cases[] = {
      {3, 1, 4, W::LayoutCommand}, {1, 0, 0, W::LayoutCommand},   {0, 0, 4, W::DefaultReport},
      {0, 1, 0, W::CliReport},     {0, 1, 4, W::CliBitmapReport}, {0, 1, 1, W::CliWwnReport},
      {0, 1, 2, W::CliWwnReport},  {0, 1, 3, W::CliWwnReport},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(choose_walk_worker(options_of(1, c.layout_cmd, c.cli_kind), c.cli_mode), c.worker)
        << c.layout_cmd << c.cli_mode << c.cli_kind;
  }
}

}  // namespace
}  // namespace vox
