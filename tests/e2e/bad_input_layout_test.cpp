// Layout files the tool did not write, or not for this volume: 0, 199, 200 and 200,000
// bytes, headers that name another volume, and a layout folder of 300 characters. The
// trace shows whether a SET control code reached the disk; the host image, which a
// successful SET rewrites, shows whether the disk changed.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

constexpr int kSerial = 12345;
constexpr int kLdev = 1234;

// Disk 1: volume 12345/1234 with one MBR partition.
Json layout_host() {
  Json d = disk(1, volume_std());
  d["pages"]["83"]["data"] = hex(rb_page(kSerial, kLdev).build());
  d["layout"] = {{"style", "mbr"},
                 {"signature", "0x5A1B2C3D"},
                 {"partitions", {{{"offset", 1048576}, {"length", 104857600}, {"type", 7}}}}};
  return Json{{"disks", {d}}};
}

// A layout file of `size` bytes whose header names serial and LDEV; the rest is junk.
std::string layout_file(int serial, int ldev, std::size_t size) {
  std::string file(200, '\0');
  const std::string text = "DEVFILE = \\\\.\\PhysicalDrive1\n";
  file.replace(0, text.size(), text);
  for (int k = 0; k < 4; ++k) {
    file[192 + k] = static_cast<char>(static_cast<std::uint32_t>(serial) >> (8 * k));
    file[196 + k] = static_cast<char>(static_cast<std::uint32_t>(ldev) >> (8 * k));
  }
  file.resize(size, '\x5a');
  return file;
}

bool has_set_code(const std::string& trace) {
  return trace.find(" 0x0007c010") != std::string::npos ||
         trace.find(" 0x0007c054") != std::string::npos;
}

TEST(BadInputLayout, FilesThatDoNotFit) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses windir and TEMP itself";
  const Host host(layout_host());
  const std::string windir = host.dir().file("win");
  std::filesystem::create_directories(windir);
  const std::string name = windir + "\\VOL12345_1234.ini";
  const std::string error = "ERROR: [VOL12345_1234] -> Harddisk1        [OPEN-V          ]\n";
  const auto short_file = [&](unsigned size) {
    return format("%s : layout file of %u byte%s is too short for its 200-byte header\n",
                  name.c_str(), size, size == 1 ? "" : "s") +
           error;
  };
  const std::size_t read_cap[] = {32976, 147704};  // the file image of each form
  const struct {
    const char* what;
    std::string file;
    std::string err;  // empty: the header matches, so the layout goes to the disk
  } cases[] = {
      {"0 bytes", "", short_file(0)},
      {"199 bytes", layout_file(kSerial, kLdev, 199), short_file(199)},
      {"another LDEV", layout_file(kSerial, kLdev + 1, 200),
       "PhysicalDrive1 unmatch : ser = 12345 -> 12345,ldev = 1234 -> 1235" + error},
      {"another serial, 200,000 bytes", layout_file(-1, kLdev, 200000),
       "PhysicalDrive1 unmatch : ser = 12345 -> -1,ldev = 1234 -> 1234" + error},
      // A matching header is the only check: the disk gets the junk, and refuses it.
      {"200 bytes", layout_file(kSerial, kLdev, 200), ""},
      {"200,000 bytes", layout_file(kSerial, kLdev, 200000), ""},
  };
  for (const bool ex : {false, true}) {
    const std::string set = ex ? "IOCTL_SET_DRIVE_LAYOUT_EX" : "IOCTL_SET_DRIVE_LAYOUT";
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(ex ? "-svinfex " : "-svinf ") + c.what);
      host.dir().write("win/VOL12345_1234.ini", c.file);
      const std::string before = host.image();
      const RunResult r = host.run({ex ? "-svinfex" : "-svinf", "hd1"}, {}, {{"windir", windir}});
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err,
                c.err.empty() ? set + " : [87] The parameter is incorrect.\n" + error : c.err);
      EXPECT_EQ(r.exit_code, 1);
      const std::string trace = host.trace();
      const std::size_t got = std::min(c.file.size(), read_cap[ex]);
      EXPECT_NE(trace.find("ReadFile " + name + " " + std::to_string(read_cap[ex]) + " -> ok " +
                           std::to_string(got) + "\n"),
                std::string::npos)
          << trace;
      EXPECT_EQ(has_set_code(trace), c.err.empty()) << trace;
      EXPECT_EQ(host.image(), before);
    }
  }
}

// The layout folder comes from TEMP under VEXAM_USE_TEMP: 255 characters fit its
// buffer, 256 and 300 do not, and the file operation then fails on an empty name.
TEST(BadInputLayout, FolderLength) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses windir and TEMP itself";
  const Host host(layout_host());
  // An existing folder of exactly `length` characters, made of components below 256.
  const auto folder = [&host](std::size_t length) {
    std::string path = host.dir().path() + "/" + std::to_string(length);
    while (path.size() + 100 < length) path += "/" + std::string(99, 'd');
    path += "/" + std::string(length - path.size() - 1, 'e');
    std::filesystem::create_directories(path);
    return path;
  };
  const std::string error_save = "ERROR: Harddisk1        -> [VOL12345_1234] [OPEN-V          ]\n";
  const std::string no_path = "Createfile : [3] The system cannot find the path specified.\n";
  const auto too_long = [](std::size_t n) {
    return format(
        "TEMP : value of %zu characters is too long for a layout file folder (at most "
        "255)\n",
        n);
  };
  const struct {
    std::size_t length;
    const char* option;
    std::string out;
    std::string err;
  } cases[] = {
      {255, "-gvinf",
       "\\\\.\\PhysicalDrive1:\n# Harddisk1        -> [VOL12345_1234_5A1B2C3D] [OPEN-V          "
       "]\n",
       ""},
      {255, "-svinf", "[VOL12345_1234_5A1B2C3D] -> Harddisk1        [OPEN-V          ]\n", ""},
      {256, "-gvinf", "", too_long(256) + no_path + error_save},
      {300, "-gvinfex", "", too_long(300) + no_path + error_save},
      {300, "-svinf", "",
       too_long(300) + no_path + "ERROR: [VOL12345_1234] -> Harddisk1        [OPEN-V          ]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + " " + c.option);
    const RunResult r =
        host.run({c.option, "hd1"}, {}, {{"VEXAM_USE_TEMP", ""}, {"TEMP", folder(c.length)}});
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit_code, c.err.empty() ? 0 : 1);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
