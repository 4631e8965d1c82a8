#include "tools/twinlist/answer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/twinlist/twinlist_main.h"

namespace vox::twinlist {
namespace {

const char* const kImage = R"({"pairs": [
  {"group": "VG1", "copy": "remote", "volumes": [
    {"name": "vol1", "mu": 0, "sides": [
      {"serial": 64015, "ldev": 1234, "device": "Harddisk1", "role": "P-VOL", "state": "PAIR"},
      {"serial": 64016, "ldev": 2000, "device": "Harddisk5", "role": "S-VOL", "state": "PAIR"}]},
    {"name": "vol2", "mu": 1, "sides": [
      {"serial": 64015, "ldev": 1235, "device": "Harddisk2", "role": "P-VOL", "state": "COPY"},
      {"serial": 64016, "ldev": 2001, "role": "S-VOL", "state": "COPY",
       "partner": {"serial": 64015, "ldev": 1299}}]}]},
  {"group": "LG1", "copy": "local", "volumes": [
    {"name": "lvol1", "mu": 2, "sides": [
      {"serial": 64015, "ldev": 1234, "device": "Harddisk1", "role": "P-VOL", "state": "PSUS"},
      {"serial": 64015, "ldev": 1300, "device": "Harddisk7", "role": "S-VOL", "state": "PSUS"}]}]}
]})";

std::vector<PairGroup> sample_groups() {
  std::vector<PairGroup> groups;
  std::string error;
  EXPECT_TRUE(load_pairs(nlohmann::json::parse(kImage), groups, error)) << error;
  return groups;
}

Answer ask(std::vector<const char*> args, CopyKind instance = CopyKind::remote) {
  Query q;
  std::string error;
  EXPECT_TRUE(parse_query(args, q, error)) << error;
  return answer_query(sample_groups(), q, instance);
}

const char* const kRemoteTitle =
    "Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n";

TEST(TwinlistAnswer, PairLinesForTheLookup) {
  struct Case {
    std::vector<const char*> args;
    CopyKind instance;
    const char* text;
  };
  const Case cases[] = {
      {{"-d", "64015", "1234", "0", "-fd", "-CLI"},
       CopyKind::remote,
       "Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
       "VG1 vol1 L Harddisk1 64015 1234 P-VOL PAIR remote 64016 2000 0\n"
       "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234 0\n"},
      // Asked from the other side: that side comes first.
      {{"-d", "64016", "2000", "0", "-fd", "-CLI"},
       CopyKind::remote,
       "Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
       "VG1 vol1 L Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234 0\n"
       "VG1 vol1 R Harddisk1 64015 1234 P-VOL PAIR remote 64016 2000 0\n"},
      // A partner that names another volume; a side without a host device.
      {{"-d", "64015", "1235", "1", "-fd", "-CLI"},
       CopyKind::remote,
       "Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
       "VG1 vol2 L Harddisk2 64015 1235 P-VOL COPY remote 64016 2001 1\n"
       "VG1 vol2 R - 64016 2001 S-VOL COPY remote 64015 1299 1\n"},
      // A local-copy instance sees the local copies, with the MU in field 5.
      {{"-d", "64015", "1234", "2", "-fd", "-CLI"},
       CopyKind::local,
       "Group PairVol L/R Device MU Serial LDEV P/S Status P-Serial P-LDEV Copy\n"
       "LG1 lvol1 L Harddisk1 2 64015 1234 P-VOL PSUS 64015 1300 local\n"
       "LG1 lvol1 R Harddisk7 2 64015 1300 S-VOL PSUS 64015 1234 local\n"},
      {{"-d", "64015", "1234", "0", "-fx", "-fd", "-CLI"},
       CopyKind::remote,
       "Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
       "VG1 vol1 L Harddisk1 64015 4D2 P-VOL PAIR remote 64016 7D0 0\n"
       "VG1 vol1 R Harddisk5 64016 7D0 S-VOL PAIR remote 64015 4D2 0\n"},
      // Without -fd there is no device field.
      {{"-d", "64015", "1234", "-CLI"},
       CopyKind::remote,
       "Group PairVol L/R Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
       "VG1 vol1 L 64015 1234 P-VOL PAIR remote 64016 2000 0\n"
       "VG1 vol1 R 64016 2000 S-VOL PAIR remote 64015 1234 0\n"},
  };
  for (const Case& c : cases) {
    const Answer a = ask(c.args, c.instance);
    EXPECT_TRUE(a.found) << c.text;
    EXPECT_EQ(a.text, c.text);
  }
}

