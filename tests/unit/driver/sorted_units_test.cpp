#include "driver/sorted_units.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
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
  int drive = -1;  // >= 0: a command device on \\.\PhysicalDrive<drive>
};

SortedUnits collect(const std::vector<Device>& devices) {
  SortedUnits units;
  for (const Device& d : devices) {
    DevIdentity r;
    r.serial = d.serial;
    r.ldev = d.ldev;
    r.is_cmddev = d.drive >= 0;
    std::snprintf(r.dev_path, sizeof r.dev_path, "\\\\.\\PhysicalDrive%d", d.drive);
    EXPECT_EQ(units.sorted_insert(d.name.c_str(), r), 0);
  }
  return units;
}

// "serial/ldev:name" for every entry, in walk order.
std::string walk(const SortedUnits& units) {
  std::string out;
  for (const auto& [serial, node] : units.serials()) {
    for (const auto& [ldev, entries] : node.groups) {
      for (const UnitEntry& e : entries) {
        EXPECT_EQ(e.record.serial, serial);
        EXPECT_EQ(e.record.ldev, ldev);
        out += std::to_string(serial) + "/" + std::to_string(ldev) + ":" + e.name + " ";
      }
    }
  }
  return out;
}

TEST(SortedInsert, KeepsSerialThenLdevThenArrivalOrder) {
  const std::string long_name = "C:\\" + std::string(250, 'm') + "\\Vol3\\Dsk1";
  const struct {
    std::vector<Device> devices;
    std::string walked;
  } cases[] = {
      {{{300, 5, "a"}, {20, 5, "b"}, {300, 3, "c"}, {20, 3, "d"}},
       "20/3:d 20/5:b 300/3:c 300/5:a "},
      // Paths to one LDEV stay in probe order; names are kept whole.
      {{{7, 1, "H4"}, {7, 0, "x"}, {7, 1, long_name}, {7, 1, "H9"}},
       "7/0:x 7/1:H4 7/1:" + long_name + " 7/1:H9 "},
      {{{0, 0, "z"}, {-1, 2, "m"}, {INT32_MIN, -5, "n"}, {INT32_MAX, 1, "x"}, {0, -3, "g"}},
       "-2147483648/-5:n -1/2:m 0/-3:g 0/0:z 2147483647/1:x "},
      {{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(walk(collect(c.devices)), c.walked);
}

TEST(CmImage, UnitLinePadsPathsTo23AndStaysInsideTheRecord) {
  GroupEntries group(3);
  std::strcpy(group[0].record.dev_path, "\\\\.\\PhysicalDrive123456");          // 23 characters
  std::memset(group[1].record.dev_path, 'P', sizeof group[1].record.dev_path);  // no end
  std::strcpy(group[2].record.dev_path, "\\\\.\\PhysicalDrive1");
  for (UnitEntry& e : group) e.record.is_cmddev = 1;
  EXPECT_EQ(cm_image_unit(3, -7, group), "#UnitID 3 (Serial# -7)\n\\\\.\\PhysicalDrive123456 " +
                                             std::string(64, 'P') +
                                             " \\\\.\\PhysicalDrive1      \n");
}

// The walk under -sort -CM prints only the image; no device goes to a report.
TEST(EndOfRun, CommandDeviceImageAndExitStatus) {
  const std::string head = "VEXAM_CMD\n#dev_name               dev_name                dev_name\n";
  auto path = [](int n) { return "\\\\.\\PhysicalDrive" + std::to_string(n) + "      "; };
  const struct {
    const char* label;
    int sort_mode, cm_image, exit_error;
    std::vector<Device> devices;
    std::string out;
    int status;
  } cases[] = {
      {"most command paths win; plain entries left out; arrays numbered in serial order",
       1,
       1,
       0,
       {{300, 4, "a", 3}, {20, 10, "b", 1}, {20, 12, "c", 2}, {20, 12, "d"}, {20, 12, "e", 4}},
       head + "#UnitID 0 (Serial# 20)\n" + path(2) + path(4) + "\n#UnitID 1 (Serial# 300)\n" +
           path(3) + "\n",
       0},
      {"a tie keeps the lowest LDEV",
       1,
       1,
       0,
       {{20, 12, "a", 1}, {20, 12, "b", 2}, {20, 10, "c", 3}, {20, 10, "d", 4}, {20, 11, "e"}},
       head + "#UnitID 0 (Serial# 20)\n" + path(3) + path(4) + "\n",
       0},
      {"arrays without command devices are not numbered",
       1,
       1,
       0,
       {{5, 1, "a"}, {6, 1, "b", 2}},
       head + "#UnitID 0 (Serial# 6)\n" + path(2) + "\n",
       0},
      {"a raised exit_error stays",
       1,
       1,
       1,
       {{6, 1, "b", 2}},
       head + "#UnitID 0 (Serial# 6)\n" + path(2) + "\n",
       1},
      {"no command device: nothing, status 1", 1, 1, 0, {{5, 1, "a"}, {6, 2, "b"}}, "", 1},
      {"nothing collected under -CM: status 1", 1, 1, 0, {}, "", 1},
      {"nothing collected: exit_error 0", 1, 0, 0, {}, "", 0},
      {"nothing collected: exit_error 1", 1, 0, 1, {}, "", 1},
      {"-CM without -sort has no effect", 0, 1, 0, {{6, 1, "b", 2}}, "", 0},
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
    EXPECT_EQ(end_of_run(o, 0, units, space), c.status) << c.label;
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out) << c.label;
  }
}

}  // namespace
}  // namespace vox
