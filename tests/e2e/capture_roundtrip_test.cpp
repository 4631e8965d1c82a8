// voxmira-capture end to end: on a host captured from a host image voxmira prints the
// same bytes as on the host itself (the example host, a host of odd answers, a load
// host); an anonymized capture still runs and keeps no serial number, WWN or GUID.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/example_support.h"
#include "tools/hostgen/example_host.h"
#include "tools/hostgen/farm_host.h"
#include "tools/hostgen/host_json.h"
#include "unit/capture/edge_host.h"

namespace vox::e2e::example {
namespace {

// The runs compared, each after the host's disk words (none for the $ words).
const std::vector<std::vector<std::string>> kCommands = {{},
                                                         {"-CLI"},
                                                         {"-CLIW"},
                                                         {"-CLIWP"},
                                                         {"-CLIWN"},
                                                         {"-sort", "-CLIB"},
                                                         {"-sort", "-CM"},
                                                         {"-fr"},
                                                         {"-fe"},
                                                         {"-inqdump"},
                                                         {"-gplba"},
                                                         {"-gplbaex"},
                                                         {"-gplbaex", "-inqdump"},
                                                         {"$LETALL"},
                                                         {"$Phys"},
                                                         {"$Volume", "-fv"}};

RunResult voxmira(const std::vector<std::string>& command, std::vector<std::string> words,
                  const std::string& host) {
  if (!command.empty() && command[0][0] == '$') words.clear();
  words.insert(words.end(), command.begin(), command.end());
  RunResult r = run_example(words, {}, {}, host);
  r.out = without_addresses(r.out);
  return r;
}

RunResult capture(const std::string& host, std::vector<std::string> args = {}) {
  return run(Invocation{"voxmira-capture", std::move(args), {{"VOXMIRA_HOST", host}}, {}, {}});
}

TEST(CaptureRoundTrip, VoxmiraPrintsTheSameOnTheCapture) {
  hostgen::FarmSpec farm;
  farm.arrays = 2, farm.ldevs = 40, farm.paths = 2;
  const struct {
    std::string json;
    std::vector<std::string> words;
    std::string summary;
  } hosts[] = {
      {hostgen::write_host_json(hostgen::make_example_host()),
       {"hd0-31"},
       "captured 16 drives, 10 volumes, 35 names, 2 errors\n"},
      {capture::test::edge_host_json(),
       {"hd0-31", "hd88-92", "hd198-230"},
       "captured 9 drives, 3 volumes, 7 names, 6 errors\n"},
      {hostgen::write_host_json(hostgen::make_farm_host(farm)),
       {"hd0-170"},
       "captured 100 drives so far\ncaptured 160 drives, 0 volumes, 160 names, 0 errors\n"},
  };
  for (const auto& h : hosts) {
    TempDir dir;
    const std::string original = dir.write("host.json", h.json);
    const RunResult c = capture(original);
    ASSERT_EQ(c.exit_code, 0) << c.err;
    EXPECT_EQ(c.err, h.summary);
    const std::string copy = dir.write("captured.json", c.out);
    // Through Wine every run takes a second or two: there the Windows build must write
    // the very image the native build writes, and two runs show that it loads.
    std::size_t runs = kCommands.size();
    if (wine_mode()) {
      Command native;
      native.argv = {std::string(VOX_BINARY_DIR) + "/voxmira-capture"};
      native.env = base_environment();
      native.env.push_back("VOXMIRA_HOST=" + original);
      EXPECT_EQ(c.out, run_command(native).out);
      runs = 2;
    }
    for (std::size_t k = 0; k < runs; ++k) {
      const RunResult want = voxmira(kCommands[k], h.words, original);
      const RunResult got = voxmira(kCommands[k], h.words, copy);
      EXPECT_EQ(got.exit_code, want.exit_code) << h.summary << k;
      EXPECT_EQ(got.out, want.out) << h.summary << k;
      EXPECT_EQ(got.err, want.err) << h.summary << k;
    }
  }
}

// The values of column `k` of a table's rows (its header and "-" left out).
std::set<std::string> column(const std::string& table, std::size_t k) {
  std::set<std::string> values;
  std::istringstream lines(table);
  std::string line, word;
  for (std::getline(lines, line); std::getline(lines, line);) {
    std::istringstream words(line);
    for (std::size_t i = 0; i <= k && words >> word; ++i)
      if (i == k && word != "-") values.insert(word);
  }
  return values;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(CaptureRoundTrip, AnonymizedCaptureKeepsNothingThatNamesTheSite) {
  TempDir dir;
  const std::string example = hostgen::write_host_json(hostgen::make_example_host());
  const std::string original = dir.write("host.json", example);
  const RunResult c = capture(original, {"--anonymize"});
  ASSERT_EQ(c.exit_code, 0) << c.err;
  EXPECT_EQ(c.err,
            "captured 16 drives, 10 volumes, 35 names, 2 errors\n"
            "anonymized 7 serial numbers, 10 WWNs, 14 GUIDs, 8 disk signatures\n");
  const std::string anonymized = dir.write("anonymized.json", c.out);
  const std::vector<std::string> words = {"hd0-31"};

  // The reports agree but for the serial numbers.
  const std::regex serial(R"(Ser =\s*\d+)");
  const RunResult want = voxmira({}, words, original), got = voxmira({}, words, anonymized);
  EXPECT_EQ(got.exit_code, want.exit_code);
  EXPECT_EQ(std::regex_replace(got.out, serial, "Ser = #"),
            std::regex_replace(want.out, serial, "Ser = #"));
  EXPECT_EQ(got.err, want.err);

  // No serial number, no WWN (in the hex data of the image as one run of digits, row
  // breaks and blanks taken out), no GUID.
  const std::string data = std::regex_replace(lower(c.out), std::regex(R"(\\n| )"), "");
  const std::set<std::string> serials = column(voxmira({"-CLI"}, words, original).out, 2);
  const std::set<std::string> stand_ins = column(voxmira({"-CLI"}, words, anonymized).out, 2);
  ASSERT_EQ(serials.size(), 6u);  // the seventh stands only in a vendor page
  EXPECT_EQ(stand_ins.size(), 6u);
  for (const std::string& s : serials) EXPECT_EQ(stand_ins.count(s), 0u) << s;
  std::set<std::string> wwns = column(voxmira({"-CLIWP"}, words, original).out, 1);
  for (const std::string& w : column(voxmira({"-CLIWN"}, words, original).out, 1)) wwns.insert(w);
  ASSERT_GE(wwns.size(), 3u);
  for (const std::string& w : wwns) EXPECT_EQ(data.find(w), std::string::npos) << w;
  const std::regex guid(R"([0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12})");
  const std::string types =
      "ebd0a0a2-b9e5-4433-87c0-68b6b72699c7 e3c9e316-0b5c-4db8-817d-f92df00215ae";
  const std::string text = lower(example);
  int guids = 0;
  for (std::sregex_iterator it(text.begin(), text.end(), guid), end; it != end; ++it) {
    if (types.find(it->str()) != std::string::npos) continue;
    ++guids;
    EXPECT_EQ(lower(c.out).find(it->str()), std::string::npos) << it->str();
  }
  EXPECT_GE(guids, 14);
}

}  // namespace
}  // namespace vox::e2e::example
