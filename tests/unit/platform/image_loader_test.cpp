// Reading host images: defaults of a good image, and one precise line for every kind
// of broken one.
#include <gtest/gtest.h>

#include "platform/backends.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using namespace std::string_view_literals;

using test::load_image;
using test::load_problem;

TEST(ImageLoader, DefaultsOfAbsentKeysAndFreeKeys) {
  const HostImage image = load_image(R"({
    "disks": [{"number": 1, "device_property": "", "inquiry_status": "0x08", "_note": "free"},
              {"number": 2, "layout": {"style": "gpt", "partitions": [
                {"offset": 0, "length": 1, "attributes": "0x8000000000000001"}, {"offset": 0, "length": 1}]}}],
    "dos_devices": [{"name": "D:", "target": ["\\Device\\CdRom0", "\\Device\\X"]}],
    "mount_points": [{"volume": "Volume{def}"}], "pairs": {"anything": [1, "x"]}
  })");
  const Disk& d1 = image.disks[0];
  EXPECT_EQ(d1.inquiry_status, 8);
  EXPECT_TRUE(d1.inquiry.empty());
  EXPECT_EQ(d1.open_error + d1.inquiry_error + d1.layout_error + d1.set_layout_error, 0u);
  EXPECT_TRUE(d1.device_property.has_value() && d1.device_property->empty());
  EXPECT_FALSE(d1.id_property.has_value());
  EXPECT_EQ(d1.layout.style, LayoutStyle::mbr);  // no layout: an empty MBR table
  EXPECT_TRUE(d1.layout.partitions.empty());
  const auto& parts = image.disks[1].layout.partitions;
  EXPECT_EQ(parts[0].attributes, 0x8000000000000001u);
  EXPECT_EQ(parts[1].number, 2u);  // its place in the list
  EXPECT_TRUE(guid_is_zero(parts[1].gpt_type));
  EXPECT_EQ(image.dos_devices[0].targets.size(), 2u);
  EXPECT_TRUE(image.mount_points[0].paths.empty());
  EXPECT_FALSE(image.mountvol_output.has_value());
}

TEST(ImageLoader, EmptyObjectIsAnEmptyHostRootedAtItsFolder) {
  const HostImage image = load_image("{}");
  EXPECT_TRUE(image.disks.empty());
  EXPECT_EQ(image.root, std::filesystem::path("/img"));
  EXPECT_EQ(load_image(R"({"root": "..\\up"})").root, std::filesystem::path("/up"));
  EXPECT_EQ(load_image(R"({"root": "/abs/x"})").root, std::filesystem::path("/abs/x"));
}

