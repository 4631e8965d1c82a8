// voxmira-capture end to end: a host captured from a host image makes voxmira print
// the same bytes as the host itself, for the example host, a host of odd answers and a
// load host; an anonymized capture still runs and keeps no serial number, WWN, GUID or
// disk signature of the host.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
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

// The runs compared; "WORDS" stands for the disk words of the host.
const std::vector<std::vector<std::string>> kCommands = {{"WORDS"},
                                                         {"WORDS", "-CLI"},
                                                         {"WORDS", "-CLIW"},
                                                         {"WORDS", "-CLIWP"},
                                                         {"WORDS", "-CLIWN"},
                                                         {"WORDS", "-sort", "-CLIB"},
                                                         {"WORDS", "-sort", "-CM"},
                                                         {"WORDS", "-fr"},
                                                         {"WORDS", "-fe"},
                                                         {"WORDS", "-inqdump"},
                                                         {"$LETALL"},
                                                         {"$Phys"},
                                                         {"$Volume", "-fv"},
                                                         {"WORDS", "-gplba"},
                                                         {"WORDS", "-gplbaex"},
                                                         {"WORDS", "-gplbaex", "-inqdump"}};

struct Host {
  const char* name;
  std::string json;
  std::vector<std::string> words;
  std::string summary;  // the capture's standard error
};

std::vector<Host> hosts() {
  hostgen::FarmSpec farm;
  farm.arrays = 2;
  farm.ldevs = 40;
  farm.paths = 2;
  return {
      {"example",
       hostgen::write_host_json(hostgen::make_example_host()),
       {"hd0-31"},
       "captured 16 drives, 10 volumes, 35 names, 2 errors\n"},
      {"edge",
       capture::test::edge_host_json(),
       {"hd0-31", "hd88-92", "hd198-230"},
       "captured 9 drives, 3 volumes, 7 names, 6 errors\n"},
      {"farm",
       hostgen::write_host_json(hostgen::make_farm_host(farm)),
       {"hd0-170"},
       "captured 100 drives so far\ncaptured 160 drives, 0 volumes, 160 names, 0 errors\n"},
  };
}

RunResult capture(const std::string& host, std::vector<std::string> args = {}) {
  Invocation r;
  r.program = "voxmira-capture";
  r.args = std::move(args);
  r.env = {{"VOXMIRA_HOST", host}};
  return run(r);
}

RunResult voxmira(const std::vector<std::string>& command, const std::vector<std::string>& words,
                  const std::string& host) {
  std::vector<std::string> args;
  for (const std::string& a : command) {
    if (a == "WORDS") {
      args.insert(args.end(), words.begin(), words.end());
    } else {
      args.push_back(a);
    }
  }
  RunResult r = run_example(args, {}, {}, host);
  r.out = without_addresses(r.out);
  return r;
}

TEST(CaptureRoundTrip, VoxmiraPrintsTheSameOnTheCapture) {
  for (const Host& h : hosts()) {
    TempDir dir;
    const std::string original = dir.write("host.json", h.json);
    const RunResult c = capture(original);
    ASSERT_EQ(c.exit_code, 0) << h.name << c.err;
    EXPECT_EQ(c.err, h.summary) << h.name;
    const std::string copy = dir.write("captured.json", c.out);
    // Through Wine every run takes a second or two: there the Windows build must write
    // the very image the native build writes, and two runs show that it loads.
    std::size_t runs = kCommands.size();
    if (wine_mode()) {
      Command native;
      native.argv = {std::string(VOX_BINARY_DIR) + "/voxmira-capture"};
      native.env = base_environment();
      native.env.push_back("VOXMIRA_HOST=" + original);
      const RunResult n = run_command(native);
      EXPECT_EQ(c.out, n.out) << h.name;
      runs = 2;
    }
    for (std::size_t k = 0; k < runs; ++k) {
      const auto& command = kCommands[k];
      const RunResult want = voxmira(command, h.words, original);
      const RunResult got = voxmira(command, h.words, copy);
      const std::string what = std::string(h.name) + ": " + command.front() + " " + command.back();
      EXPECT_EQ(got.exit_code, want.exit_code) << what;
      EXPECT_EQ(got.out, want.out) << what;
      EXPECT_EQ(got.err, want.err) << what;
    }
  }
}

// Every hex text of a host image decoded, as one hex string, values apart.
std::string hex_blob(const nlohmann::json& v) {
  if (v.is_object() || v.is_array()) {
    std::string all;
    for (const auto& item : v) all += hex_blob(item);
    return all;
  }
  if (!v.is_string()) return {};
  static const std::regex hex_text(R"(([0-9a-fA-F]{2}\s*)+)");
  const std::string s = v.get<std::string>();
  if (!std::regex_match(s, hex_text)) return {};
  return std::regex_replace(s, std::regex(R"(\s+)"), "") + "|";
}

