#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <map>

#include "devices/device_space.h"
#include "devices/dos_names.h"
#include "devices/dos_query.h"
#include "devices/dos_walk.h"
#include "devices/mount_table.h"
#include "devices/space_state.h"
#include "devices/volume_extents.h"
#include "driver/flags.h"
#include "driver/run_options.h"
#include "support/fake_backend.h"

namespace vox::test {
namespace {

using Lines = std::vector<std::string>;

// A VOLUME_DISK_EXTENTS answer: the count (`count`, or the number of disks), 4 bytes of
// padding, then a 24-byte record per disk.
std::vector<std::uint8_t> extents_answer(const std::vector<std::uint32_t>& disks,
                                         std::uint32_t count = ~0u) {
  std::vector<std::uint8_t> out(8 + 24 * disks.size(), 0xEE);
  auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); };
  put(0, count == ~0u ? static_cast<std::uint32_t>(disks.size()) : count), put(4, 0);
  for (std::size_t i = 0; i < disks.size(); ++i) put(8 + 24 * i, disks[i]);
  return out;
}

struct Volume {
  std::vector<std::uint32_t> disks{};
  std::uint32_t open_error = 0, extents_error = 0;
};

// A Windows host: DOS names with their targets, volumes with their disks, and what
// mountvol prints. Records the list sizes asked for, commands run and paths opened.
class Host : public FakeBackend {
 public:
  std::u16string dos_list;  // each name followed by a 0 unit; the closing 0 is added
  std::map<std::string, std::string> targets;
  std::map<std::string, Volume> volumes;  // by the path CreateFile is given
  std::uint32_t list_error = 0;
  std::string mountvol;
  bool mountvol_runs = true;
  std::vector<std::uint32_t> list_sizes;
  Lines commands, opened;
  int open_handles = 0;

  void add(const std::string& name, const std::string& target = "") {
    dos_list.append(name.begin(), name.end()), dos_list.push_back(u'\0');
    if (!target.empty()) targets[name] = target;
  }
  std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) override {
    list_sizes.push_back(size);
    const auto n = static_cast<std::uint32_t>(dos_list.size() + 1);
    if (list_error != 0 || n > size) return fail(list_error ? list_error : 122), 0u;
    std::copy(dos_list.begin(), dos_list.end(), buffer);
    return buffer[n - 1] = u'\0', n;
  }
  std::uint32_t query_dos_device_a(const char* name, char* buffer, std::uint32_t size) override {
    const auto it = targets.find(name);
    if (it == targets.end() || it->second.size() + 2 > size) return fail(2), 0u;
    std::memcpy(buffer, it->second.c_str(), it->second.size() + 1);
    return buffer[it->second.size() + 1] = '\0', static_cast<std::uint32_t>(it->second.size() + 2);
  }
  plat::Handle create_file(const char* path, std::uint32_t access, std::uint32_t share,
                           std::uint32_t, std::uint32_t) override {
    opened.emplace_back(path);
    EXPECT_EQ(std::make_pair(access, share), std::make_pair(0u, 3u));  // no rights, shared
    const auto it = volumes.find(path);
    if (it == volumes.end() || it->second.open_error) {
      return fail_handle(it == volumes.end() ? 2 : it->second.open_error);
    }
    handles_.push_back(&it->second);
    return ++open_handles, static_cast<plat::Handle>(handles_.size());
  }
  bool close_handle(plat::Handle) override { return --open_handles, true; }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void*, std::uint32_t, void* out,
                         std::uint32_t out_size, std::uint32_t* returned) override {
    EXPECT_EQ(code, 0x560000u);
    const Volume& v = *handles_.at(static_cast<std::size_t>(h) - 1);
    if (v.extents_error != 0) return fail(v.extents_error);
    const std::vector<std::uint8_t> answer = extents_answer(v.disks);
    *returned = static_cast<std::uint32_t>(std::min<std::size_t>(answer.size(), out_size));
    return std::memcpy(out, answer.data(), *returned), true;
  }
  std::FILE* popen(const char* command, const char* mode) override {
    commands.push_back(std::string(command) + "|" + mode);
    if (!mountvol_runs) return nullptr;
    std::FILE* f = std::tmpfile();
    std::fputs(mountvol.c_str(), f);
    return std::rewind(f), f;
  }

 private:
  std::vector<const Volume*> handles_;
};

