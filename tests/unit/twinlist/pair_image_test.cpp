#include "tools/twinlist/pair_image.h"

#include <gtest/gtest.h>

namespace vox::twinlist {
namespace {

using nlohmann::json;

std::string load_error(const char* text) {
  std::vector<PairGroup> groups;
  std::string error;
  EXPECT_FALSE(load_pairs(json::parse(text), groups, error)) << text;
  EXPECT_TRUE(groups.empty());
  return error;
}

// A group around one volume whose sides are given.
std::string with_sides(const char* sides, const char* extra = "") {
  return std::string(R"({"pairs": [{"group": "G", "volumes": [{"name": "v", )") + extra +
         R"("sides": )" + sides + "}]}]}";
}

TEST(TwinlistImage, Refused) {
  struct Case {
    std::string text;
    const char* error;
  };
  const Case cases[] = {
      {"[]", "host image: an object expected"},
      {R"({"pairs": {}})", "pairs: an array of groups expected"},
      {R"({"pairs": [3]})", "pairs[0]: an object expected"},
      {R"({"pairs": [{"volumes": []}]})", "pairs[0].group: missing"},
      {R"({"pairs": [{"group": "V G"}]})", "pairs[0].group: a single word expected"},
      {R"({"pairs": [{"group": ""}]})", "pairs[0].group: empty"},
      {R"({"pairs": [{"group": "G", "copy": "mirror"}]})",
       "pairs[0].copy: \"remote\" or \"local\" expected"},
      {R"({"pairs": [{"group": "G", "volumes": {}}]})", "pairs[0].volumes: an array expected"},
      {R"({"pairs": [{"group": "G", "volumes": [{"sides": []}]}]})",
       "pairs[0].volumes[0].name: missing"},
      {with_sides("[{}]"), "pairs[0].volumes[0].sides: an array of two sides expected"},
      {with_sides("[{}, 1]"), "pairs[0].volumes[0].sides[1]: an object expected"},
      {with_sides(R"([{}, {"serial": "64015"}])"),
       "pairs[0].volumes[0].sides[1].serial: a whole number expected"},
      {with_sides(R"([{"ldev": 1.5}, {}])"),
       "pairs[0].volumes[0].sides[0].ldev: a whole number expected"},
      {with_sides(R"([{"serial": 2147483648}, {}])"),
       "pairs[0].volumes[0].sides[0].serial: too large"},
      {with_sides(R"([{"ldev": -2147483649}, {}])"),
       "pairs[0].volumes[0].sides[0].ldev: out of range"},
      {with_sides(R"([{"device": "Hard disk1"}, {}])"),
       "pairs[0].volumes[0].sides[0].device: a single word expected"},
      {with_sides(R"([{}, {"role": ""}])"), "pairs[0].volumes[0].sides[1].role: empty"},
      {with_sides(R"([{"partner": 1}, {}])"),
       "pairs[0].volumes[0].sides[0].partner: an object expected"},
      {with_sides(R"([{"partner": {"ldev": "x"}}, {}])"),
       "pairs[0].volumes[0].sides[0].partner.ldev: a whole number expected"},
      {with_sides("[{}, {}]", R"("mu": 4, )"),
       "pairs[0].volumes[0].mu: 0 to 3 expected for a remote copy"},
      {with_sides("[{}, {}]", R"("mu": -1, )"), "pairs[0].volumes[0].mu: 0 to 63 expected"},
      {R"({"pairs": [{"group": "G", "copy": "local", "volumes": [{"name": "v", "mu": 64,
          "sides": [{}, {}]}]}]})",
       "pairs[0].volumes[0].mu: 0 to 63 expected"},
  };
  for (const Case& c : cases) EXPECT_EQ(load_error(c.text.c_str()), c.error) << c.text;
}

TEST(TwinlistImage, DefaultsAndPartners) {
  const char* text = R"({"pairs": [
    {"group": "LG", "copy": "local", "volumes": [{"name": "v1", "mu": 63, "sides": [
      {"serial": 1, "ldev": 2, "device": "Harddisk3", "role": "P-VOL", "state": "PAIR"},
      {"serial": 1, "ldev": 4, "partner": {"serial": 1, "ldev": 9}}]}]},
    {"group": "RG", "volumes": [{"name": "v2", "sides": [
      {"serial": null, "partner": null},
      {"ldev": 7, "device": null, "partner": {}}]}]},
    {"group": "EG"}],
    "disks": []})";
  std::vector<PairGroup> groups;
  std::string error;
  ASSERT_TRUE(load_pairs(json::parse(text), groups, error)) << error;
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].copy, CopyKind::local);
  EXPECT_EQ(groups[1].copy, CopyKind::remote);
  EXPECT_TRUE(groups[2].volumes.empty());
  const PairVolume& v1 = groups[0].volumes.at(0);
  EXPECT_EQ(v1.mu, 63);
  EXPECT_EQ(v1.sides[0].device, "Harddisk3");
  EXPECT_EQ(v1.sides[0].partner_serial, 1);
  EXPECT_EQ(v1.sides[0].partner_ldev, 4);  // the other side by default
  EXPECT_EQ(v1.sides[1].partner_ldev, 9);  // as its entry names it
  EXPECT_EQ(v1.sides[1].role, "-");
  EXPECT_EQ(v1.sides[1].state, "-");
  EXPECT_EQ(v1.sides[1].device, "");
  const PairVolume& v2 = groups[1].volumes.at(0);
  EXPECT_EQ(v2.mu, 0);
  EXPECT_FALSE(v2.sides[0].serial);
  EXPECT_FALSE(v2.sides[0].partner_serial);  // null: not known
  EXPECT_FALSE(v2.sides[0].partner_ldev);
  EXPECT_FALSE(v2.sides[1].partner_serial);  // {}: not known either
  EXPECT_EQ(v2.sides[1].ldev, 7);
}

TEST(TwinlistImage, NoPairsIsNoGroups) {
  std::vector<PairGroup> groups(1);
  std::string error;
  EXPECT_TRUE(load_pairs(json::parse(R"({"disks": []})"), groups, error));
  EXPECT_TRUE(groups.empty());
  EXPECT_TRUE(load_pairs(json::parse(R"({"pairs": null})"), groups, error));
  EXPECT_TRUE(groups.empty());
}

}  // namespace
}  // namespace vox::twinlist