std::string ascii_hex(const std::string& text) {
  std::string out;
  char b[3];
  for (unsigned char c : text) {
    std::snprintf(b, sizeof b, "%02x", c);
    out += b;
  }
  return out;
}

// The values of column `k` of the table rows of `text` (the header and "-" left out).
std::set<std::string> column(const std::string& text, std::size_t k) {
  std::set<std::string> values;
  std::istringstream lines(text);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string w;
    for (std::size_t i = 0; i <= k && words >> w; ++i) {
      if (i == k && w != "-") values.insert(w);
    }
  }
  return values;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(CaptureRoundTrip, AnonymizedCaptureKeepsNothingThatNamesTheSite) {
  TempDir dir;
  const std::string example = hosts().front().json;
  const std::string original = dir.write("host.json", example);
  const RunResult c = capture(original, {"--anonymize"});
  ASSERT_EQ(c.exit_code, 0) << c.err;
  EXPECT_EQ(c.err,
            "captured 16 drives, 10 volumes, 35 names, 2 errors\n"
            "anonymized 7 serial numbers, 10 WWNs, 14 GUIDs, 8 disk signatures\n");
  const std::string anonymized = dir.write("anonymized.json", c.out);

  // The reports agree but for the serial numbers.
  const std::regex serial(R"(Ser =\s*\d+)");
  const RunResult want = voxmira({"WORDS"}, {"hd0-31"}, original);
  const RunResult got = voxmira({"WORDS"}, {"hd0-31"}, anonymized);
  EXPECT_EQ(got.exit_code, want.exit_code);
  EXPECT_EQ(std::regex_replace(got.out, serial, "Ser = #"),
            std::regex_replace(want.out, serial, "Ser = #"));
  EXPECT_EQ(got.err, want.err);

  // No serial number, in any of its notations, and no WWN.
  const nlohmann::json doc = nlohmann::json::parse(c.out);
  const std::string blob = lower(hex_blob(doc));
  const std::set<std::string> serials =
      column(voxmira({"WORDS", "-CLI"}, {"hd0-31"}, original).out, 2);
  const std::set<std::string> stand_ins =
      column(voxmira({"WORDS", "-CLI"}, {"hd0-31"}, anonymized).out, 2);
  ASSERT_FALSE(serials.empty());
  EXPECT_EQ(stand_ins.size(), serials.size());
  for (const std::string& s : serials) {
    EXPECT_EQ(stand_ins.count(s), 0u) << s;
    char text[16];
    std::snprintf(text, sizeof text, "%08ld", std::stol(s));
    EXPECT_EQ(blob.find(ascii_hex(text)), std::string::npos) << text;
    std::snprintf(text, sizeof text, "%lX", std::stol(s) % 0x100000);
    if (std::strlen(text) >= 4) {
      EXPECT_EQ(blob.find(ascii_hex(text)), std::string::npos) << text;
    }
  }
  std::set<std::string> wwns = column(voxmira({"WORDS", "-CLIWP"}, {"hd0-31"}, original).out, 1);
  for (const std::string& w : column(voxmira({"WORDS", "-CLIWN"}, {"hd0-31"}, original).out, 1))
    wwns.insert(w);
  ASSERT_GE(wwns.size(), 3u);
  for (const std::string& w : wwns) EXPECT_EQ(blob.find(lower(w)), std::string::npos) << w;

  // No GUID, no disk signature.
  const std::regex guid(
      R"([0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12})");
  const std::string types =
      "ebd0a0a2-b9e5-4433-87c0-68b6b72699c7 e3c9e316-0b5c-4db8-817d-f92df00215ae";
  std::set<std::string> guids;
  for (auto it = std::sregex_iterator(example.begin(), example.end(), guid);
       it != std::sregex_iterator(); ++it) {
    if (types.find(lower(it->str())) == std::string::npos) guids.insert(lower(it->str()));
  }
  ASSERT_GE(guids.size(), 5u);
  for (const std::string& g : guids) EXPECT_EQ(lower(c.out).find(g), std::string::npos) << g;
  std::set<std::uint32_t> signatures;
  const hostgen::Json example_doc = hostgen::host_document(hostgen::make_example_host());
  for (const auto& d : example_doc["disks"]) {
    if (d.contains("layout") && d["layout"].contains("signature")) {
      signatures.insert(static_cast<std::uint32_t>(
          std::stoul(d["layout"]["signature"].get<std::string>(), nullptr, 16)));
    }
  }
  ASSERT_GE(signatures.size(), 5u);
  for (const auto& d : doc["disks"]) {
    if (d.contains("layout") && d["layout"].contains("signature")) {
      EXPECT_EQ(signatures.count(d["layout"]["signature"].get<std::uint32_t>()), 0u);
    }
  }
}

}  // namespace
}  // namespace vox::e2e::example