// A fresh host per test and per reset(), with the names of `names` if given.
class Devices : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { cli_mode = 0; }
  void reset() {
    auto fake = std::make_unique<Host>();
    host = fake.get();
    plat::set_backend(std::move(fake));
    cli_mode = 0;
  }
  // The DOS walk of `pattern`: every path, without its "\\.\".
  Lines walk(DeviceSpace& space, const char* pattern, std::size_t size = kDevicePathSize) {
    WordCursor cursor{WordCursor::DosStart, 12345, 0};  // position left from another word
    std::vector<char> path(size);
    Lines out;
    while (out.size() < 30 && next_dos_device(space, cursor, pattern, path.data(), size)) {
      EXPECT_EQ(std::string(path.data(), 4), "\\\\.\\");
      out.emplace_back(path.data() + 4);
    }
    return out;
  }
  // "<unit> <display name>" for every device a word expands into.
  Lines expand(DeviceSpace& space, const std::string& word, bool dos, unsigned fmt = 0,
               std::size_t display_size = kDisplayNameSize) {
    WordCursor cursor;
    cursor.state = dos ? WordCursor::DosStart : WordCursor::NumberStart;
    char path[kDevicePathSize];
    std::vector<char> name(display_size);
    Lines out;
    for (int r;
         out.size() < 2000 && (r = expand_device_word(space, cursor, word.c_str(), path,
                                                      name.data(), display_size, fmt)) != -1;) {
      out.push_back(std::to_string(r) + " " + name.data());
    }
    return out;
  }
  Host* host = nullptr;
};

TEST_F(Devices, ListBaseSizeAndAttemptsBelowThe32BitLimit) {
  const std::pair<const char*, std::size_t> bases[] = {{nullptr, 16384},
                                                       {"abc", 16384},
                                                       {"-5", 16384},
                                                       {" +300x", 300},
                                                       {"4294967295", 4294967295u},
                                                       {"99999999999999999999999", 4294967295u}};
  for (const auto& [text, size] : bases) EXPECT_EQ(parse_list_base_size(text), size) << text;
  const std::size_t attempts[][3] = {
      {100, 3, 300}, {2147483647u, 2, 4294967294u}, {2147483648u, 2, 0}, {1, 4294967296u, 0}};
  for (const auto& a : attempts) EXPECT_EQ(list_attempt_size(a[0], a[1]), a[2]) << a[0];
}

TEST_F(Devices, WholeListLeavesMoreThan512UnitsFreeAndNarrowsToAscii) {
  host->dos_list = std::u16string(u"C:\0V\u00e9\u4e2d\x7f\0", 8);  // 9 units with the end
  for (const auto& [size, result, error] :
       {std::array<std::uint32_t, 3>{522, 9, 0}, {521, 0, 122}}) {
    std::string buffer(size + 4, 'Z');
    host->last_error = 0;
    EXPECT_EQ(query_dos_device(nullptr, buffer.data(), size), result) << size;
    EXPECT_EQ(host->last_error, error) << size;
    EXPECT_EQ(buffer.substr(0, 10),
              result ? std::string("C:\0V??\x7f\0\0Z", 10) : std::string(10, 'Z'));
  }
}

void* no_memory(std::size_t) {
  return nullptr;
}
void* small_only(std::size_t n) {
  return n > 150 ? nullptr : std::calloc(n, 1);
}

