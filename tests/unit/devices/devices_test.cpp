#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <sstream>

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
using Disks = std::vector<std::uint32_t>;

// A VOLUME_DISK_EXTENTS answer: the count, 4 bytes of padding, a 24-byte record per disk.
std::vector<std::uint8_t> extents_answer(const Disks& disks, std::size_t count, std::size_t cut) {
  std::vector<std::uint8_t> out(8 + 24 * disks.size(), 0xEE);
  auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); };
  put(0, static_cast<std::uint32_t>(count)), put(4, 0);
  for (std::size_t i = 0; i < disks.size(); ++i) put(8 + 24 * i, disks[i]);
  return out.resize(std::min(cut, out.size())), out;
}

struct Volume {
  Disks disks{};
  std::uint32_t open_error = 0, extents_error = 0;
};

// A Windows host: DOS names with their targets, volumes with their disks, what mountvol
// prints. Records the list sizes asked for and the commands run.
class Host : public FakeBackend {
 public:
  std::u16string dos_list;  // each name followed by a 0 unit; the closing 0 is added
  std::map<std::string, std::string> targets;
  std::map<std::string, Volume> volumes;  // by the path CreateFile is given
  std::uint32_t list_error = 0;
  std::string mountvol, commands;
  bool mountvol_runs = true, unterminated = false;  // names run to the end of the buffer
  Disks list_sizes;
  int open_handles = 0;

  void add(const std::string& name, const std::string& target = "") {
    dos_list.append(name.begin(), name.end()), dos_list.push_back(u'\0');
    if (!target.empty()) targets[name] = target;
  }
  std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) override {
    list_sizes.push_back(size);
    if (unterminated) return std::fill(buffer, buffer + size - 513, u'y'), size - 513;
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
    const auto answer = extents_answer(v.disks, v.disks.size(), out_size);
    *returned = static_cast<std::uint32_t>(answer.size());
    return std::memcpy(out, answer.data(), answer.size()), true;
  }
  std::FILE* popen(const char* command, const char* mode) override {
    commands += std::string(command) + "|" + mode + "\n";
    if (!mountvol_runs) return nullptr;
    std::FILE* f = std::tmpfile();
    std::fputs(mountvol.c_str(), f);
    return std::rewind(f), f;
  }

 private:
  std::vector<const Volume*> handles_;
};

// A host with every kind of DOS target: volumes, dynamic volumes, partitions, whole disks,
// others, a name without target, and a volume mounted on a directory of C:.
class Devices : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    // "name=target" words; every target is below \Device\.
    std::istringstream names(
        "C:=HarddiskVolume3 PhysicalDrive0=Harddisk0\\DR0 D:=HarddiskVolume5 "
        "Volume{a}=HarddiskDmVolumes\\Dg0\\Volume1 E:=HarddiskDmVolumes\\Dg0\\Stripe2 "
        "F:=Harddisk2\\Partition1 G:=Harddisk0\\Partition0 H:=Harddisk4\\Foo I:=CdRom0 "
        "J:=HarddiskDmVolumes\\Dg0\\Raid1 K:=Harddisk L:=Harddisk2\\Partition c:=");
    for (std::string w; names >> w;) {
      const std::size_t eq = w.find('=');
      host->add(w.substr(0, eq), eq + 1 < w.size() ? "\\Device\\" + w.substr(eq + 1) : "");
    }
    host->volumes = {{"\\\\.\\C:", {{1}}},    {"\\\\.\\D:", {{1, 2}}}, {"\\\\.\\Volume{a}", {{2}}},
                     {"\\\\.\\E:", {{4, 5}}}, {"\\\\.\\J:", {{5}}},    {"\\\\.\\Volume{b}", {{3}}}};
    host->targets["Volume{b}"] = "\\Device\\HarddiskVolume7";
    host->mountvol = "\\\\?\\Volume{b}\\\n  C:\\mnt\\x\\\n  C:\\\n";
  }
  void TearDown() override { cli_mode = 0; }
  void reset() {
    auto fake = std::make_unique<Host>();
    host = fake.get();
    plat::set_backend(std::move(fake));
    cli_mode = 0;
  }
  // "<unit> <display name>|" for every device a word expands into.
  std::string expand(DeviceSpace& space, const std::string& word, bool dos, unsigned fmt = 0) {
    WordCursor cursor;
    cursor.state = dos ? WordCursor::DosStart : WordCursor::NumberStart;
    char path[kDevicePathSize], name[kDisplayNameSize];
    std::string out;
    for (int r, n = 0; n < 2000 && (r = expand_device_word(space, cursor, word.c_str(), path, name,
                                                           sizeof name, fmt)) != -1;
         ++n) {
      out += std::to_string(r) + " " + name + "|";
    }
    return out;
  }
  Host* host = nullptr;
};

