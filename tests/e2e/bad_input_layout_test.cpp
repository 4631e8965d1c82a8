// Layout files the tool did not write, or not for this volume: 0, 199, 200 and 200,000
// bytes, headers that name another volume, and a layout folder of 300 characters. The
// trace shows whether a SET control code reached the disk; the host image, which a
// successful SET rewrites, shows whether the disk changed.
#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

// Disk 1: volume 12345/1234 with one MBR partition.
Json layout_host() {
  Json d = rb_disk(1);
  d["layout"] = {{"style", "mbr"},
                 {"signature", "0x5A1B2C3D"},
                 {"partitions", {{{"offset", 1048576}, {"length", 104857600}, {"type", 7}}}}};
  return Json{{"disks", {d}}};
}

// A layout file of `size` bytes whose header names serial and LDEV; the rest is junk.
std::string layout_file(std::uint32_t serial, std::uint32_t ldev, std::size_t size) {
  std::string file = "DEVFILE = \\\\.\\PhysicalDrive1\n";
  file.resize(200, '\0');
  for (int k = 0; k < 4; ++k) {
    file[192 + k] = static_cast<char>(serial >> (8 * k));
    file[196 + k] = static_cast<char>(ldev >> (8 * k));
  }
  file.resize(size, '\x5a');
  return file;
}

const char* const kNoWine = "Wine chooses windir and TEMP itself";
const std::string kRestoreError = "ERROR: [VOL12345_1234] -> Harddisk1        [OPEN-V          ]\n";

TEST(BadInputLayout, FilesThatDoNotFit) {
  if (wine_mode()) GTEST_SKIP() << kNoWine;
  const Host host(layout_host());
  const std::string windir = host.dir().file("win"), name = windir + "\\VOL12345_1234.ini";
  std::filesystem::create_directories(windir);
  const auto short_file = [&](unsigned size) {
    return format("%s : layout file of %u byte%s is too short for its 200-byte header\n",
                  name.c_str(), size, size == 1 ? "" : "s") +
           kRestoreError;
  };
  const struct {
    const char* what;
    std::string file;
    std::string err;  // empty: the header matches, so the layout goes to the disk
  } cases[] = {
      {"0 bytes", "", short_file(0)},
      {"199 bytes", layout_file(12345, 1234, 199), short_file(199)},
      {"another LDEV", layout_file(12345, 1235, 200),
       "PhysicalDrive1 unmatch : ser = 12345 -> 12345,ldev = 1234 -> 1235" + kRestoreError},
      {"another serial, 200,000 bytes", layout_file(~0u, 1234, 200000),
       "PhysicalDrive1 unmatch : ser = 12345 -> -1,ldev = 1234 -> 1234" + kRestoreError},
      // A matching header is the only check: the disk gets the junk, and refuses it.
      {"200 bytes", layout_file(12345, 1234, 200), ""},
      {"200,000 bytes", layout_file(12345, 1234, 200000), ""},
  };
  for (const bool ex : {false, true}) {
    const std::string set = ex ? "IOCTL_SET_DRIVE_LAYOUT_EX" : "IOCTL_SET_DRIVE_LAYOUT";
    const std::size_t read_cap = ex ? 147704 : 32976;  // the file image of each form
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(ex ? "-svinfex " : "-svinf ") + c.what);
      host.dir().write("win/VOL12345_1234.ini", c.file);
      const std::string before = host.image();
      expect_run(
          host.run(ex ? "-svinfex hd1" : "-svinf hd1", {}, {{"windir", windir}}), "",
          c.err.empty() ? set + " : [87] The parameter is incorrect.\n" + kRestoreError : c.err, 1);
      const std::string trace = host.trace();
      EXPECT_NE(trace.find(format("ReadFile %s %zu -> ok %zu\n", name.c_str(), read_cap,
                                  std::min(c.file.size(), read_cap))),
                std::string::npos)
          << trace;
      const bool set_sent = trace.find(" 0x0007c010") != std::string::npos ||
                            trace.find(" 0x0007c054") != std::string::npos;
      EXPECT_EQ(set_sent, c.err.empty()) << trace;
      EXPECT_EQ(host.image(), before);
    }
  }
}

// The layout folder comes from TEMP under VEXAM_USE_TEMP: 255 characters fit its buffer,
// 256 and 300 do not, and the file operation then fails on an empty name.
TEST(BadInputLayout, FolderLength) {
  if (wine_mode()) GTEST_SKIP() << kNoWine;
  const Host host(layout_host());
  const auto folder = [&host](std::size_t length) {  // made of components below 256
    std::string path = host.dir().path() + "/" + std::to_string(length);
    while (path.size() + 100 < length) path += "/" + std::string(99, 'd');
    path += "/" + std::string(length - path.size() - 1, 'e');
    std::filesystem::create_directories(path);
    return path;
  };
  const auto too_long = [](std::size_t n) {
    return format(
               "TEMP : value of %zu characters is too long for a layout file folder (at most "
               "255)\n",
               n) +
           "Createfile : [3] The system cannot find the path specified.\n";
  };
  const std::string save_error = "ERROR: Harddisk1        -> [VOL12345_1234] [OPEN-V          ]\n";
  const struct {
    std::size_t length;
    const char* option;
    std::string out, err;
  } cases[] = {
      {255, "-gvinf",
       "\\\\.\\PhysicalDrive1:\n# Harddisk1        -> [VOL12345_1234_5A1B2C3D] [OPEN-V          "
       "]\n",
       ""},
      {255, "-svinf", "[VOL12345_1234_5A1B2C3D] -> Harddisk1        [OPEN-V          ]\n", ""},
      {256, "-gvinf", "", too_long(256) + save_error},
      {300, "-gvinfex", "", too_long(300) + save_error},
      {300, "-svinf", "", too_long(300) + kRestoreError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + " " + c.option);
    const RunResult r =
        host.run(c.option + " hd1"s, {}, {{"VEXAM_USE_TEMP", ""}, {"TEMP", folder(c.length)}});
    expect_run(r, c.out, c.err, c.err.empty() ? 0 : 1);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
