#include "driver/unit_number.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace vox {
namespace {

struct Case {
  std::string word;
  int value;
  const char* rest;                      // expected text at the rest position, or null for none
  std::optional<std::string> last_name;  // expected last name, when checked
};

TEST(ParseUnitNumber, FindsTheFirstDigitRunRestAndLastName) {
  const std::string head99(99, 'x');
  const std::string head100(100, 'x');
  const std::vector<Case> cases = {
      {"hd0-10", 0, "-10", "hd0"},
      {"-10", 10, nullptr, "-10"},
      {"\\Device\\Harddisk3\\Partition1", 3, "\\Partition1", "Harddisk3"},
      {"Harddisk12", 12, nullptr, "Harddisk12"},
      {"$Phys", -1, nullptr, std::nullopt},
      {"", -1, nullptr, std::nullopt},
      {"hd", -1, nullptr, std::nullopt},
      {"7", 7, nullptr, "7"},
      {"007x", 7, "x", "007"},
      {"-5", 5, nullptr, "-5"},
      {"+12a", 12, "a", "+12"},
      {"\\\\.\\PhysicalDrive3", 3, nullptr, "PhysicalDrive3"},
      {"C:\\Vol3\\Dsk1", 3, "\\Dsk1", "Vol3"},
      {"hd1,3", 1, ",3", "hd1"},
      {"trailing\\5", 5, nullptr, "5"},
      {"ends\\with\\", -1, nullptr, std::nullopt},
      {"a\\b12\\", 12, "\\", "b12"},
      // Only the first 100 characters are searched.
      {head99 + "5", 5, nullptr, head99 + "5"},
      {head100 + "5", -1, nullptr, std::nullopt},
      {head99 + "56", 5, nullptr, std::nullopt},
      {head99 + "5x", 5, nullptr, std::nullopt},
      {head99.substr(1) + "5x", 5, "x", std::nullopt},
      // Runs too large for an int give INT_MAX.
      {"2147483647", INT_MAX, nullptr, "2147483647"},
      {"2147483648", INT_MAX, nullptr, "2147483648"},
      {"hd" + std::string(50, '9') + "-1", INT_MAX, "-1", std::nullopt},
      {"00000000000000000000000000000000000000042", 42, nullptr, std::nullopt},
      {"2147483646", 2147483646, nullptr, std::nullopt},
  };
  for (const Case& c : cases) {
    const char* rest = "untouched";
    std::string last = "untouched";
    EXPECT_EQ(parse_unit_number(c.word.c_str(), &rest, &last), c.value) << c.word;
    if (c.rest) {
      ASSERT_NE(rest, nullptr) << c.word;
      EXPECT_STREQ(rest, c.rest) << c.word;
      // The rest is a position in the word given, not in a copy.
      EXPECT_GE(rest, c.word.c_str());
      EXPECT_LE(rest, c.word.c_str() + c.word.size());
    } else {
      EXPECT_EQ(rest, nullptr) << c.word;
    }
    if (c.last_name) {
      EXPECT_EQ(last, *c.last_name) << c.word;
    }
    if (c.value == -1) {
      EXPECT_EQ(last, "untouched") << c.word;
    }
  }
}

TEST(ParseUnitNumber, LastNameOfLongWordsIsCutAt100Characters) {
  const std::string word = "\\" + std::string(98, 'a') + "1" + "234";
  std::string last;
  const char* rest = nullptr;
  EXPECT_EQ(parse_unit_number(word.c_str(), &rest, &last), 1);
  EXPECT_EQ(rest, nullptr);
  EXPECT_EQ(last, std::string(98, 'a') + "1");
}

TEST(ParseUnitNumber, OutputsAreOptional) {
  const char* rest = nullptr;
  std::string last;
  EXPECT_EQ(parse_unit_number("a\\hd4-6"), 4);
  EXPECT_EQ(parse_unit_number("a\\hd4-6", &rest), 4);
  EXPECT_STREQ(rest, "-6");
  EXPECT_EQ(parse_unit_number("a\\hd4-6", nullptr, &last), 4);
  EXPECT_EQ(last, "hd4");
}

}  // namespace
}  // namespace vox
