// The pair-status stand-in: its command line, the pairs entry of a host image, its answers,
// and the whole program with host image, exit status and both streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>

#include "tools/twinlist/answer.h"
#include "tools/twinlist/twinlist_main.h"

namespace vox::twinlist {
namespace {

using nlohmann::json;

// The words of a command line.
std::vector<const char*> words(const char* line) {
  static std::deque<std::string> kept;  // the words outlive the call
  std::vector<const char*> out;
  for (std::istringstream in(line); in >> kept.emplace_back();) out.push_back(kept.back().c_str());
  return out;
}

TEST(TwinlistQuery, Refused) {
  const char* const cases[][2] = {
      {"", "-d SERIAL LDEV or -g GROUP is needed"},
      {"-d", "-d needs a serial number and an LDEV number"},
      {"-d x 1", "bad serial number: x"},
      {"-d 1 12z", "bad LDEV number: 12z"},
      {"-d 1 0x", "bad LDEV number: 0x"},
      {"-d 2147483648 1", "bad serial number: 2147483648"},
      {"-d 1 99999999999999999999999", "bad LDEV number: 99999999999999999999999"},
      {"-d 1 2 64", "unknown option: 64"},
      {"-g", "-g needs a group name"},
      {"-d 1 2 -fdd", "unknown option: -fdd"},
  };
  for (const auto& [args, message] : cases) {
    Query q;
    std::string error;
    EXPECT_FALSE(parse_query(words(args), q, error));
    EXPECT_EQ(error, message);
  }
}

const char* const kImage = R"({"pairs": [
  {"group": "VG1", "copy": "remote", "volumes": [
    {"name": "vol1", "mu": 0, "sides": [
      {"serial": 64015, "ldev": 1234, "device": "Harddisk1", "role": "P-VOL", "state": "PAIR"},
      {"serial": 64016, "ldev": 2000, "device": "Harddisk5", "role": "S-VOL", "state": "PAIR"}]},
    {"name": "vol2", "mu": 1, "sides": [
      {"serial": 64015, "ldev": 1235, "device": "Harddisk2", "role": "P-VOL", "state": "COPY"},
      {"serial": 64016, "ldev": 2001, "role": "S-VOL", "state": "COPY",
       "partner": {"serial": 64015, "ldev": 1299}}]}]},
  {"group": "DUP", "volumes": [{"name": "a", "sides": [
    {"serial": 1, "ldev": 2}, {"serial": null, "device": null, "partner": null}]}]},
  {"group": "DUP", "copy": "local", "volumes": [{"name": "b", "mu": 63, "sides": [
    {"serial": 5, "ldev": 6}, {"ldev": 3, "partner": {}}]}]},
  {"group": "EMPTY"}
]})";

TEST(TwinlistAnswer, PairLines) {
  std::vector<PairGroup> groups;
  std::string error;
  ASSERT_TRUE(load_pairs(json::parse(kImage), groups, error)) << error;
  using enum CopyKind;
  const std::string fd =
      "Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n";
  const std::string lt = "Group PairVol L/R MU Serial LDEV P/S Status P-Serial P-LDEV Copy\n";
  const struct {
    CopyKind instance;
    const char* args;
    std::string text;  // empty: nothing found
  } cases[] = {
      {remote, "-d 1 2 3 -d 64015 0x4D2 00 -fd -CLI",  // the last -d holds
       fd + "VG1 vol1 L Harddisk1 64015 1234 P-VOL PAIR remote 64016 2000 0\n"
            "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234 0\n"},
      {remote, "-d 64015 1235 1 -fd -CLI",
       fd + "VG1 vol2 L Harddisk2 64015 1235 P-VOL COPY remote 64016 2001 1\n"
            "VG1 vol2 R - 64016 2001 S-VOL COPY remote 64015 1299 1\n"},  // named partner
      {remote, "-l -fdx -d 64016 2001 -fd -CLI",
       fd + "VG1 vol2 L - 64016 7D1 S-VOL COPY remote 64015 513 1\n"  // asked side: first, kept
            "VG1 vol2 R Harddisk2 64015 4D3 P-VOL COPY remote 64016 7D1 1\n"},
      {remote, "-g DUP -CLI",
       "Group PairVol L/R Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
       "DUP a L 1 2 - - remote - - 0\nDUP a R - - - - remote - - 0\n" +  // defaults, nulls
           lt +
           "DUP b L 63 5 6 - - - 3 local\nDUP b R 63 - 3 - - - - local\n"},
      {remote, "-d 64015 1234 1", ""},       // not that MU
      {remote, "-d 5 6", ""},                // a local copy
      {remote, "-d 64015 9999", ""},         // no such volume
      {remote, "-g VG9", ""},                // no such group
      {remote, "-g DUP -d 64015 1234", ""},  // in another group
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    Query q;
    ASSERT_TRUE(parse_query(words(c.args), q, error)) << error;
    const Answer a = answer_query(groups, q, c.instance);
    EXPECT_EQ(a.text, c.text);
    EXPECT_EQ(a.found, !c.text.empty());
  }
}

std::string contents(std::FILE* f) {
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  return text;
}

TEST(TwinlistProgram, StatusAndStreams) {
  auto image = [](const char* name, const char* text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
  };
  const std::string broken = image("twinlist_broken.json", "{\"pairs\": ["),
                    bad = image("twinlist_bad.json",
                                R"({"pairs": [{"group": "G", "copy": "mirror"}]})"),
                    empty = image("twinlist_empty.json", R"({"disks": []})"),
                    missing = testing::TempDir() + "twinlist_missing.json";
  const char* lookup = "-d 64015 1234 2 -fd -CLI";
  const struct {
    const char* host;  // null: VOXMIRA_HOST unset
    const char* args;
    int status;
    std::string out, err;
  } cases[] = {
      {nullptr, "-h", 0, kUsage, ""},
      {nullptr, lookup, 2, "", "twinlist: VOXMIRA_HOST does not name a host image\n"},
      {missing.c_str(), lookup, 2, "", "twinlist: " + missing + ": cannot be read\n"},
      {broken.c_str(), lookup, 2, "", "twinlist: " + broken + ": not valid JSON\n"},
      {bad.c_str(), lookup, 2, "",
       "twinlist: " + bad + ": pairs[0].copy: \"remote\" or \"local\" expected\n"},
      {nullptr, "-x", 2, "", "twinlist: unknown option: -x (twinlist -h for help)\n"},
      {empty.c_str(), lookup, 1, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    c.host ? setenv("VOXMIRA_HOST", c.host, 1) : unsetenv("VOXMIRA_HOST");
    std::vector<const char*> argv = words((std::string("twinlist ") + c.args).c_str());
    std::FILE *out = std::tmpfile(), *err = std::tmpfile();
    EXPECT_EQ(twinlist_main(static_cast<int>(argv.size()), argv.data(), out, err), c.status);
    EXPECT_EQ(contents(out), c.out);
    EXPECT_EQ(contents(err), c.err);
  }
  unsetenv("VOXMIRA_HOST");
}

}  // namespace
}  // namespace vox::twinlist