TEST_F(Devices, ListGrowsInWholeMultiplesUntilItFitsOrFails) {
  const struct {
    std::size_t base, units;
    std::vector<std::uint32_t> sizes;  // S x k - 2
    std::uint32_t list_error = 0;
    ListAllocator allocate = zeroed_alloc;
    int cli = 0;
    const char* message = "";
  } cases[] = {
      {100, 300, {98, 198, 298, 398, 498, 598, 698, 798, 898}},
      {1000, 486, {998, 1998}},  // exactly size - 512 units: refused
      {1000, 485, {998}},
      {100, 300, {98}, 5, zeroed_alloc, 0, "QueryDosDevice : [5] message 5\n"},
      {100, 300, {98}, 5, zeroed_alloc, 1, ""},
      {100, 300, {}, 0, no_memory, 0, "QueryDosDevice : [8] message 8\n"},
      {100, 300, {98}, 0, small_only, 0, "QueryDosDevice : [8] message 8\n"},  // second size
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.base) + "/" + std::to_string(c.units));
    reset();
    host->add(std::string(c.units - 2, 'x'));
    host->list_error = c.list_error, cli_mode = c.cli;
    DosNameList list;
    testing::internal::CaptureStderr();
    EXPECT_EQ(list.build(c.base, c.allocate), c.message[0] == 0 && c.cli == 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    EXPECT_EQ(host->list_sizes, c.sizes);
    if (list.built()) {
      EXPECT_EQ(list.at(list.next(0)), std::string(c.units - 2, 'x'));
      EXPECT_EQ(list.next(list.next(0)), list.size());
    }
  }
}

// Names that run to the end of the buffer without a string end.
class Unterminated : public FakeBackend {
  std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) override {
    std::fill(buffer, buffer + size - 513, u'y');
    return size - 513;
  }
};

TEST(DosListBounds, WalkStopsAtTheLastByte) {
  plat::set_backend(std::make_unique<Unterminated>());
  DosNameList list;
  ASSERT_TRUE(list.build(600));
  EXPECT_EQ(list.at(list.next(0)), std::string(85, 'y'));
  EXPECT_EQ(list.next(list.next(0)), list.size());
  EXPECT_EQ(list.at(list.size()), "");
}