TEST_F(Devices, DosNameListFailuresAndBounds) {
  EXPECT_EQ(parse_list_base_size("99999999999999999999999"), 4294967295u);
  const std::size_t attempts[][3] = {
      {2147483647u, 2, 4294967294u}, {2147483648u, 2, 0}, {1, 4294967296u, 0}};
  for (const auto& a : attempts) EXPECT_EQ(list_attempt_size(a[0], a[1]), a[2]) << a[0];
  const char* no_memory = "QueryDosDevice : [8] message 8\n";  // the second size fails below
  const std::tuple<Disks, std::uint32_t, ListAllocator, int, const char*> cases[] = {
      {{98}, 5, zeroed_alloc, 0, "QueryDosDevice : [5] message 5\n"},
      {{98}, 5, zeroed_alloc, 1, ""},
      {{}, 0, [](std::size_t) -> void* { return nullptr; }, 0, no_memory},
      {{98}, 0, [](std::size_t n) { return n > 150 ? nullptr : std::calloc(n, 1); }, 0, no_memory},
  };

  for (const auto& [sizes, list_error, allocate, cli, message] : cases) {
    reset();
    host->add(std::string(298, 'x'));
    host->list_error = list_error, cli_mode = cli;
    DosNameList list;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(list.build(100, allocate));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), message);
    EXPECT_EQ(host->list_sizes, sizes);
  }
  // The whole list is narrowed to ASCII; a buffer without 512 units to spare is refused.
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
  host->unterminated = true;  // the walk of the list stops at its last byte
  DosNameList list;
  ASSERT_TRUE(list.build(600));
  EXPECT_EQ(list.at(list.next(0)), std::string(85, 'y'));
  EXPECT_EQ(list.next(list.next(0)), list.size());
  EXPECT_EQ(list.at(list.size()), "");
}