TEST(TwinlistAnswer, ReadableTable) {
  const Answer a = ask({"-d", "64015", "1234", "0", "1", "-l"});
  EXPECT_TRUE(a.found);
  EXPECT_EQ(a.text,
            "Group PairVol L/R Serial LDEV P/S   Status Copy   P-Serial P-LDEV MU\n"
            "VG1   vol1    L   64015  1234 P-VOL PAIR   remote 64016    2000   0\n"
            "VG1   vol1    R   64016  2000 S-VOL PAIR   remote 64015    1234   0\n");
}

TEST(TwinlistAnswer, GroupListingForLayoutRestore) {
  // -l leaves out the sides that are not on this host; every line has one device word.
  Answer a = ask({"-l", "-fd", "-g", "VG1"});
  EXPECT_TRUE(a.found);
  EXPECT_EQ(a.text,
            "Group PairVol L/R Device    Serial LDEV P/S   Status Copy   P-Serial P-LDEV MU\n"
            "VG1   vol1    L   Harddisk1 64015  1234 P-VOL PAIR   remote 64016    2000   0\n"
            "VG1   vol1    R   Harddisk5 64016  2000 S-VOL PAIR   remote 64015    1234   0\n"
            "VG1   vol2    L   Harddisk2 64015  1235 P-VOL COPY   remote 64016    2001   1\n");
  // A group is listed whatever copies the instance concerns.
  a = ask({"-g", "LG1", "-CLI"}, CopyKind::remote);
  EXPECT_EQ(a.text,
            "Group PairVol L/R MU Serial LDEV P/S Status P-Serial P-LDEV Copy\n"
            "LG1 lvol1 L 2 64015 1234 P-VOL PSUS 64015 1300 local\n"
            "LG1 lvol1 R 2 64015 1300 S-VOL PSUS 64015 1234 local\n");
}

TEST(TwinlistAnswer, AskedSideStaysWithoutDevice) {
  // -l keeps the asked volume even when the image names no device for it.
  const Answer a = ask({"-d", "64016", "2001", "-l", "-fd", "-CLI"});
  EXPECT_EQ(a.text, std::string(kRemoteTitle) +
                        "VG1 vol2 L - 64016 2001 S-VOL COPY remote 64015 1299 1\n"
                        "VG1 vol2 R Harddisk2 64015 1235 P-VOL COPY remote 64016 2001 1\n");
}

TEST(TwinlistAnswer, NothingFound) {
  const std::vector<std::vector<const char*>> queries = {
      {"-d", "64015", "1234", "1"},          // not that MU
      {"-d", "64015", "1300"},               // a local copy, asked by a remote-copy instance
      {"-d", "64015", "9999"},               // no such volume
      {"-d", "64099", "1234"},               // no such array
      {"-g", "VG9"},                         // no such group
      {"-g", "LG1", "-d", "64015", "1234"},  // the group holds it only as a local copy
  };
  for (const auto& args : queries) {
    const Answer a = ask(args);
    EXPECT_FALSE(a.found) << args[1];
    EXPECT_EQ(a.text, "") << args[1];
  }
  EXPECT_TRUE(ask({"-g", "LG1", "-d", "64015", "1234"}, CopyKind::local).found);
}

TEST(TwinlistAnswer, TitleRepeatsWhenTheCopyKindChanges) {
  const char* text = R"({"pairs": [
    {"group": "DUP", "volumes": [{"name": "a", "sides": [{"serial": 1, "ldev": 2}, {}]}]},
    {"group": "DUP", "copy": "local", "volumes": [{"name": "b", "sides": [{}, {"ldev": 3}]}]}]})";
  std::vector<PairGroup> groups;
  std::string error;
  ASSERT_TRUE(load_pairs(nlohmann::json::parse(text), groups, error)) << error;
  Query q;
  q.group = "DUP";
  q.cli = true;
  EXPECT_EQ(answer_query(groups, q, CopyKind::remote).text,
            "Group PairVol L/R Serial LDEV P/S Status Copy P-Serial P-LDEV MU\n"
            "DUP a L 1 2 - - remote - - 0\n"
            "DUP a R - - - - remote 1 2 0\n"
            "Group PairVol L/R MU Serial LDEV P/S Status P-Serial P-LDEV Copy\n"
            "DUP b L 0 - - - - - 3 local\n"
            "DUP b R 0 - 3 - - - - local\n");
}

