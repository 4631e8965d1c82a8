// Hex text, GUID text, UTF conversions and system message texts.
#include <gtest/gtest.h>

#include "platform/hostimage/guid_text.h"
#include "platform/hostimage/hex_text.h"
#include "platform/hostimage/system_messages.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::bytes_of;

TEST(HexText, ParsesPairsWithGapsBetweenThem) {
  struct Case {
    const char* text;
    Bytes bytes;
  };
  const Case cases[] = {
      {"", {}},
      {"  \t\r\n", {}},
      {"00", bytes_of({0})},
      {"0aFf", bytes_of({0x0A, 0xFF})},
      {"12 34\t56\r\n78", bytes_of({0x12, 0x34, 0x56, 0x78})},
      {"  7f  ", bytes_of({0x7F})},
  };
  for (const Case& c : cases) {
    Bytes got = bytes_of({0x99});
    EXPECT_EQ(parse_hex_text(c.text, got), "") << c.text;
    EXPECT_EQ(got, c.bytes) << c.text;
  }
}

TEST(HexText, NamesTheFirstBadPosition) {
  const std::pair<const char*, const char*> cases[] = {
      {"0g", "bad hex digit at position 2"},
      {"g0", "bad hex digit at position 1"},
      {"00 11 2x", "bad hex digit at position 8"},
      {"0", "incomplete hex pair at position 1"},
      {"00 1 22", "incomplete hex pair at position 4"},
      {"001", "incomplete hex pair at position 3"},
      {"0x12", "bad hex digit at position 2"},
      {"12,34", "bad hex digit at position 3"},
      {"\xc3\xa9", "bad hex digit at position 1"},
  };
  for (const auto& [text, problem] : cases) {
    Bytes got;
    EXPECT_EQ(parse_hex_text(text, got), problem) << text;
  }
}

TEST(HexText, LowerCaseWithoutSeparators) {
  EXPECT_EQ(hex_lower(bytes_of({0x12, 0x00, 0xAB, 0xFF})), "1200abff");
  EXPECT_EQ(hex_lower(Bytes{}), "");
}

TEST(GuidText, StoresData1To3LittleEndianAndData4InOrder) {
  Guid g{};
  ASSERT_TRUE(parse_guid_text("00112233-4455-6677-8899-AABBCCDDEEFF", g));
  EXPECT_EQ(Bytes(g.begin(), g.end()), bytes_of({0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                                 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
  EXPECT_EQ(format_guid_text(g), "00112233-4455-6677-8899-AABBCCDDEEFF");
  Guid braced{};
  ASSERT_TRUE(parse_guid_text("{00112233-4455-6677-8899-aabbccddeeff}", braced));
  EXPECT_EQ(braced, g);
}

TEST(GuidText, RejectsMalformedText) {
  for (const char* text :
       {"", "00112233-4455-6677-8899-AABBCCDDEEF", "00112233-4455-6677-8899-AABBCCDDEEFF0",
        "001122334-455-6677-8899-AABBCCDDEEFF", "00112233-4455-6677-8899-AABBCCDDEEFG",
        "{00112233-4455-6677-8899-AABBCCDDEEFF", "00112233_4455_6677_8899_AABBCCDDEEFF"}) {
    Guid g{};
    EXPECT_FALSE(parse_guid_text(text, g)) << text;
  }
}

TEST(SystemMessages, KnownCodesKeepTheirWindowsText) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {2, "The system cannot find the file specified.\n"},
      {21, "The device is not ready.\n"},
      {122, "The data area passed to a system call is too small.\n"},
      {1117, "The request could not be performed because of an I/O device error.\n"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(system_message(code, "\n"), text) << code;
}

TEST(SystemMessages, UnknownCodesAndWindowsLineEnds) {
  EXPECT_EQ(system_message(0x1234, "\n"),
            "The system cannot find message text for message number 0x1234 in the message file "
            "for System.\n");
  EXPECT_EQ(system_message(0, "\r\n"),
            "The system cannot find message text for message number 0x0 in the message file for "
            "System.\r\n");
  EXPECT_EQ(system_message(5, "\r\n"), "Access is denied.\r\n");
  EXPECT_EQ(system_message(5), std::string("Access is denied.") + std::string(kMessageLineEnd));
}

}  // namespace
}  // namespace vox::plat::hostimage
