#include "devices/dos_walk.h"
#include "devices/mount_table.h"
#include "devices/space_state.h"
#include "host_fake.h"

namespace vox::test {
namespace {

using Lines = std::vector<std::string>;

Lines entries(const MountTable& table) {
  Lines out;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    for (const MountPoint& e : table.list(letter)) out.push_back(e.path + "|" + e.volume);
  }
  return out;
}

TEST(MountvolParser, VolumeStateTable) {
  const std::string v = "\\\\?\\V\\", long_volume = "\\\\?\\" + std::string(128, 'v') + "\\";
  const std::string path255 = "C:\\" + std::string(252, 'a');
  const std::pair<Lines, Lines> cases[] = {
      {{"C:\\a\\", v, "C:\\", "D:\\", "C:\\b\\", "D:\\my", "D:\\c\\"},
       {"C:\\b|V", "D:\\my...|V", "D:\\c|V"}},
      {{v, "C:\\b\\", "\\\\?\\Volume{2}\\", "C:\\a\\"}, {"C:\\b|V", "C:\\a|Volume{2}"}},
      {{v, "C:\\a\\", "***", "C:\\b\\", v, "C:\\c\\"}, {"C:\\a|V", "C:\\c|V"}},
      {{v, "c:\\x\\", "C:\\y\\"}, {}},
      {{v, "C:", "C:\\y\\"}, {}},
      {{"\\\\?\\G\\Dev\\X\\", "E:\\m\\", "\\\\?\\W", "E:\\n\\"}, {"E:\\m|G\\Dev\\X", "E:\\n|W"}},
      {{v + "\r", "C:\\a\\\r", "C:\\\r", "C:\\b\r"}, {"C:\\a|V", "C:\\b...|V"}},
      {{long_volume, "C:\\a\\", "D:\\", v, "C:\\c\\"}, {"C:\\c|V"}},
      {{v, path255 + "\\", path255 + "a\\", path255.substr(0, 252), path255.substr(0, 253),
        "C:\\z\\"},
       {path255 + "|V", path255.substr(0, 252) + "...|V", "C:\\z|V"}},
  };
  for (const auto& [tokens, expected] : cases) {
    MountTable table;
    MountvolParser parser;
    for (const std::string& t : tokens) parser.feed(t, table);
    EXPECT_EQ(entries(table), expected) << tokens[1];
  }
}

using MountTableLoad = HostTest;

TEST_F(MountTableLoad, ReadOnceFromThePipeWhateverItHolds) {
  host->mountvol =
      "Creates, deletes, or lists a volume mount point.\n\nPossible values ... are:\n\n"
      "    \\\\?\\Volume{1}\\\n        C:\\\n        C:\\mnt\\data\\\n        D:\\my dir\\\n\n"
      "    \\\\?\\Volume{2}\\\n        *** NO MOUNT POINTS ***\n        E:\\x\\\n"
      "    \\\\?\\Volume{3}\\\n C:\\" +
      std::string(30000, 'a') +
      "\\\n C:\\cut\\\n"
      "    \\\\?\\Volume{4}\\\n" +
      std::string(30000, ' ') + "\tC:\\late\\";  // no line end
  MountTable table;
  EXPECT_EQ(next_mount_point(table, 'C', kNoMountPoint), 0u);
  EXPECT_EQ(next_mount_point(table, 'C', 0), kNoMountPoint);
  EXPECT_EQ(next_mount_point(table, 'c', kNoMountPoint), kNoMountPoint);
  EXPECT_STREQ(mount_point_volume(table, "D:\\my..."), "Volume{1}");
  for (const char* miss : {"C:\\mnt\\dat", "C:\\mnt\\data\\", "c:\\mnt\\data", "C:\\late", ""}) {
    EXPECT_EQ(mount_point_volume(table, miss), nullptr) << miss;
  }
  EXPECT_EQ(entries(table), (Lines{"C:\\mnt\\data|Volume{1}", "D:\\my...|Volume{1}"}));
  EXPECT_EQ(host->commands, (Lines{"mountvol.exe 2>NUL|rt"}));

  reset();
  host->mountvol_runs = false;
  MountTable empty;
  testing::internal::CaptureStderr();
  EXPECT_EQ(mount_point_volume(empty, "C:\\mnt\\data"), nullptr);
  EXPECT_EQ(next_mount_point(empty, 'C', kNoMountPoint), kNoMountPoint);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(host->commands.size(), 1u);
}

class DosWalk : public HostTest {
 protected:
  void SetUp() override {
    reset();
    for (const char* n :
         {"C:", "PhysicalDrive0", "D:", "Volume{a}", "PhysicalDrive1", "E:", "c:"}) {
      host->add(n);
    }
    host->mountvol =
        "\\\\?\\Volume{b}\\\n C:\\mnt\\x\\\n C:\\other\\\n C:\\mnt\\y z\\\n"
        "\\\\?\\Volume{c}\\\n E:\\\n D:\\m\\\n";
  }
  Lines walk(DeviceSpace& space, const char* pattern, std::size_t size = kDevicePathSize) {
    WordCursor cursor{WordCursor::DosStart, 12345, 0};  // position left from another word
    std::vector<char> path(size);
    Lines out;
    while (out.size() < 30 && next_dos_device(space, cursor, pattern, path.data(), size)) {
      out.emplace_back(path.data() + 4);
      EXPECT_EQ(std::string(path.data(), 4), "\\\\.\\");
    }
    return out;
  }
};

TEST_F(DosWalk, PatternsSelectNamesAndMountPoints) {
  const Lines letters = {"C:", "C:\\mnt\\x", "C:\\other", "C:\\mnt\\y...", "D:", "D:\\m", "E:"};
  const std::pair<const char*, Lines> cases[] = {
      {"LETALL", letters},
      {"LETALLX", letters},
      {"LETAL", {}},
      {"C:", {"C:", "C:\\mnt\\x", "C:\\other", "C:\\mnt\\y..."}},
      {"C:\\mnt", {"C:\\mnt\\x", "C:\\mnt\\y..."}},
      {"C:\\", {"C:\\mnt\\x", "C:\\other", "C:\\mnt\\y..."}},
      {"C:\\mnt\\x\\", {}},
      {"c:", {"c:"}},  // an ordinary name: no mount points follow
      {"c:\\mnt", {}},
      {"Phys", {"PhysicalDrive0", "PhysicalDrive1"}},
      {"Volume{a}", {"Volume{a}"}},
      {"",
       {"C:", "C:\\mnt\\x", "C:\\other", "C:\\mnt\\y...", "PhysicalDrive0", "D:", "D:\\m",
        "Volume{a}", "PhysicalDrive1", "E:", "c:"}},
  };
  for (const auto& [pattern, paths] : cases) {
    SetUp();
    DeviceSpace space;
    EXPECT_EQ(walk(space, pattern), paths) << pattern;
    EXPECT_EQ(host->list_sizes.size(),
              pattern[0] == 'C' && pattern[1] == ':' && pattern[2] ? 0u : 1u);
  }
}

TEST_F(DosWalk, TablesAreReadOncePerSpaceAndMountvolOnlyWhenNeeded) {
  DeviceSpace space;
  for (const char* pattern : {"Phys", "Volume"}) walk(space, pattern);
  EXPECT_TRUE(host->commands.empty());
  for (const char* pattern : {"LETALL", "C:", "C:\\mnt", "D:"}) walk(space, pattern);
  EXPECT_EQ(host->list_sizes.size(), 1u);
  EXPECT_EQ(host->commands.size(), 1u);
}

TEST_F(DosWalk, NamesTooLongForThePathArePassedOverAndFailedListsRetried) {
  host->add("A" + std::string(506, 'a'));  // "\\.\" + 507 characters fits 512 bytes
  host->add("A" + std::string(507, 'b'));
  host->add("A" + std::string(20000, 'c'));
  host->add("Az");
  host->list_error = 5;
  DeviceSpace space;
  space.impl().list_base_size = 1000;
  testing::internal::CaptureStderr();
  EXPECT_EQ(walk(space, "A"), Lines{});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "QueryDosDevice : [5] message 5\n");
  host->list_error = 0;
  EXPECT_EQ(walk(space, "A"), (Lines{"A" + std::string(506, 'a'), "Az"}));
  EXPECT_EQ(walk(space, "A", 7), Lines{"Az"});
  EXPECT_EQ(host->list_sizes.front(), 998u);
}

TEST_F(DosWalk, MountPointPathsTranslateToTheirVolume) {
  DeviceSpace space;
  const std::pair<const char*, const char*> opens[] = {
      {"\\\\.\\C:", "\\\\.\\C:"},
      {"\\\\.\\C:\\mnt\\x", "\\\\.\\Volume{b}"},
      {"\\\\.\\D:\\m", "\\\\.\\Volume{c}"},
      {"\\\\.\\C:\\mnt\\x\\", "\\\\.\\C:\\mnt\\x\\"},
      {"\\\\.\\c:\\mnt\\x", "\\\\.\\c:\\mnt\\x"},
  };
  for (const auto& [path, opened] : opens) {
    open_device(space, path, 0, 3, 3, 0x80);
    EXPECT_EQ(host->opened.back(), opened) << path;
  }
}

}  // namespace
}  // namespace vox::test
