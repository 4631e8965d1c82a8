#include <climits>

#include "devices/device_space.h"
#include "devices/volume_extents.h"
#include "driver/run_options.h"
#include "host_fake.h"

namespace vox::test {
namespace {

using Lines = std::vector<std::string>;

TEST(DiskExtentsAnswer, BoundedByTheRecordsReturnedAnd1024) {
  std::vector<std::uint32_t> many(1100);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<std::uint32_t>(i);
  auto cut = [](std::vector<std::uint8_t> b, std::size_t n) { return b.resize(n), b; };
  const std::pair<std::vector<std::uint8_t>, std::vector<std::uint32_t>> cases[] = {
      {{}, {}},
      {cut(extents_answer({3}), 31), {}},
      {extents_answer({3, 4}, 0), {}},
      {extents_answer({3, 4}, 5), {3, 4}},
      {cut(extents_answer({3, 4}), 55), {3}},
      {extents_answer({0x04030201u, 0xFFFFFFFFu}), {0x04030201u, 0xFFFFFFFFu}},
      {extents_answer(many), std::vector<std::uint32_t>(many.begin(), many.begin() + 1024)},
  };
  for (const auto& [answer, disks] : cases) {
    DiskExtents extents;
    extents.count = 77;
    decode_disk_extents(answer, extents);
    EXPECT_EQ(std::vector<std::uint32_t>(extents.disks, extents.disks + extents.count), disks)
        << answer.size();
  }
}

Lines expand(DeviceSpace& space, const std::string& word, bool dos, unsigned fmt = 0,
             std::size_t display_size = kDisplayNameSize) {
  WordCursor cursor;
  cursor.state = dos ? WordCursor::DosStart : WordCursor::NumberStart;
  char path[kDevicePathSize];
  std::vector<char> name(display_size);
  Lines out;
  for (int r;
       out.size() < 2000 && (r = expand_device_word(space, cursor, word.c_str(), path, name.data(),
                                                    display_size, fmt)) != -1;) {
    out.push_back(std::to_string(r) + " " + name.data());
  }
  return out;
}

using NumberWords = HostTest;

TEST_F(NumberWords, NumbersRangesAndEchoWords) {
  const Lines one_to_three = {"1 Harddisk1", "2 Harddisk2", "3 Harddisk3"};
  const std::pair<std::string, Lines> cases[] = {
      {"hd", {}},
      {"-x", {}},
      {"C:", {}},
      {"hd3", {"3 Harddisk3"}},
      {"\\\\.\\PhysicalDrive3", {"3 Harddisk3"}},
      {"hd-5", {"5 Harddisk5"}},
      {"hd5-", {"5 Harddisk5"}},
      {"hd3-1", one_to_three},
      {"hd1-3-5", one_to_three},
      {"hd1,3", one_to_three},
      {"C:\\Dmr1\\Dsk3", one_to_three},
      {"hd99999999999", {"2147483647 Harddisk2147483647"}},
      {"hd2147483646-9999999999",
       {"2147483646 Harddisk2147483646", "2147483647 Harddisk2147483647"}},
      {"\\Dsk7", {"-2 \\Dsk7"}},
      {"C:\\Vol3\\Dsk1", {"-2 C:\\Vol3\\Dsk1"}},
      {"x:\\Dmt", {"-2 x:\\Dmt"}},
  };
  DeviceSpace space;
  for (const auto& [word, devices] : cases) EXPECT_EQ(expand(space, word, false), devices) << word;
  const Lines range = expand(space, "hd10-0", false);
  EXPECT_EQ(range.size(), 11u);
  EXPECT_EQ(range.back(), "10 Harddisk10");
  EXPECT_TRUE(host->list_sizes.empty() && host->commands.empty());
}

TEST_F(NumberWords, EchoWordsThatDoNotFitAreRefused) {
  const std::string fits = "\\Dsk" + std::string(251, 'a'),
                    huge = "\\Dsk" + std::string(20000, 'c');
  const std::string too_long = " -> Device name too long.              \n";
  const std::tuple<std::string, int, Lines, std::string> cases[] = {
      {fits, 0, {"-2 " + fits}, ""},
      {fits + "b", 0, {}, fits + too_long},
      {huge, 0, {}, huge.substr(0, 255) + too_long},
  };
  for (const auto& [word, cli, devices, message] : cases) {
    cli_mode = cli;
    DeviceSpace space;
    testing::internal::CaptureStderr();
    EXPECT_EQ(expand(space, word, false), devices);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
  }
}

class DosWords : public HostTest {
 protected:
  void SetUp() override {
    reset();
    const char* names[][2] = {{"C:", "\\Device\\HarddiskVolume3"},
                              {"PhysicalDrive0", "\\Device\\Harddisk0\\DR0"},
                              {"D:", "\\Device\\HarddiskVolume5"},
                              {"Volume{a}", "\\Device\\HarddiskDmVolumes\\Dg0\\Volume1"},
                              {"E:", "\\Device\\HarddiskDmVolumes\\Dg0\\Stripe2"},
                              {"F:", "\\Device\\Harddisk2\\Partition1"},
                              {"G:", "\\Device\\Harddisk0\\Partition0"},
                              {"H:", "\\Device\\Harddisk4\\Foo"},
                              {"I:", "\\Device\\CdRom0"},
                              {"J:", "\\Device\\HarddiskDmVolumes\\Dg0\\Raid1"},
                              {"K:", "\\Device\\Harddisk"},
                              {"L:", "\\Device\\Harddisk2\\Partition"},
                              {"M:", ""}};
    for (const auto& [name, target] : names) host->add(name, target);
    host->volumes = {{"\\\\.\\C:", {{1}}},    {"\\\\.\\D:", {{1, 2}}}, {"\\\\.\\Volume{a}", {{2}}},
                     {"\\\\.\\E:", {{4, 5}}}, {"\\\\.\\J:", {{5}}},    {"\\\\.\\Volume{b}", {{3}}}};
    host->targets["Volume{b}"] = "\\Device\\HarddiskVolume7";
    host->mountvol = "\\\\?\\Volume{b}\\\n  C:\\mnt\\x\\\n";
  }
};

TEST_F(DosWords, EachFormOfDisplayName) {
  const std::tuple<const char*, unsigned, Lines> cases[] = {
      {"c:", 0, {}},
      {"Phys", FMT_VOLGUID, {"0 Harddisk0"}},
      {"Volume", 0, {"2 \\Dms1\\Dsk2"}},
      {"Volume", FMT_VOLGUID, {"2 Volume{a}\\Dms1\\Dsk2"}},
      {"LETALL",
       0,
       {"1 C:\\Vol3\\Dsk1", "3 C:\\mnt\\x\\Vol7\\Dsk3", "1 D:\\Vol5\\Dsk1", "2 D:\\Vol5\\Dsk2",
        "4 E:\\Dmt2\\Dsk4", "5 E:\\Dmt2\\Dsk5", "2 F:\\Dsk2\\p1", "0 G:Harddisk0", "4 H:Unknown4",
        "5 J:\\Dmr1\\Dsk5", "2 L:\\Dsk2\\p-1"}},
  };
  for (const auto& [word, fmt, devices] : cases) {
    DeviceSpace space;
    testing::internal::CaptureStderr();
    EXPECT_EQ(expand(space, word, true, fmt), devices) << word;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << word;
  }
}

TEST_F(DosWords, SpanningVolumeDoesNotAdvanceTheWalk) {
  DeviceSpace space;
  WordCursor cursor{WordCursor::DosStart, 0, 5};
  char path[kDevicePathSize], name[kDisplayNameSize];
  ASSERT_EQ(expand_device_word(space, cursor, "C:", path, name, sizeof name, 0), 1);
  EXPECT_EQ(cursor.extent_index, 0);  // a single extent
  cursor.state = WordCursor::DosStart;
  ASSERT_EQ(expand_device_word(space, cursor, "D:", path, name, sizeof name, 0), 1);
  EXPECT_EQ(cursor.extent_index, 1);
  const std::size_t position = cursor.position;
  std::strcpy(path, "kept");
  ASSERT_EQ(expand_device_word(space, cursor, "D:", path, name, sizeof name, 0), 2);
  EXPECT_STREQ(name, "D:\\Vol5\\Dsk2");
  EXPECT_STREQ(path, "kept");
  EXPECT_EQ(cursor.extent_index, 0);
  EXPECT_EQ(cursor.position, position);
}

TEST_F(DosWords, FailingEmptyAndHugeVolumes) {
  host->volumes["\\\\.\\C:"].open_error = 5;
  host->volumes["\\\\.\\D:"].extents_error = 1117;
  host->volumes["\\\\.\\E:"].disks.clear();
  host->volumes["\\\\.\\J:"].disks = {0xFFFFFFFFu};
  host->volumes["\\\\.\\Volume{b}"].disks.resize(1500, 9);
  for (int cli : {0, 1}) {
    cli_mode = cli;
    DeviceSpace space;
    testing::internal::CaptureStderr();
    const Lines got = expand(space, "LETALL", true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              cli ? "" : "Createfile : [5] message 5\nDeviceIoControl : [1117] message 1117\n");
    ASSERT_EQ(got.size(), 1029u);
    EXPECT_EQ(got[1023], "9 C:\\mnt\\x\\Vol7\\Dsk9");
    EXPECT_EQ(Lines(got.begin() + 1024, got.end()),
              (Lines{"2 F:\\Dsk2\\p1", "0 G:Harddisk0", "4 H:Unknown4",
                     std::to_string(INT_MAX) + " J:\\Dmr1\\Dsk4294967295", "2 L:\\Dsk2\\p-1"}));
    EXPECT_EQ(host->open_handles, 0);
  }
}

TEST_F(DosWords, BuiltNamesThatDoNotFitAreRefusedAndTheWalkGoesOn) {
  const std::string dir = "C:\\" + std::string(244, 'm');  // a 247-character mount point
  host->mountvol = "\\\\?\\Volume{b}\\\n " + dir + "\\\n";
  host->volumes["\\\\.\\Volume{b}"].disks = {3, 12};
  const std::string refused = dir + "\\Vol7\\Ds -> Device name too long.              \n";
  DeviceSpace space;
  testing::internal::CaptureStderr();  // disk 3 fits 258 bytes, disk 12 does not
  EXPECT_EQ(expand(space, "C:", true, 0, 258),
            (Lines{"1 C:\\Vol3\\Dsk1", "3 " + dir + "\\Vol7\\Dsk3"}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), refused);
  testing::internal::CaptureStderr();
  EXPECT_EQ(expand(space, "C:", true), (Lines{"1 C:\\Vol3\\Dsk1"}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), refused + refused);
}

}  // namespace
}  // namespace vox::test