TEST_F(Devices, MountvolOutputBecomesTheMountTable) {
  const std::string v = "\\\\?\\V\\", p255 = "C:\\" + std::string(252, 'a');
  const std::pair<Lines, Lines> cases[] = {
      {{"C:\\a\\", v, "C:\\", "D:\\", "C:\\b\\", "D:\\my", "D:\\c\\"},
       {"C:\\b|V", "D:\\my...|V", "D:\\c|V"}},
      {{v, "C:\\b\\", "\\\\?\\Volume{2}\\", "C:\\a\\"}, {"C:\\b|V", "C:\\a|Volume{2}"}},
      {{v, "C:\\a\\", "***", "C:\\b\\", v, "c:\\x\\", "C:"}, {"C:\\a|V"}},
      {{"\\\\?\\G\\Dev\\X\\", "E:\\m\\", "\\\\?\\W", "E:\\n\\"}, {"E:\\m|G\\Dev\\X", "E:\\n|W"}},
      {{v + "\r", "C:\\a\\\r", "C:\\\r", "C:\\b\r"}, {"C:\\a|V", "C:\\b...|V"}},
      {{"\\\\?\\" + std::string(128, 'v') + "\\", "C:\\a\\", v, "C:\\c\\"}, {"C:\\c|V"}},
      {{v, p255 + "\\", p255 + "a\\", p255.substr(0, 252), "C:\\z\\"},
       {p255 + "|V", p255.substr(0, 252) + "...|V", "C:\\z|V"}},
  };
  for (const auto& [tokens, expected] : cases) {
    MountTable table;
    MountvolParser parser;
    for (const std::string& t : tokens) parser.feed(t, table);
    Lines got;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      for (const MountPoint& e : table.list(letter)) got.push_back(e.path + "|" + e.volume);
    }
    EXPECT_EQ(got, expected) << tokens[1];
  }
  // The pipe is read once, whatever it holds; a line without its end is dropped.
  host->mountvol =
      "Possible values ... are:\n\n    \\\\?\\Volume{1}\\\n        C:\\\n"
      "        C:\\mnt\\data\\\n        D:\\my dir\\\n\n    \\\\?\\Volume{4}\\\n" +
      std::string(30000, ' ') + "\tC:\\late\\";
  MountTable table;
  EXPECT_EQ(next_mount_point(table, 'C', kNoMountPoint), 0u);
  EXPECT_EQ(next_mount_point(table, 'C', 0), kNoMountPoint);
  EXPECT_EQ(next_mount_point(table, 'c', kNoMountPoint), kNoMountPoint);
  EXPECT_STREQ(mount_point_volume(table, "D:\\my..."), "Volume{1}");
  for (const char* miss : {"C:\\mnt\\dat", "C:\\mnt\\data\\", "c:\\mnt\\data", "C:\\late", ""}) {
    EXPECT_EQ(mount_point_volume(table, miss), nullptr) << miss;
  }
  EXPECT_EQ(host->commands, (Lines{"mountvol.exe 2>NUL|rt"}));
  host->mountvol_runs = false;  // mountvol that cannot be run: no mount points, silently
  MountTable none;
  testing::internal::CaptureStderr();
  EXPECT_EQ(next_mount_point(none, 'C', kNoMountPoint), kNoMountPoint);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Devices, DosWalkSelectsNamesAndMountPoints) {
  const Lines letters = {"C:", "C:\\mnt\\x", "C:\\other", "C:\\mnt\\y...", "D:", "D:\\m", "E:"};
  const std::pair<const char*, Lines> cases[] = {
      {"LETALLX", letters},
      {"LETAL", {}},
      {"C:", {"C:", "C:\\mnt\\x", "C:\\other", "C:\\mnt\\y..."}},
      {"C:\\mnt", {"C:\\mnt\\x", "C:\\mnt\\y..."}},
      {"C:\\mnt\\x\\", {}},
      {"c:", {"c:"}},  // an ordinary name: no mount points follow
      {"Phys", {"PhysicalDrive0", "PhysicalDrive1"}},
      {"",
       {"C:", "C:\\mnt\\x", "C:\\other", "C:\\mnt\\y...", "PhysicalDrive0", "D:", "D:\\m",
        "Volume{a}", "PhysicalDrive1", "E:", "c:"}},
  };
  for (const auto& [pattern, paths] : cases) {
    reset();
    for (const char* n :
         {"C:", "PhysicalDrive0", "D:", "Volume{a}", "PhysicalDrive1", "E:", "c:"}) {
      host->add(n);
    }
    host->mountvol =
        "\\\\?\\Volume{b}\\\n C:\\mnt\\x\\\n C:\\other\\\n C:\\mnt\\y z\\\n"
        "\\\\?\\Volume{c}\\\n E:\\\n D:\\m\\\n";
    DeviceSpace space;
    EXPECT_EQ(walk(space, pattern), paths) << pattern;
    EXPECT_EQ(host->list_sizes.size(), pattern[0] == 'C' && pattern[2] ? 0u : 1u);
    EXPECT_EQ(walk(space, "Volume"), Lines{"Volume{a}"});  // tables are read once per space
    EXPECT_EQ(host->list_sizes.size(), 1u);
    EXPECT_LE(host->commands.size(), std::strcmp(pattern, "Phys") ? 1u : 0u);
  }
  const std::pair<const char*, const char*> opens[] = {
      {"\\\\.\\C:", "\\\\.\\C:"},
      {"\\\\.\\C:\\mnt\\x", "\\\\.\\Volume{b}"},
      {"\\\\.\\D:\\m", "\\\\.\\Volume{c}"},
      {"\\\\.\\C:\\mnt\\x\\", "\\\\.\\C:\\mnt\\x\\"},
      {"\\\\.\\c:\\mnt\\x", "\\\\.\\c:\\mnt\\x"},
  };
  DeviceSpace space;
  for (const auto& [path, opened] : opens) {
    open_device(space, path, 0, 3, 3, 0x80);
    EXPECT_EQ(host->opened.back(), opened) << path;
  }
}

