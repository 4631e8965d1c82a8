// voxmira-capture end to end: on a host captured from a host image voxmira prints the
// same bytes as on the host itself (the example host, a host of odd answers, a load
// host); an anonymized capture still runs and keeps no serial number.
#include <regex>
#include <string>
#include <vector>

#include "e2e/example_support.h"
#include "tools/hostgen/example_host.h"
#include "tools/hostgen/farm_host.h"
#include "tools/hostgen/host_json.h"
#include "unit/capture/edge_host.h"

namespace vox::e2e::example {
namespace {

// voxmira with the options of `command` after the host's disk words (none for a $ word).
RunResult voxmira(const std::string& command, const std::string& disks, const std::string& host) {
  RunResult r = run_example((command.starts_with("$") ? "" : disks) + " " + command, {}, {}, host);
  r.out = without_addresses(r.out);
  return r;
}

RunResult capture(const std::string& host, std::vector<std::string> args = {}) {
  return run(Invocation{"voxmira-capture", std::move(args), {{"VOXMIRA_HOST", host}}, {}, {}});
}

TEST(CaptureRoundTrip, VoxmiraPrintsTheSameOnTheCapture) {
  const std::vector<std::string> commands = {
      "",      "-CLI",       "-CLIW",    "-CLIWP", "-CLIWN",   "-sort -CLIB",       "-sort -CM",
      "-fr",   "-fe",        "-inqdump", "-gplba", "-gplbaex", "-gplbaex -inqdump", "$LETALL",
      "$Phys", "$Volume -fv"};
  const struct {
    std::string json, words, summary;
  } hosts[] = {
      {hostgen::write_host_json(hostgen::make_example_host()), "hd0-31",
       "captured 16 drives, 10 volumes, 35 names, 2 errors\n"},
      {capture::test::edge_host_json(), "hd0-31 hd88-92 hd198-230",
       "captured 9 drives, 3 volumes, 7 names, 6 errors\n"},
      {hostgen::write_host_json(hostgen::make_farm_host({.arrays = 2, .ldevs = 40, .paths = 2})),
       "hd0-170",
       "captured 100 drives so far\ncaptured 160 drives, 0 volumes, 160 names, 0 errors\n"},
  };
  for (const auto& h : hosts) {
    SCOPED_TRACE(h.summary);
    TempDir dir;
    const std::string original = dir.write("host.json", h.json);
    const RunResult c = capture(original);
    ASSERT_EQ(c.exit_code, 0) << c.err;
    EXPECT_EQ(c.err, h.summary);
    const std::string copy = dir.write("captured.json", c.out);
    // Through Wine every run takes a second or two: there the Windows build must write the
    // very image the native build writes, and two runs show that it loads.
    std::size_t runs = commands.size();
    if (wine_mode()) {
      EXPECT_EQ(c.out, run_native({"voxmira-capture", {}, {{"VOXMIRA_HOST", original}}}).out);
      runs = 2;
    }
    for (std::size_t k = 0; k < runs; ++k) {
      SCOPED_TRACE(commands[k]);
      const RunResult want = voxmira(commands[k], h.words, original);
      expect_run(voxmira(commands[k], h.words, copy), want.out, want.err, want.exit_code);
    }
  }
}

TEST(CaptureRoundTrip, AnonymizedCaptureKeepsNoSerialNumber) {
  const RunResult c = capture(example_host(), {"--anonymize"});
  ASSERT_EQ(c.exit_code, 0) << c.err;
  EXPECT_EQ(c.err,
            "captured 16 drives, 10 volumes, 35 names, 2 errors\n"
            "anonymized 7 serial numbers, 10 WWNs, 14 GUIDs, 8 disk signatures\n");
  TempDir dir;
  const std::string anonymized = dir.write("anonymized.json", c.out);
  // The reports agree but for the serial numbers, and none of those is left.
  const std::regex serial(R"(Ser =\s*(\d+))");
  const RunResult want = voxmira("", "hd0-31", example_host());
  RunResult got = voxmira("", "hd0-31", anonymized);
  for (std::sregex_iterator it(want.out.begin(), want.out.end(), serial), end; it != end; ++it)
    EXPECT_EQ(got.out.find(it->str()), std::string::npos) << it->str();
  got.out = std::regex_replace(got.out, serial, "Ser = #");
  expect_run(got, std::regex_replace(want.out, serial, "Ser = #"), want.err, want.exit_code);
}

}  // namespace
}  // namespace vox::e2e::example
