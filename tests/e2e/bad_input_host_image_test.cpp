// Host images that cannot be used: the program stops before anything else runs with
// one line on stderr that names the file and the place of the problem, and status 1.
// -h shows that nothing else ran.
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

using namespace std::string_literals;

// The refusal: nothing on stdout, status 1, one line on stderr that names the file and
// holds `place`.
void expect_refused(const RunResult& res, const std::string& path, const std::string& place) {
  EXPECT_EQ(res.exit_code, 1);
  EXPECT_EQ(res.out, "");
  const std::string head = "voxmira: host image '" + path + "': ";
  EXPECT_EQ(res.err.substr(0, head.size()), head) << res.err;
  EXPECT_NE(res.err.find(place, head.size()), std::string::npos) << res.err;
  EXPECT_EQ(res.err.find('\n'), res.err.size() - 1) << res.err;
}

TEST(BadInputHostImage, RefusedInOneLine) {
  std::string every_byte;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);  // NUL has a case of its own
  const struct {
    const char* what;
    std::string text;  // empty: the path is a folder
    std::string place;
  } cases[] = {
      {"a folder", "", "cannot be read"},
      {"binary junk", every_byte, "line 1, column 1: syntax error"},
      {"invalid UTF-8", "{\"_x\": \"\xff\"}", "ill-formed UTF-8"},
      {"a number past the double range", R"({"disks": [{"number": 1e400}]})",
       "number overflow parsing '1e400'"},
      // A NUL byte is not JSON, wherever it stands.
      {"a NUL byte and junk after the document", "{\"disks\": []}\0{junk"s,
       "line 1, column 14: NUL byte in the text"},
      {"wrong type of a page", R"({"disks": [{"number": 1, "pages": {"83": []}}]})",
       "disks[0].pages.83: "},
      {"wrong type of mount points", R"({"mount_points": [{"volume": "V", "paths": "C:\\"}]})",
       "mount_points[0].paths: "},
      {"bad hex in sense bytes", R"({"disks": [{"number": 1, "pages": {"83": {"sense": "7"}}}]})",
       "disks[0].pages.83.sense: "},
      {"bad hex in an identifier",
       R"({"disks": [{"number": 1, "id_property": [{"code_set": 1, "type": 3, "id": "0x"}]}]})",
       "disks[0].id_property[0].id: "},
      {"duplicate DOS name",
       R"({"dos_devices": [{"name": "C:", "target": "a"}, {"name": "C:", "target": "b"}]})",
       "dos_devices[1].name: "},
      {"duplicate disk number among many",
       R"({"disks": [{"number": 0}, {"number": 1}, {"number": 2}, {"number": 1}]})",
       "disks[3].number: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path =
        c.text.empty() ? dir.file("image.json") : dir.write("image.json", c.text);
    if (c.text.empty()) std::filesystem::create_directories(path);
    Invocation r;
    r.args = {"-h"};
    r.env = {{"VOXMIRA_HOST", path}};
    const RunResult res = run(r);
    EXPECT_EQ(res.signal, 0);
    expect_refused(res, path, c.place);
  }
}

// A note nested 100,000 levels deep, with a key after it, is refused like any other
// unusable image.
TEST(BadInputHostImage, DeepNesting) {
  std::string objects;
  for (int i = 0; i < 100000; ++i) objects += "{\"a\": ";
  objects += "1" + std::string(100000, '}');
  for (const std::string& deep : {std::string(100000, '[') + std::string(100000, ']'), objects}) {
    const Host host("{\"_note\": " + deep + ", \"disks\": [{\"number\": 2147483647}]}");
    expect_refused(host.run({"hd2147483647"}), host.dir().file("host.json"),
                   "_note: nested deeper than 512 levels");
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