TEST_F(Devices, DosWalkPassesOverLongNamesAndRetriesFailedLists) {
  host->add("A" + std::string(506, 'a'));  // "\\.\" + 507 characters fits 512 bytes
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

TEST_F(Devices, NumberAndEchoWords) {
  const std::string fits = "\\Dsk" + std::string(251, 'a'),
                    huge = "\\Dsk" + std::string(20000, 'c');
  const Lines three = {"1 Harddisk1", "2 Harddisk2", "3 Harddisk3"};
  const std::string too_long = " -> Device name too long.              \n";
  const struct {
    std::string word;
    Lines devices;
    std::string err = "";
  } cases[] = {
      {"hd", {}},
      {"C:", {}},
      {"\\\\.\\PhysicalDrive3", {"3 Harddisk3"}},
      {"hd-5", {"5 Harddisk5"}},
      {"hd5-", {"5 Harddisk5"}},
      {"hd3-1", three},
      {"hd1-3-5", three},
      {"C:\\Dmr1\\Dsk3", three},
      {"hd2147483646-9999999999",
       {"2147483646 Harddisk2147483646", "2147483647 Harddisk2147483647"}},
      {"\\Dsk7", {"-2 \\Dsk7"}},
      {"x:\\Dmt", {"-2 x:\\Dmt"}},
      {fits, {"-2 " + fits}},
      {fits + "b", {}, fits + too_long},
      {huge, {}, huge.substr(0, 255) + too_long},
  };
  for (const auto& c : cases) {
    DeviceSpace space;
    testing::internal::CaptureStderr();
    EXPECT_EQ(expand(space, c.word, false), c.devices) << c.word.substr(0, 30);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
  }
  EXPECT_TRUE(host->list_sizes.empty() && host->commands.empty());
}

// Every kind of DOS target: volumes, dynamic volumes, partitions, whole disks, others.
class DosWords : public Devices {
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
  const Lines all = {
      "1 C:\\Vol3\\Dsk1", "3 C:\\mnt\\x\\Vol7\\Dsk3", "1 D:\\Vol5\\Dsk1", "2 D:\\Vol5\\Dsk2",
      "4 E:\\Dmt2\\Dsk4", "5 E:\\Dmt2\\Dsk5",         "2 F:\\Dsk2\\p1",   "0 G:Harddisk0",
      "4 H:Unknown4",     "5 J:\\Dmr1\\Dsk5",         "2 L:\\Dsk2\\p-1"};
  const std::tuple<const char*, unsigned, Lines> cases[] = {
      {"c:", 0, {}},
      {"Phys", FMT_VOLGUID, {"0 Harddisk0"}},
      {"Volume", 0, {"2 \\Dms1\\Dsk2"}},
      {"Volume", FMT_VOLGUID, {"2 Volume{a}\\Dms1\\Dsk2"}},
      {"LETALL", 0, all},
  };
  for (const auto& [word, fmt, devices] : cases) {
    DeviceSpace space;
    testing::internal::CaptureStderr();
    EXPECT_EQ(expand(space, word, true, fmt), devices) << word;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << word;
  }
  // A volume spanning disks gives them one by one without advancing the walk.
  DeviceSpace space;
  WordCursor cursor{WordCursor::DosStart, 0, 5};
  char path[kDevicePathSize], name[kDisplayNameSize];
  ASSERT_EQ(expand_device_word(space, cursor, "D:", path, name, sizeof name, 0), 1);
  const std::size_t position = cursor.position;
  std::strcpy(path, "kept");
  ASSERT_EQ(expand_device_word(space, cursor, "D:", path, name, sizeof name, 0), 2);
  EXPECT_STREQ(name, "D:\\Vol5\\Dsk2");
  EXPECT_STREQ(path, "kept");
  EXPECT_EQ(cursor.extent_index, 0);
  EXPECT_EQ(cursor.position, position);
  // Failing volumes are reported outside -CLI and passed over; the disk number is kept whole.
  host->volumes["\\\\.\\C:"].open_error = 5;
  host->volumes["\\\\.\\D:"].extents_error = 1117;
  host->volumes["\\\\.\\E:"].disks.clear();
  host->volumes["\\\\.\\J:"].disks = {0xFFFFFFFFu};
  for (int cli : {0, 1}) {
    cli_mode = cli;
    DeviceSpace failing;
    testing::internal::CaptureStderr();
    EXPECT_EQ(expand(failing, "LETALL", true),
              (Lines{"3 C:\\mnt\\x\\Vol7\\Dsk3", "2 F:\\Dsk2\\p1", "0 G:Harddisk0", "4 H:Unknown4",
                     std::to_string(INT_MAX) + " J:\\Dmr1\\Dsk4294967295", "2 L:\\Dsk2\\p-1"}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              cli ? "" : "Createfile : [5] message 5\nDeviceIoControl : [1117] message 1117\n");
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
}

}  // namespace
}  // namespace vox::test
