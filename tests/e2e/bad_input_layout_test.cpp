// Layout files the tool did not write, or not for this volume, and layout folders too long
// for their buffer. The trace shows whether a SET control code reached the disk; the host
// image, which a successful SET rewrites, shows whether the disk changed.
#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

const std::string kRestoreError = "ERROR: [VOL12345_1234] -> Harddisk1        [OPEN-V          ]\n";

// Disk 1: volume 12345/1234 with one MBR partition.
Json layout_host() {
  Json d = rb_disk(1);
  d["layout"] = Json::parse(R"({"style": "mbr", "signature": "0x5A1B2C3D",
      "partitions": [{"offset": 1048576, "length": 104857600, "type": 7}]})");
  return Json{{"disks", {d}}};
}

// A layout file of `size` bytes whose 200-byte header names serial and LDEV; junk follows.
std::string layout_file(std::uint32_t serial, std::uint32_t ldev, std::size_t size) {
  std::string file = "DEVFILE = \\\\.\\PhysicalDrive1\n";
  file.resize(192, '\0');
  for (const std::uint32_t v : {serial, ldev})
    for (int k = 0; k < 4; ++k) file += static_cast<char>(v >> (8 * k));
  file.resize(size, '\x5a');
  return file;
}

TEST(BadInputLayout, FilesThatDoNotFit) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses windir itself";
  const Host host(layout_host());
  const std::string windir = host.dir.file("win"), name = windir + "\\VOL12345_1234.ini";
  std::filesystem::create_directories(windir);
  const auto too_short = [&](unsigned size) {
    return format("%s : layout file of %u byte%s is too short for its 200-byte header\n",
                  name.c_str(), size, size == 1 ? "" : "s") +
           kRestoreError;
  };
  const std::string unmatch = "PhysicalDrive1 unmatch : ser = 12345 -> ";
  const struct {
    const char* what;
    std::string file, err;  // err empty: the header matches, so the layout goes to the disk
  } cases[] = {
      {"0 bytes", "", too_short(0)},
      {"199 bytes", layout_file(12345, 1234, 199), too_short(199)},
      {"another LDEV", layout_file(12345, 1235, 200),
       unmatch + "12345,ldev = 1234 -> 1235" + kRestoreError},
      {"another serial, 200,000 bytes", layout_file(~0u, 1234, 200000),
       unmatch + "-1,ldev = 1234 -> 1234" + kRestoreError},
      // A matching header is the only check: the disk gets the junk, and refuses it.
      {"200 bytes", layout_file(12345, 1234, 200), ""},
      {"200,000 bytes", layout_file(12345, 1234, 200000), ""},
  };
  for (const std::string form : {"", "_EX"}) {
    const std::size_t cap = form.empty() ? 32976 : 147704;  // the file image of each form
    for (const auto& c : cases) {
      SCOPED_TRACE(form + c.what);
      host.dir.write("win/VOL12345_1234.ini", c.file);
      const std::string before = read_output_file(host.path);
      const RunResult r =
          host.run(form.empty() ? "-svinf hd1" : "-svinfex hd1", {}, {{"windir", windir}});
      const std::string refused =
          "IOCTL_SET_DRIVE_LAYOUT" + form + " : [87] The parameter is incorrect.\n";
      expect_run(r, "", c.err.empty() ? refused + kRestoreError : c.err, 1);
      const std::string trace = host.trace();
      EXPECT_NE(trace.find(format("ReadFile %s %zu -> ok %zu\n", name.c_str(), cap,
                                  std::min(c.file.size(), cap))),
                std::string::npos)
          << trace;
      const bool set = trace.find(" 0x0007c010") != std::string::npos ||
                       trace.find(" 0x0007c054") != std::string::npos;
      EXPECT_EQ(set, c.err.empty()) << trace;
      EXPECT_EQ(read_output_file(host.path), before);
    }
  }
}

// The layout folder comes from TEMP under VEXAM_USE_TEMP: 255 characters fit its buffer,
// 256 and 300 do not, and the file operation then fails on an empty name.
TEST(BadInputLayout, FolderLength) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses TEMP itself";
  const Host host(layout_host());
  const auto folder = [&host](std::size_t length) {  // made of components below 256
    std::string path = host.dir.path() + "/" + std::to_string(length);
    while (path.size() + 100 < length) path += "/" + std::string(99, 'd');
    path += "/" + std::string(length - path.size() - 1, 'e');
    std::filesystem::create_directories(path);
    return path;
  };
  const auto too_long = [](std::size_t n) {
    return format(
        "TEMP : value of %zu characters is too long for a layout file folder (at most 255)\n"
        "Createfile : [3] The system cannot find the path specified.\n",
        n);
  };
  const std::string saved = "Harddisk1        -> [VOL12345_1234";
  const struct {
    std::size_t length;
    std::string args, out, err;
  } cases[] = {
      {255, "-gvinf", "\\\\.\\PhysicalDrive1:\n# " + saved + "_5A1B2C3D] [OPEN-V          ]\n", ""},
      {255, "-svinf", "[VOL12345_1234_5A1B2C3D] -> Harddisk1        [OPEN-V          ]\n", ""},
      {256, "-gvinf", "", too_long(256) + "ERROR: " + saved + "] [OPEN-V          ]\n"},
      {300, "-gvinfex", "", too_long(300) + "ERROR: " + saved + "] [OPEN-V          ]\n"},
      {300, "-svinf", "", too_long(300) + kRestoreError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + c.args);
    const RunResult r =
        host.run(c.args + " hd1", {}, {{"VEXAM_USE_TEMP", ""}, {"TEMP", folder(c.length)}});
    expect_run(r, c.out, c.err, c.err.empty() ? 0 : 1);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