TEST(TwinlistAnswer, ColumnAlignment) {
  const std::vector<std::vector<std::string>> rows = {{"a", "bb"}, {"ccc", "d"}};
  EXPECT_EQ(format_lines(rows, {"T1", "T2"}, false), "T1  T2\na   bb\nccc d\n");
  EXPECT_EQ(format_lines(rows, {"T1", "T2"}, true), "T1 T2\na bb\nccc d\n");
}

// The whole program: arguments, host image, exit status and the two streams.
class TwinlistProgram : public testing::Test {
 protected:
  struct Run {
    int status;
    std::string out, err;
  };
  Run run(std::vector<const char*> args) {
    args.insert(args.begin(), "twinlist");
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Run r;
    r.status = twinlist_main(static_cast<int>(args.size()), args.data(), out, err);
    r.out = read_all(out);
    r.err = read_all(err);
    return r;
  }
  static std::string read_all(std::FILE* f) {
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
  }
  std::string write_image(const char* name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
  }
  void SetUp() override { unsetenv("VEXAC_QUIL"); }
  void TearDown() override { unsetenv("VOXMIRA_HOST"); }
};

TEST_F(TwinlistProgram, ExitStatuses) {
  const std::string path = write_image("twinlist_image.json", kImage);
  setenv("VOXMIRA_HOST", path.c_str(), 1);
  Run r = run({"-d", "64015", "1234", "0", "-fd", "-CLI"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string(kRemoteTitle) +
                       "VG1 vol1 L Harddisk1 64015 1234 P-VOL PAIR remote 64016 2000 0\n"
                       "VG1 vol1 R Harddisk5 64016 2000 S-VOL PAIR remote 64015 1234 0\n");
  EXPECT_EQ(r.err, "");
  r = run({"-d", "64015", "1234", "2", "-fd", "-CLI"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  setenv("VEXAC_QUIL", "", 1);
  r = run({"-d", "64015", "1234", "2", "-fd", "-CLI"});
  unsetenv("VEXAC_QUIL");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.substr(0, 27), "Group PairVol L/R Device MU");
  r = run({"-h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kUsage);
}

TEST_F(TwinlistProgram, Errors) {
  const std::string good = write_image("twinlist_good.json", kImage);
  const std::string broken = write_image("twinlist_broken.json", "{\"pairs\": [");
  const std::string bad = write_image("twinlist_bad.json", R"({"pairs": [{"group": 1}]})");
  const std::string empty = write_image("twinlist_empty.json", R"({"disks": []})");
  const std::string missing = testing::TempDir() + "twinlist_missing.json";
  struct Case {
    const char* host;  // null: VOXMIRA_HOST unset
    std::vector<const char*> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {nullptr, {"-g", "VG1"}, 2, "twinlist: VOXMIRA_HOST does not name a host image\n"},
      {"", {"-g", "VG1"}, 2, "twinlist: VOXMIRA_HOST does not name a host image\n"},
      {missing.c_str(), {"-g", "VG1"}, 2, "twinlist: " + missing + ": cannot be read\n"},
      {broken.c_str(), {"-g", "VG1"}, 2, "twinlist: " + broken + ": not valid JSON\n"},
      {bad.c_str(), {"-g", "VG1"}, 2, "twinlist: " + bad + ": pairs[0].group: a text expected\n"},
      {good.c_str(), {"-x"}, 2, "twinlist: unknown option: -x (twinlist -h for help)\n"},
      {good.c_str(),
       {},
       2,
       "twinlist: -d SERIAL LDEV or -g GROUP is needed (twinlist -h for help)\n"},
      {empty.c_str(), {"-g", "VG1"}, 1, ""},
  };
  for (const Case& c : cases) {
    if (c.host != nullptr) {
      setenv("VOXMIRA_HOST", c.host, 1);
    } else {
      unsetenv("VOXMIRA_HOST");
    }
    const Run r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
}

}  // namespace
}  // namespace vox::twinlist
