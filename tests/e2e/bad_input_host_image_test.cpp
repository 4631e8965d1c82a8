// Host images that cannot be used: the program stops before anything else runs (-h shows
// it) with one line on stderr that names the file and the place of the problem, status 1.
#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

TEST(BadInputHostImage, RefusedInOneLine) {
  std::string every_byte, objects;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);  // NUL has a row of its own
  for (int i = 0; i < 100000; ++i) objects += "{\"a\": ";
  // Nested past the parser's depth, with a key after it.
  const auto note = [](const std::string& d) { return "{\"_note\": " + d + ", \"disks\": []}"; };
  const std::string deep = "_note: nested deeper than 512 levels";
  const struct {
    const char* what;
    std::string text;  // empty: the path is a folder
    std::string place;
  } cases[] = {
      {"a folder", "", "cannot be read"},
      {"binary junk", every_byte, "line 1, column 1: syntax error"},
      {"invalid UTF-8", "{\"_x\": \"\xff\"}", "ill-formed UTF-8"},
      {"past a double", R"({"disks": [{"number": 1e400}]})", "number overflow parsing '1e400'"},
      {"NUL and junk after", "{\"disks\": []}\0{junk"s, "line 1, column 14: NUL byte in the text"},
      {"page of a wrong type", R"({"disks": [{"number": 1, "pages": {"83": []}}]})",
       "disks[0].pages.83: "},
      {"bad hex", R"({"disks": [{"number": 1, "pages": {"83": {"sense": "7"}}}]})",
       "disks[0].pages.83.sense: "},
      {"DOS name twice",
       R"({"dos_devices": [{"name": "C:", "target": "a"}, {"name": "C:", "target": "b"}]})",
       "dos_devices[1].name: "},
      {"disk number twice", R"({"disks": [{"number": 0}, {"number": 2}, {"number": 0}]})",
       "disks[2].number: "},
      {"arrays 100,000 deep", note(std::string(100000, '[') + std::string(100000, ']')), deep},
      {"objects 100,000 deep", note(objects + "1" + std::string(100000, '}')), deep},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Host host(c.text);
    if (c.text.empty()) std::filesystem::remove(host.path);
    if (c.text.empty()) std::filesystem::create_directory(host.path);
    const RunResult r = host.run("-h");
    const std::string head = "voxmira: host image '" + host.path + "': ";
    EXPECT_TRUE(r.out.empty() && r.exit_code == 1 && r.err.starts_with(head)) << r.err;
    EXPECT_NE(r.err.find(c.place, head.size()), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
