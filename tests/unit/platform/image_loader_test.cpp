// Reading host images: defaults of a good image, and one precise line for every kind
// of broken one.
#include <gtest/gtest.h>

#include "platform/backends.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::bytes_of;
using test::load_image;
using test::load_problem;

TEST(ImageLoader, FillsEveryKeyAndItsDefaults) {
  const HostImage image = load_image(R"({
    "root": "hostroot",
    "disks": [
      {"number": 1, "inquiry": "00 00 05 02", "pages": {"83": {"data": "00830000"},
        "E2": {"status": 2, "sense": "70", "error": 0}}, "device_property": "",
       "id_property": [{"code_set": 1, "type": 3, "id": "60 06"}],
       "layout": {"style": "gpt", "disk_id": "00112233-4455-6677-8899-AABBCCDDEEFF",
                  "partitions": [{"offset": 1048576, "length": 4096, "attributes": "0x8000000000000001",
                                  "name": "data"}]}},
      {"number": 2, "open_error": 5, "inquiry_status": "0x08", "inquiry_error": 21,
       "layout_error": 1117, "set_layout_error": 19, "_note": "free text"}
    ],
    "dos_devices": [{"name": "C:", "target": "\\Device\\HarddiskVolume3"},
                    {"name": "D:", "target": ["\\Device\\CdRom0", "\\Device\\X"]}],
    "volumes": [{"target": "\\Device\\HarddiskVolume3", "disks": [1, 2], "open_error": 0,
                 "extents_error": 234}],
    "mount_points": [{"volume": "Volume{abc}", "paths": ["C:\\"]}, {"volume": "Volume{def}"}],
    "mountvol_output": "text", "dos_list_error": 8, "pairs": {"anything": [1, "x"]}
  })");
  EXPECT_EQ(image.root, std::filesystem::path("/img/hostroot"));
  ASSERT_EQ(image.disks.size(), 2u);
  const Disk& d1 = image.disks[0];
  EXPECT_EQ(d1.number, 1u);
  EXPECT_EQ(d1.inquiry, bytes_of({0, 0, 5, 2}));
  EXPECT_EQ(d1.inquiry_status, 0);
  ASSERT_EQ(d1.pages.size(), 2u);
  EXPECT_EQ(d1.pages.at(0x83).data, bytes_of({0x00, 0x83, 0x00, 0x00}));
  EXPECT_EQ(d1.pages.at(0xE2).status, 2);
  EXPECT_EQ(d1.pages.at(0xE2).sense, bytes_of({0x70}));
  ASSERT_TRUE(d1.device_property.has_value());
  EXPECT_TRUE(d1.device_property->empty());
  ASSERT_TRUE(d1.id_property.has_value());
  EXPECT_EQ((*d1.id_property)[0].type, 3u);
  EXPECT_EQ((*d1.id_property)[0].id, bytes_of({0x60, 0x06}));
  EXPECT_EQ(d1.layout.style, LayoutStyle::gpt);
  ASSERT_EQ(d1.layout.partitions.size(), 1u);
  const Partition& p = d1.layout.partitions[0];
  EXPECT_EQ(p.number, 1u);  // its place in the list
  EXPECT_EQ(p.attributes, 0x8000000000000001u);
  EXPECT_EQ(p.name, u"data");
  EXPECT_TRUE(guid_is_zero(p.gpt_type));

  const Disk& d2 = image.disks[1];
  EXPECT_EQ(d2.open_error, 5u);
  EXPECT_EQ(d2.inquiry_status, 8);
  EXPECT_EQ(d2.inquiry_error, 21u);
  EXPECT_EQ(d2.layout_error, 1117u);
  EXPECT_EQ(d2.set_layout_error, 19u);
  EXPECT_FALSE(d2.device_property.has_value());
  EXPECT_FALSE(d2.id_property.has_value());
  EXPECT_EQ(d2.layout.style, LayoutStyle::mbr);  // absent: an empty MBR table
  EXPECT_TRUE(d2.layout.partitions.empty());

  ASSERT_EQ(image.dos_devices.size(), 2u);
  EXPECT_EQ(image.dos_devices[1].targets.size(), 2u);
  EXPECT_EQ(image.volumes[0].disks, (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(image.volumes[0].extents_error, 234u);
  EXPECT_TRUE(image.mount_points[1].paths.empty());
  EXPECT_EQ(image.mountvol_output, "text");
  EXPECT_EQ(image.dos_list_error, 8u);
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
    const char* json;
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
      {"[]", "top level: expected an object"},
      {R"({"disk": []})", "top level: unknown key 'disk'"},
      {R"({"disks": [], "disks": []})", "top level: key 'disks' appears twice"},
      {R"({"disks": [{"number": 0}, {"number": 1, "pages": {"83": {"data": "", "data": ""}}}]})",
       "disks[1].pages.83: key 'data' appears twice"},
      {R"({"root": 1})", "root: expected a text"},
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
      {R"({"disks": [{"number": 1, "inquiry": 12}]})", "disks[0].inquiry: expected hex text"},
      {R"({"disks": [{"number": 1, "inquiry_status": 256}]})",
       "disks[0].inquiry_status: must be from 0 to 255"},
      {R"({"disks": [{"number": 1, "open_error": true}]})",
       "disks[0].open_error: expected an integer"},
      {R"({"disks": [{"number": 1, "inquiry_sense": "7"}]})",
       "disks[0].inquiry_sense: incomplete hex pair at position 1"},
      {R"({"disks": [{"number": 1, "pages": []}]})", "disks[0].pages: expected an object"},
      {R"({"disks": [{"number": 1, "pages": {"e2": {}}}]})",
       "disks[0].pages.e2: a page key is two upper-case hex digits, like \"83\" or \"E2\""},
      {R"({"disks": [{"number": 1, "pages": {"083": {}}}]})",
       "disks[0].pages.083: a page key is two upper-case hex digits, like \"83\" or \"E2\""},
      {R"({"disks": [{"number": 1, "pages": {"83": {"stat": 2}}}]})",
       "disks[0].pages.83: unknown key 'stat'"},
      {R"({"disks": [{"number": 1, "pages": {"83": {"error": -5}}}]})",
       "disks[0].pages.83.error: must be from 0 to 4294967295"},
      {R"({"disks": [{"number": 1, "device_property": "0"}]})",
       "disks[0].device_property: incomplete hex pair at position 1"},
      {R"({"disks": [{"number": 1, "id_property": {}}]})",
       "disks[0].id_property: expected an array"},
      {R"({"disks": [{"number": 1, "id_property": [{"code_set": 1, "type": 3}]}]})",
       "disks[0].id_property[0]: missing key 'id'"},
      {R"({"disks": [{"number": 1, "id_property": [{"code_set": 1, "id": ""}]}]})",
       "disks[0].id_property[0]: missing key 'type'"},
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
      {R"({"dos_devices": [{"name": "C:", "target": ["a", 1]}]})",
       "dos_devices[0].target[1]: expected a text"},
      {R"({"dos_devices": [{"name": "C:", "target": "a"}, {"name": "c:", "target": "b"}]})",
       "dos_devices[1].name: 'c:' is already listed at dos_devices[0]"},
      {R"({"volumes": [{"disks": []}]})", "volumes[0]: missing key 'target'"},
      {R"({"volumes": [{"target": "\\Device\\V1", "disks": [1, "2"]}]})",
       "volumes[0].disks[1]: expected an integer or a text \"0x...\""},
      {R"({"volumes": [{"target": "\\Device\\V1"}, {"target": "\\device\\v1"}]})",
       "volumes[1].target: '\\device\\v1' is already listed at volumes[0]"},
      {R"({"volumes": [{"target": "\\Device\\V1", "extents_error": "x"}]})",
       "volumes[0].extents_error: expected an integer or a text \"0x...\""},
      {R"({"mount_points": [{"paths": []}]})", "mount_points[0]: missing key 'volume'"},
      {R"({"mount_points": [{"volume": "Volume{x}", "paths": "C:\\"}]})",
       "mount_points[0].paths: expected an array"},
      {R"({"mountvol_output": ["x"]})", "mountvol_output: expected a text"},
      {R"({"dos_list_error": null})", "dos_list_error: expected an integer"},
  };
  for (const Case& c : cases) EXPECT_EQ(load_problem(c.json), c.problem) << c.json;
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
