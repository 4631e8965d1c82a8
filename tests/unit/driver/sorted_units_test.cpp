#include "driver/sorted_units.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "devices/device_space.h"
#include "driver/cm_image.h"
#include "driver/finish_run.h"

namespace vox {
namespace {

struct Device {
  std::int32_t serial;
  std::int32_t ldev;
  std::string name;
  bool cmddev = false;
  std::string dev_path = "";
};

DevIdentity record_of(const Device& d) {
  DevIdentity r;
  r.serial = d.serial;
  r.ldev = d.ldev;
  r.is_cmddev = d.cmddev ? 1 : 0;
  std::snprintf(r.dev_path, sizeof r.dev_path, "%s", d.dev_path.c_str());
  return r;
}

SortedUnits collect(const std::vector<Device>& devices) {
  SortedUnits units;
  for (const Device& d : devices) EXPECT_EQ(units.sorted_insert(d.name.c_str(), record_of(d)), 0);
  return units;
}

using Walked = std::vector<std::tuple<std::int32_t, std::int32_t, std::string>>;

Walked walk(const SortedUnits& units) {
  Walked out;
  for (const auto& [serial, node] : units.serials()) {
    EXPECT_EQ(node.serial, serial);
    for (const auto& [ldev, entries] : node.groups) {
      for (const UnitEntry& e : entries) {
        EXPECT_EQ(e.record.serial, serial);
        EXPECT_EQ(e.record.ldev, ldev);
        out.emplace_back(serial, ldev, e.name);
      }
    }
  }
  return out;
}

TEST(SortedInsert, KeepsSerialThenLdevThenArrivalOrder) {
  const struct {
    const char* label;
    std::vector<Device> devices;
    Walked walked;
  } cases[] = {
      {"serials and LDEVs ascending",
       {{300, 5, "a"}, {20, 5, "b"}, {300, 3, "c"}, {20, 3, "d"}},
       {{20, 3, "d"}, {20, 5, "b"}, {300, 3, "c"}, {300, 5, "a"}}},
      {"paths to one LDEV stay in probe order",
       {{7, 1, "Harddisk4"}, {7, 0, "x"}, {7, 1, "Harddisk2"}, {7, 1, "Harddisk9"}},
       {{7, 0, "x"}, {7, 1, "Harddisk4"}, {7, 1, "Harddisk2"}, {7, 1, "Harddisk9"}}},
      {"keys are signed",
       {{0, 0, "zero"},
        {-1, 2, "minus"},
        {INT32_MIN, -5, "min"},
        {INT32_MAX, INT32_MAX, "max"},
        {0, -3, "neg"}},
       {{INT32_MIN, -5, "min"},
        {-1, 2, "minus"},
        {0, -3, "neg"},
        {0, 0, "zero"},
        {INT32_MAX, INT32_MAX, "max"}}},
      {"empty", {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(walk(collect(c.devices)), c.walked) << c.label;
}

TEST(SortedInsert, CopiesRecordAndWholeName) {
  SortedUnits units;
  const std::string long_name = "C:\\" + std::string(250, 'm') + "\\Vol3\\Dsk1";
  DevIdentity r = record_of({1, 2, "", true, "\\\\.\\PhysicalDrive1"});
  ASSERT_EQ(units.sorted_insert(long_name.c_str(), r), 0);
  r.ldev = 99;
  std::strcpy(r.dev_path, "changed");
  const UnitEntry& e = units.serials().at(1).groups.at(2).front();
  EXPECT_EQ(e.name, long_name);
  EXPECT_EQ(e.record.ldev, 2);
  EXPECT_STREQ(e.record.dev_path, "\\\\.\\PhysicalDrive1");
  EXPECT_EQ(units.serials().at(1).totals.local_pages_total, 0);
}

TEST(CmImage, HeaderLines) {
  EXPECT_EQ(cm_image_header(),
            "VEXAM_CMD\n#dev_name               dev_name                dev_name\n");
}

TEST(CmImage, UnitLineListsCommandDevicesInArrivalOrder) {
  const std::string p1 = "\\\\.\\PhysicalDrive1";
  const std::string p12 = "\\\\.\\PhysicalDrive12";
  const std::string p23 = "\\\\.\\PhysicalDrive123456";  // 23 characters
  const std::string p30 = "\\\\.\\PhysicalDrive1234567890123";
  const struct {
    int unit;
    std::int32_t serial;
    std::vector<Device> group;
    std::string text;
  } cases[] = {
      {0, 20, {{20, 1, "a", true, p1}}, "#UnitID 0 (Serial# 20)\n\\\\.\\PhysicalDrive1      \n"},
      {3,
       -7,
       {{-7, 1, "a", true, p12}, {-7, 1, "b", false, p1}, {-7, 1, "c", true, p1}},
       "#UnitID 3 (Serial# -7)\n\\\\.\\PhysicalDrive12     \\\\.\\PhysicalDrive1      \n"},
      {1,
       2147483647,
       {{0, 0, "a", true, p23}, {0, 0, "b", true, p30}},
       "#UnitID 1 (Serial# 2147483647)\n" + p23 + " " + p30 + " \n"},
      {0, 5, {{5, 0, "a", false, p1}}, "#UnitID 0 (Serial# 5)\n\n"},
  };
  for (const auto& c : cases) {
    GroupEntries group;
    for (const Device& d : c.group) group.push_back({record_of(d), d.name});
    EXPECT_EQ(cm_image_unit(c.unit, c.serial, group), c.text) << c.text;
  }
}

TEST(CmImage, DevicePathWithoutStringEndStaysInsideTheRecord) {
  GroupEntries group(1);
  group[0].record.is_cmddev = 1;
  std::memset(group[0].record.dev_path, 'P', sizeof group[0].record.dev_path);
  EXPECT_EQ(cm_image_unit(0, 1, group), "#UnitID 0 (Serial# 1)\n" + std::string(64, 'P') + " \n");
}

TEST(CmImage, BestGroupHasTheMostCommandDevicesTiesKeepTheLowestLdev) {
  const struct {
    const char* label;
    std::vector<Device> devices;
    int best_ldev;  // -1: none
  } cases[] = {
      {"more paths win", {{20, 10, "a", true}, {20, 12, "b", true}, {20, 12, "c", true}}, 12},
      {"tie keeps the lower LDEV",
       {{20, 12, "a", true}, {20, 12, "b", true}, {20, 10, "c", true}, {20, 10, "d", true}},
       10},
      {"plain devices do not count",
       {{20, 1, "a", false}, {20, 1, "b", false}, {20, 1, "c", false}, {20, 2, "d", true}},
       2},
      {"no command device", {{20, 1, "a"}, {20, 2, "b"}}, -1},
  };
  for (const auto& c : cases) {
    SortedUnits units = collect(c.devices);
    const SerialNode& node = units.serials().begin()->second;
    const GroupEntries* best = best_command_group(node);
    if (c.best_ldev < 0) {
      EXPECT_EQ(best, nullptr) << c.label;
    } else {
      ASSERT_NE(best, nullptr) << c.label;
      EXPECT_EQ(best, &node.groups.at(c.best_ldev)) << c.label;
    }
  }
}

// With -sort -CM the walk prints only the image and hands no device to a report.
TEST(EndOfRun, CommandDeviceImageAndItsExitStatus) {
  const std::string p1 = "\\\\.\\PhysicalDrive1";
  const std::string p2 = "\\\\.\\PhysicalDrive2";
  const std::string p3 = "\\\\.\\PhysicalDrive3";
  const std::string header = cm_image_header();
  const struct {
    const char* label;
    int sort_mode, cm_image, exit_error;
    std::vector<Device> devices;
    std::string out;
    int status;
  } cases[] = {
      {"two arrays numbered in serial order",
       1,
       1,
       0,
       {{300, 4, "a", true, p3},
        {20, 10, "b", true, p1},
        {20, 12, "c", true, p2},
        {20, 12, "d", false, p3},
        {20, 12, "e", true, p1}},
       header + "#UnitID 0 (Serial# 20)\n" + p2 + "      " + p1 + "      \n" +
           "#UnitID 1 (Serial# 300)\n" + p3 + "      \n",
       0},
      {"arrays without command devices are not numbered",
       1,
       1,
       0,
       {{5, 1, "a", false, p1}, {6, 1, "b", true, p2}},
       header + "#UnitID 0 (Serial# 6)\n" + p2 + "      \n",
       0},
      {"exit_error raised earlier stays",
       1,
       1,
       1,
       {{6, 1, "b", true, p2}},
       header + "#UnitID 0 (Serial# 6)\n" + p2 + "      \n",
       1},
      {"no command device: nothing and status 1", 1, 1, 0, {{5, 1, "a"}, {6, 2, "b"}}, "", 1},
      {"nothing collected under -CM: status 1", 1, 1, 0, {}, "", 1},
      {"nothing collected: exit_error", 1, 0, 0, {}, "", 0},
      {"nothing collected: exit_error 1", 1, 0, 1, {}, "", 1},
      {"-CM without -sort has no effect", 0, 1, 0, {{6, 1, "b", true, p2}}, "", 0},
      {"-CM without -sort keeps exit_error", 0, 1, 1, {}, "", 1},
  };
  for (const auto& c : cases) {
    SortedUnits units = collect(c.devices);
    DeviceSpace space;
    RunOptions o;
    o.sort_mode = c.sort_mode;
    o.cm_image = c.cm_image;
    o.exit_error = c.exit_error;
    testing::internal::CaptureStdout();
    const int status = end_of_run(o, 0, units, space);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.label;
    EXPECT_EQ(status, c.status) << c.label;
  }
}

}  // namespace
}  // namespace vox