TEST(ImageLoader, ReportsWhereAndWhatIsWrong) {
  struct Case {
    std::string_view json;
    const char* problem;
  };
  const Case cases[] = {
      // Syntax and shape.
      {"",
       "line 1, column 1: syntax error while parsing value - unexpected end of input; "
       "expected '[', '{', or a literal"},
      {"{\n  \"disks\": [,]\n}",
       "line 2, column 13: syntax error while parsing value - unexpected ','; expected '[', '{', "
       "or a literal"},
      {"{\"disks\": []}\n \0{\"disks\": 5}"sv, "line 2, column 2: NUL byte in the text"},
      {R"({"disks": [{"number": 1e400}]})", "number overflow parsing '1e400'"},
      {"[]", "top level: expected an object"},
      {R"({"disk": []})", "top level: unknown key 'disk'"},
      {R"({"disks": [], "disks": []})", "top level: key 'disks' appears twice"},
      // Control characters the image spells with escapes stay escaped in the one line.
      {R"({"a\nb\u0001": 1})", "top level: unknown key 'a\\nb\\x01'"},
      {R"({"disks": [{"number": 0, "x\ty": 1, "x\ty": 2}]})",
       "disks[0]: key 'x\\ty' appears twice"},
      {R"({"disks": [{"number": 0}, {"number": 1, "pages": {"83": {"data": "", "data": ""}}}]})",
       "disks[1].pages.83: key 'data' appears twice"},
      {R"({"disks": {}})", "disks: expected an array"},
      {R"({"disks": [1]})", "disks[0]: expected an object"},
      // Disks.
      {R"({"disks": [{}]})", "disks[0]: missing key 'number'"},
      {R"({"disks": [{"number": -1}]})", "disks[0].number: must be from 0 to 2147483647"},
      {R"({"disks": [{"number": 2147483648}]})", "disks[0].number: must be from 0 to 2147483647"},
      {R"({"disks": [{"number": 1.5}]})", "disks[0].number: expected an integer"},
      {R"({"disks": [{"number": "1"}]})", "disks[0].number: expected an integer"},
      {R"({"disks": [{"number": 1, "open_error": "0x"}]})",
       "disks[0].open_error: expected an integer or a text \"0x...\""},
      {R"({"disks": [{"number": 1}, {"number": 2}, {"number": 1}]})",
       "disks[2].number: disk 1 is already listed at disks[0]"},
      {R"({"disks": [{"number": 1, "inqiury": ""}]})", "disks[0]: unknown key 'inqiury'"},
      {R"({"disks": [{"number": 0}, {"number": 1}, {"number": 2, "inquiry": "00 11 2x"}]})",
       "disks[2].inquiry: bad hex digit at position 8"},
      {R"({"disks": [{"number": 1, "inquiry_status": 256}]})",
       "disks[0].inquiry_status: must be from 0 to 255"},
      {R"({"disks": [{"number": 1, "pages": []}]})", "disks[0].pages: expected an object"},
      {R"({"disks": [{"number": 1, "pages": {"e2": {}}}]})",
       "disks[0].pages.e2: a page key is two upper-case hex digits, like \"83\" or \"E2\""},
      {R"({"disks": [{"number": 1, "pages": {"83": {"stat": 2}}}]})",
       "disks[0].pages.83: unknown key 'stat'"},
      {R"({"disks": [{"number": 1, "pages": {"83": {"error": -5}}}]})",
       "disks[0].pages.83.error: must be from 0 to 4294967295"},
      {R"({"disks": [{"number": 1, "id_property": {}}]})",
       "disks[0].id_property: expected an array"},
      {R"({"disks": [{"number": 1, "id_property": [{"code_set": 1, "type": 3}]}]})",
       "disks[0].id_property[0]: missing key 'id'"},
      // Layouts.
      {R"({"disks": [{"number": 1, "layout": {"style": "GPT"}}]})",
       "disks[0].layout.style: must be \"mbr\", \"gpt\" or \"raw\""},
      {R"({"disks": [{"number": 1, "layout": {"signature": 4294967296}}]})",
       "disks[0].layout.signature: must be from 0 to 4294967295"},
      {R"({"disks": [{"number": 1, "layout": {"disk_id": "1234"}}]})",
       "disks[0].layout.disk_id: expected a GUID text like "
       "\"01234567-89AB-CDEF-0123-456789ABCDEF\""},
      {R"({"disks": [{"number": 1, "layout": {"partitions": [{"offset": 0}]}}]})",
       "disks[0].layout.partitions[0]: missing key 'length'"},
      {R"({"disks": [{"number": 1, "layout": {"partitions": [{"offset": 0, "length": 9223372036854775808}]}}]})",
       "disks[0].layout.partitions[0].length: must be from -9223372036854775808 to "
       "9223372036854775807"},
      {R"({"disks": [{"number": 1, "layout": {"partitions": [{"offset": 0, "length": 1, "type": 256}]}}]})",
       "disks[0].layout.partitions[0].type: must be from 0 to 255"},
      {R"({"disks": [{"number": 1, "layout": {"style": "gpt", "partitions": [{"offset": 0, "length": 1, "type": 7}]}}]})",
       "disks[0].layout.partitions[0].type: expected a GUID text like "
       "\"01234567-89AB-CDEF-0123-456789ABCDEF\""},
      {R"({"disks": [{"number": 1, "layout": {"partitions": [{"offset": 0, "length": 1, "boot": 1}]}}]})",
       "disks[0].layout.partitions[0].boot: expected true or false"},
      {R"({"disks": [{"number": 1, "layout": {"partitions": [{"offset": 0, "length": 1, "attributes": "0x1ffffffffffffffff"}]}}]})",
       "disks[0].layout.partitions[0].attributes: expected an integer or a text \"0x...\""},
      {R"({"disks": [{"number": 1, "layout": {"partitions": [{"offset": 0, "length": 1, "name": "0123456789012345678901234567890123456"}]}}]})",
       "disks[0].layout.partitions[0].name: longer than 36 UTF-16 units"},
      // DOS names, volumes, mount points, the rest.
      {R"({"dos_devices": [{"target": "x"}]})", "dos_devices[0]: missing key 'name'"},
      {R"({"dos_devices": [{"name": "C:"}]})", "dos_devices[0]: missing key 'target'"},
      {R"({"dos_devices": [{"name": "", "target": "x"}]})",
       "dos_devices[0].name: must not be empty"},
      {R"({"dos_devices": [{"name": "C:\\", "target": "x"}]})",
       "dos_devices[0].name: a DOS name holds no '\\'"},
      {R"({"dos_devices": [{"name": "C\u0000", "target": "x"}]})",
       "dos_devices[0].name: must not contain a NUL character"},
      {R"({"dos_devices": [{"name": "C:", "target": 3}]})",
       "dos_devices[0].target: expected a text or an array of texts"},
      {R"({"dos_devices": [{"name": "C:", "target": []}]})",
       "dos_devices[0].target: must name at least one target"},
      {R"({"dos_devices": [{"name": "C:", "target": "a"}, {"name": "c:", "target": "b"}]})",
       "dos_devices[1].name: 'c:' is already listed at dos_devices[0]"},
      {R"({"volumes": [{"disks": []}]})", "volumes[0]: missing key 'target'"},
      {R"({"volumes": [{"target": "\\Device\\V1", "disks": [1, "2"]}]})",
       "volumes[0].disks[1]: expected an integer or a text \"0x...\""},
      {R"({"volumes": [{"target": "\\Device\\V1"}, {"target": "\\device\\v1"}]})",
       "volumes[1].target: '\\device\\v1' is already listed at volumes[0]"},
      {R"({"mount_points": [{"paths": []}]})", "mount_points[0]: missing key 'volume'"},
      {R"({"mountvol_output": ["x"]})", "mountvol_output: expected a text"},
      {R"({"dos_list_error": null})", "dos_list_error: expected an integer"},
  };
  for (const Case& c : cases) EXPECT_EQ(load_problem(c.json), c.problem) << c.json;
}