TEST_F(Devices, MountvolOutputBecomesTheMountTable) {
  const std::string v = "\\\\?\\V\\";
  const std::pair<Lines, Lines> cases[] = {
      {{"C:\\a\\", v, "C:\\", "D:\\", "C:\\b\\", "D:\\my", "D:\\c\\"},
       {"C:\\b|V", "D:\\my...|V", "D:\\c|V"}},
      {{v, "C:\\b\\", "\\\\?\\Volume{2}\\", "C:\\a\\"}, {"C:\\b|V", "C:\\a|Volume{2}"}},
      {{v, "C:\\a\\", "***", "C:\\b\\", v, "c:\\x\\", "C:\\y\\", v, "C:", "C:\\z\\"}, {"C:\\a|V"}},
      {{"\\\\?\\G\\Dev\\X\\", "E:\\m\\", "\\\\?\\W", "E:\\n\\"}, {"E:\\m|G\\Dev\\X", "E:\\n|W"}},
      {{v + "\r", "C:\\a\\\r", "C:\\\r", "C:\\b\r"}, {"C:\\a|V", "C:\\b...|V"}},
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
  // A path is found only whole; mountvol is run once, and when it cannot be run, silently.
  host->mountvol = "\\\\?\\Volume{1}\\\n C:\\mnt\\data\\\n";
  MountTable table;
  EXPECT_STREQ(mount_point_volume(table, "C:\\mnt\\data"), "Volume{1}");
  for (const char* miss : {"C:\\mnt\\dat", "C:\\mnt\\data\\", "c:\\mnt\\data", ""}) {
    EXPECT_EQ(mount_point_volume(table, miss), nullptr) << miss;
  }
  EXPECT_EQ(host->commands, "mountvol.exe 2>NUL|rt\n");
  host->mountvol_runs = false;
  MountTable none;
  testing::internal::CaptureStderr();
  EXPECT_EQ(next_mount_point(none, 'C', kNoMountPoint), kNoMountPoint);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// The cap at 1024 disks is checked end to end with a volume on 1500.
TEST(DiskExtentsAnswer, BoundedByTheRecordsReturned) {
  const std::pair<std::vector<std::uint8_t>, Disks> cases[] = {
      {{}, {}},
      {extents_answer({3, 4}, 0, 56), {}},
      {extents_answer({3, ~0u}, 5, 56), {3, ~0u}},
      {extents_answer({3, 4}, 2, 55), {3}},
  };
  for (const auto& [answer, disks] : cases) {
    DiskExtents extents;
    extents.count = 77;
    decode_disk_extents(answer, extents);
    EXPECT_EQ(Disks(extents.disks, extents.disks + extents.count), disks) << answer.size();
  }
}

// Number words, echo words and DOS words, each display-name form; then failing volumes.
TEST_F(Devices, WordsExpandIntoDisplayNames) {
  const std::string huge = "\\Dsk" + std::string(20000, 'c');
  const char* three = "1 Harddisk1|2 Harddisk2|3 Harddisk3|";
  const struct {
    std::string word;
    bool dos;
    unsigned fmt;
    std::string devices, err = "";
  } cases[] = {
      {"hd", false, 0, ""},
      {"hd1-3-5", false, 0, three},
      {"hd2147483646-99999999999", false, 0,
       "2147483646 Harddisk2147483646|2147483647 Harddisk2147483647|"},
      {huge, false, 0, "", huge.substr(0, 255) + " -> Device name too long.              \n"},
      {"c:", true, 0, ""},  // a name without target
      {"LETAL", true, 0, ""},
      {"C:", true, 0, "1 C:\\Vol3\\Dsk1|3 C:\\mnt\\x\\Vol7\\Dsk3|"},
      {"C:\\mnt", true, 0, "3 C:\\mnt\\x\\Vol7\\Dsk3|"},  // mount points only
      {"C:\\mnt\\x\\", true, 0, ""},
      {"Phys", true, FMT_VOLGUID, "0 Harddisk0|"},
      {"Volume", true, 0, "2 \\Dms1\\Dsk2|"},
      {"Volume", true, FMT_VOLGUID, "2 Volume{a}\\Dms1\\Dsk2|"},
      {"LETALLX", true, 0,
       "1 C:\\Vol3\\Dsk1|3 C:\\mnt\\x\\Vol7\\Dsk3|1 D:\\Vol5\\Dsk1|2 D:\\Vol5\\Dsk2|"
       "4 E:\\Dmt2\\Dsk4|5 E:\\Dmt2\\Dsk5|2 F:\\Dsk2\\p1|0 G:Harddisk0|4 H:Unknown4|"
       "5 J:\\Dmr1\\Dsk5|2 L:\\Dsk2\\p-1|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word.substr(0, 30));
    SetUp();
    DeviceSpace space;
    testing::internal::CaptureStderr();
    EXPECT_EQ(expand(space, c.word, c.dos, c.fmt), c.devices);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err);
    // The DOS list is read once per space, and not for mount points; mountvol only for C:.
    const bool mount_points = c.word.rfind("C:", 0) == 0 || c.word.rfind("LETALL", 0) == 0;
    EXPECT_EQ(host->list_sizes.size(), !c.dos || (c.word[0] == 'C' && c.word[2]) ? 0u : 1u);
    expand(space, "Phys", true);
    EXPECT_EQ(host->list_sizes.size(), 1u);
    EXPECT_EQ(host->commands, mount_points ? "mountvol.exe 2>NUL|rt\n" : "");
  }
  host->list_error = 5;  // a list that could not be read is reported, and read again later
  DeviceSpace retried;
  testing::internal::CaptureStderr();
  EXPECT_EQ(expand(retried, "Phys", true), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "QueryDosDevice : [5] message 5\n");
  host->list_error = 0;
  EXPECT_EQ(expand(retried, "Phys", true), "0 Harddisk0|");
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
              "3 C:\\mnt\\x\\Vol7\\Dsk3|2 F:\\Dsk2\\p1|0 G:Harddisk0|4 H:Unknown4|" +
                  std::to_string(INT_MAX) + " J:\\Dmr1\\Dsk4294967295|2 L:\\Dsk2\\p-1|");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              cli ? "" : "Createfile : [5] message 5\nDeviceIoControl : [1117] message 1117\n");
    EXPECT_EQ(host->open_handles, 0);
  }
}

}  // namespace
}  // namespace vox::test
