// Files the tool reads but did not write: host images it cannot use, layout files of any
// size or for another volume, and layout folders too long for their buffer.
#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

// The program stops before anything else runs (-h shows it), status 1, with one line on
// stderr that names the file and the place of the problem.
TEST(BadInputHostImage, RefusedInOneLine) {
  std::string every_byte, objects;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);  // NUL has a row of its own
  for (int i = 0; i < 100000; ++i) objects += "{\"a\": ";
  const auto note = [](const std::string& d) { return "{\"_note\": " + d + ", \"disks\": []}"; };
  const std::string deep = "_note: nested deeper than 512 levels";
  const struct {
    const char* what;
    std::string text, place;  // text empty: the path is a folder
  } cases[] = {
      {"a folder", "", "cannot be read"},
      {"binary junk", every_byte, "line 1, column 1: syntax error"},
      {"invalid UTF-8", "{\"_x\": \"\xff\"}", "ill-formed UTF-8"},
      {"past a double", R"({"disks": [{"number": 1e400}]})", "number overflow parsing '1e400'"},
      {"NUL and junk after", "{\"disks\": []}\0{junk"s, "line 1, column 14: NUL byte in the text"},
      {"page of a wrong type", R"({"disks": [{"number": 1, "pages": {"83": []}}]})",
       "disks[0].pages.83: "},
      {"disk number twice", R"({"disks": [{"number": 0}, {"number": 2}, {"number": 0}]})",
       "disks[2].number: "},
      {"arrays 100,000 deep", note(std::string(100000, '[') + std::string(100000, ']')), deep},
      {"objects 100,000 deep", note(objects + "1" + std::string(100000, '}')), deep},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Host host(c.text);
    if (c.text.empty() && std::filesystem::remove(host.path))
      std::filesystem::create_directory(host.path);
    const RunResult r = host.run("-h");
    const std::string head = "voxmira: host image '" + host.path + "': ";
    EXPECT_TRUE(r.out.empty() && r.exit_code == 1 && r.err.starts_with(head)) << r.err;
    EXPECT_TRUE(holds(r.err, c.place));
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

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

// The trace shows what was read and whether a SET control code reached the disk; the host
// image, which a successful SET rewrites, shows whether the disk changed.
TEST(BadInputLayout, FilesThatDoNotFit) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses windir itself";
  const Host host(layout_host());
  const std::string windir = host.dir.file("win"), name = windir + "\\VOL12345_1234.ini";
  std::filesystem::create_directories(windir);
  const auto too_short = [&](int size) {
    return format("%s : layout file of %d byte%s is too short for its 200-byte header\n%s",
                  name.c_str(), size, size == 1 ? "" : "s", kRestoreError.c_str());
  };
  const struct {
    const char* what;
    std::string file, err;  // err empty: the header matches, so the layout goes to the disk
  } cases[] = {
      {"0 bytes", "", too_short(0)},
      {"199 bytes", layout_file(12345, 1234, 199), too_short(199)},
      {"another serial, 200,000 bytes", layout_file(~0u, 1234, 200000),
       "PhysicalDrive1 unmatch : ser = 12345 -> -1,ldev = 1234 -> 1234" + kRestoreError},
      // A matching header is the only check: the disk gets the junk, and refuses it.
      {"200 bytes", layout_file(12345, 1234, 200), ""},
      {"200,000 bytes", layout_file(12345, 1234, 200000), ""},
  };
  for (const std::string form : {"", "ex"}) {
    const std::size_t cap = form.empty() ? 32976 : 147704;  // the file image of each form
    for (const auto& c : cases) {
      SCOPED_TRACE(form + c.what);
      host.dir.write("win/VOL12345_1234.ini", c.file);
      const std::string before = read_output_file(host.path);
      const RunResult r = host.run("-svinf" + form + " hd1", {}, {{"windir", windir}});
      const std::string set = "IOCTL_SET_DRIVE_LAYOUT" + std::string(form.empty() ? "" : "_EX") +
                              " : [87] The parameter is incorrect.\n";
      expect_run(r, "", c.err.empty() ? set + kRestoreError : c.err, 1);
      const std::string trace = host.trace();
      EXPECT_TRUE(holds(trace, format("ReadFile %s %zu -> ok %zu\n", name.c_str(), cap,
                                      std::min(c.file.size(), cap))));
      // Either SET control code in the trace means the layout reached the disk.
      EXPECT_EQ(trace.find(" 0x0007c010") != trace.find(" 0x0007c054"), c.err.empty()) << trace;
      EXPECT_EQ(read_output_file(host.path), before);
    }
  }
}

// Under VEXAM_USE_TEMP the layout folder is TEMP: 255 characters fit its buffer, 256 do not,
// and the file operation then fails on an empty name.
TEST(BadInputLayout, FolderLength) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses TEMP itself";
  const Host host(layout_host());
  const std::string f255 = host.dir.path() + "/" + std::string(254 - host.dir.path().size(), 'e');
  std::filesystem::create_directory(f255);
  const std::string too_long =
      " characters is too long for a layout file folder (at most 255)\n"
      "Createfile : [3] The system cannot find the path specified.\nERROR: ";
  const struct {
    std::string temp, args, out, err;
  } cases[] = {
      {f255, "-gvinf",
       "\\\\.\\PhysicalDrive1:\n# Harddisk1        -> [VOL12345_1234_5A1B2C3D] [OPEN-V          "
       "]\n",
       ""},
      {f255 + "e", "-gvinf", "",
       "TEMP : value of 256" + too_long +
           "Harddisk1        -> [VOL12345_1234] [OPEN-V          ]\n"},
      {std::string(300, 'f'), "-svinf", "",
       "TEMP : value of 300" + too_long + kRestoreError.substr(7)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + " " + std::to_string(c.temp.size()));
    const RunResult r = host.run(c.args + " hd1", {}, {{"VEXAM_USE_TEMP", ""}, {"TEMP", c.temp}});
    expect_run(r, c.out, c.err, c.err.empty() ? 0 : 1);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