// The document is copied and written back recursively: 512 levels of containers load,
// one more is refused.
TEST(ImageLoader, NestingLimit) {
  const auto nested = [](std::size_t arrays) {
    return "{\"disks\": [], \"_note\": " + std::string(arrays, '[') + std::string(arrays, ']') +
           ", \"mount_points\": []}";
  };
  EXPECT_TRUE(load_image(nested(511)).disks.empty());
  EXPECT_EQ(load_problem(nested(512)), "_note: nested deeper than 512 levels");
  EXPECT_EQ(load_problem("[" + nested(600) + "]"), "[0]: nested deeper than 512 levels");
}

TEST(ImageLoader, FileErrorLineNamesTheFile) {
  test::TempDir dir;
  std::string error;
  EXPECT_EQ(make_host_image_backend(dir.file("none.json"), error), nullptr);
  EXPECT_EQ(error, "voxmira: host image '" + dir.file("none.json") +
                       "': cannot be read (No such file or directory)");
  const std::string path = dir.write(
      "x.json",
      R"({"disks": [{"number": 0}, {"number": 1}, {"number": 2, "inquiry": "000000g0"}]})");
  EXPECT_EQ(make_host_image_backend(path, error), nullptr);
  EXPECT_EQ(error,
            "voxmira: host image '" + path + "': disks[2].inquiry: bad hex digit at position 7");
}

}  // namespace
}  // namespace vox::plat::hostimage
