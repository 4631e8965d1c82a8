#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "driver/flags.h"
#include "driver/input_loop.h"
#include "platform/platform.h"
#include "support/fake_backend.h"

namespace vox {
namespace {

struct Row {
  std::string text;
  long long serial;
  long long ldev;
};

// The rows of a -CLI table whose device was identified (SERIAL and LDEV are numbers).
std::vector<Row> cli_rows(const std::string& out) {
  std::vector<Row> rows;
  std::istringstream lines(out);
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name, port, serial, ldev;
    fields >> name >> port >> serial >> ldev;
    if (serial == "-") continue;
    rows.push_back({line, std::stoll(serial), std::stoll(ldev)});
  }
  return rows;
}

std::string run_cli(bool sorted_run) {
  std::FILE* in = std::tmpfile();
  std::fputs("hd0-31\n", in);
  std::rewind(in);
  RunOptions o;
  o.sort_mode = sorted_run ? 1 : 0;
  SortedUnits sorted;
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_input_loop(in, "voxmira", 1, nullptr, {}, o, sorted), 0);
  std::fflush(stdout);
  std::fclose(in);
  return testing::internal::GetCapturedStdout();
}

// The sorted walk prints exactly the rows of the unsorted run, in serial and LDEV order,
// paths to one LDEV in probe order.
TEST(SortedWalk, PrintsTheRowsOfTheUnsortedRunInSerialAndLdevOrder) {
  ::setenv("VOXMIRA_HOST", VOX_SOURCE_DIR "/examples/host.json", 1);
  ASSERT_TRUE(plat::init_from_environment());
  ::unsetenv("VOXMIRA_HOST");
  cli_mode = 1;
  std::vector<Row> expected = cli_rows(run_cli(false));
  const std::vector<Row> got = cli_rows(run_cli(true));
  cli_mode = 0;
  plat::set_backend(std::make_unique<test::FakeBackend>());

  ASSERT_GE(expected.size(), 3u);
  std::stable_sort(expected.begin(), expected.end(), [](const Row& a, const Row& b) {
    return a.serial != b.serial ? a.serial < b.serial : a.ldev < b.ldev;
  });
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].text, expected[i].text) << i;
}

}  // namespace
}  // namespace vox
