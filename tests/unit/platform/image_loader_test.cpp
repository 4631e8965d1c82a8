// Reading host images (values, one precise line for every kind of broken image), the
// backend chosen from the environment, GUID and message texts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/hostimage/guid_text.h"
#include "platform/hostimage/system_messages.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using namespace std::string_literals;
using test::load_image;

std::string problem_of(std::string_view json) {
  std::string problem;
  load_image(json, false, &problem);
  return problem;
}

TEST(ImageLoader, ValuesAndDefaults) {
  const Disk d = load_image(R"({"_note": 1, "pairs": [1, "x"], "disks": [{"number": 1,
    "device_property": "", "inquiry_status": "0x08", "inquiry": " 0a\tFf\r\n12 "}]})")
                     .disks[0];
  EXPECT_EQ(d.inquiry, (Bytes{0x0A, 0xFF, 0x12}));
  EXPECT_EQ(d.inquiry_status, 8);
  EXPECT_TRUE(d.device_property.has_value() && d.device_property->empty());
  EXPECT_EQ(load_image("{}").root, std::filesystem::path("/img"));
  EXPECT_EQ(load_image(R"({"root": "..\\up"})").root, std::filesystem::path("/up"));
  EXPECT_EQ(load_image(R"({"root": "/abs/x"})").root, std::filesystem::path("/abs/x"));
}

TEST(ImageLoader, ReportsWhereAndWhatIsWrong) {
  const std::string d = R"({"disks": [{"number": 1, )",
                    p = d + R"("layout": {"partitions": [{"offset": 0, )";
  const std::string guid = "expected a GUID text like \"01234567-89AB-CDEF-0123-456789ABCDEF\"";
  const std::pair<std::string, std::string> cases[] = {
      {"",
       "line 1, column 1: syntax error while parsing value - unexpected end of input; "
       "expected '[', '{', or a literal"},
      {"{\"disks\": []}\n \0{\"disks\": 5}"s, "line 2, column 2: NUL byte in the text"},
      {R"({"disks": [], "disks": []})", "top level: key 'disks' appears twice"},
      {R"({"a\nb\u0001": 1})", "top level: unknown key 'a\\nb\\x01'"},
      {R"({"disks": [{"number": -1}]})", "disks[0].number: must be from 0 to 2147483647"},
      {R"({"disks": [{"number": 1.5}]})", "disks[0].number: expected an integer"},
      {R"({"disks": [{"number": 1}, {"number": 2}, {"number": 1}]})",
       "disks[2].number: disk 1 is already listed at disks[0]"},
      {d + R"("inquiry": "00 11 2x"}]})", "disks[0].inquiry: bad hex digit at position 8"},
      {d + R"("layout": {"style": "GPT"}}]})",
       "disks[0].layout.style: must be \"mbr\", \"gpt\" or \"raw\""},
      {p + R"("length": 9223372036854775808}]}}]})",
       "disks[0].layout.partitions[0].length: must be from -9223372036854775808 to "
       "9223372036854775807"},
      {d + R"("layout": {"style": "gpt", "partitions": [{"offset": 0, "length": 1, "type": 7}]}}]})",
       "disks[0].layout.partitions[0].type: " + guid},
      {p + R"("length": 1, "attributes": "0x1ffffffffffffffff"}]}}]})",
       "disks[0].layout.partitions[0].attributes: expected an integer or a text \"0x...\""},
      {p + R"("length": 1, "name": ")" + std::string(37, 'n') + "\"}]}}]}",
       "disks[0].layout.partitions[0].name: longer than 36 UTF-16 units"},
      {R"({"dos_devices": [{"name": "C\u0000", "target": "x"}]})",
       "dos_devices[0].name: must not contain a NUL character"},
      {R"({"volumes": [{"target": "\\Device\\V1"}, {"target": "\\device\\v1"}]})",
       "volumes[1].target: '\\device\\v1' is already listed at volumes[0]"}};
  for (const auto& [json, problem] : cases) EXPECT_EQ(problem_of(json), problem) << json;
  // 512 levels of containers load (the document is copied and written back recursively).
  const auto nested = [](std::size_t n) {
    return "{\"_note\": " + std::string(n, '[') + std::string(n, ']') + ", \"disks\": []}";
  };
  load_image(nested(511));
  EXPECT_EQ(problem_of(nested(512)), "_note: nested deeper than 512 levels");
}

// An image named by VOXMIRA_HOST; unset or empty, an empty host: no disks, no DOS names.
TEST(PlatformSelection, FromTheEnvironment) {
  test::TempDir dir;
  const std::string image =
      dir.write("h.json", R"({"dos_devices": [{"name": "C:", "target": "x"}]})");
  for (const char* host : {image.c_str(), "", static_cast<const char*>(nullptr)}) {
    host ? ::setenv("VOXMIRA_HOST", host, 1) : ::unsetenv("VOXMIRA_HOST");
    ASSERT_TRUE(init_from_environment());
    char16_t list[8] = {u'#'};
    EXPECT_EQ(QueryDosDeviceListW(list, 8), host == image.c_str() ? 4u : 1u);
    EXPECT_EQ(CreateFileA("\\\\.\\PhysicalDrive0", 0xC0000000u, 3, 3, 0x80), kInvalidHandle);
    EXPECT_EQ(FormatSystemMessage(GetLastError()), "The system cannot find the file specified.\n");
  }
}

TEST(TextForms, GuidBytesAndSystemMessages) {
  Guid g{};
  ASSERT_TRUE(parse_guid_text("00112233-4455-6677-8899-AABBCCDDEEFF", g));
  EXPECT_EQ(Bytes(g.begin(), g.end()), (Bytes{0x33, 0x22, 0x11, 0, 0x55, 0x44, 0x77, 0x66, 0x88,
                                              0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
  const std::pair<std::uint32_t, const char*> messages[] = {
      {87, "The parameter is incorrect."},
      {1117, "The request could not be performed because of an I/O device error."},
      {0x1234,
       "The system cannot find message text for message number 0x1234 in the message file for "
       "System."}};
  for (const auto& [code, text] : messages) EXPECT_EQ(system_message(code, "\r\n"), text + "\r\n"s);
}

}  // namespace
}  // namespace vox::plat::hostimage
