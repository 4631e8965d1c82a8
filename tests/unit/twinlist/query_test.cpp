#include "tools/twinlist/query.h"

#include <gtest/gtest.h>

#include <vector>

namespace vox::twinlist {
namespace {

TEST(TwinlistQuery, Accepted) {
  struct Case {
    std::vector<const char*> args;
    bool by_volume;
    std::int32_t serial, ldev;
    std::vector<int> mus;
    const char* group;  // null: none
    bool local_only, show_device, hex, cli;
  };
  const Case cases[] = {
      {{"-d", "64015", "1234", "0", "1", "-fx", "-l"},
       true,
       64015,
       1234,
       {0, 1},
       nullptr,
       true,
       false,
       true,
       false},
      {{"-d", "64015", "1234", "-l", "-CLI"},
       true,
       64015,
       1234,
       {},
       nullptr,
       true,
       false,
       false,
       true},
      {{"-d", "64015", "1234", "3", "-fd", "-CLI"},
       true,
       64015,
       1234,
       {3},
       nullptr,
       false,
       true,
       false,
       true},
      {{"-d", "1", "0x4D2", "63", "07"},
       true,
       1,
       1234,
       {63, 7},
       nullptr,
       false,
       false,
       false,
       false},
      {{"-d", "-5", "-1"}, true, -5, -1, {}, nullptr, false, false, false, false},
      {{"-d", "2147483647", "-2147483648"},
       true,
       2147483647,
       INT32_MIN,
       {},
       nullptr,
       false,
       false,
       false,
       false},
      {{"-l", "-fd", "-g", "VG1"}, false, 0, 0, {}, "VG1", true, true, false, false},
      {{"-g", "VG1", "-d", "7", "8", "-fdx"}, true, 7, 8, {}, "VG1", false, true, true, false},
      {{"-d", "1", "2", "5", "-d", "3", "4"}, true, 3, 4, {}, nullptr, false, false, false, false},
  };
  for (const Case& c : cases) {
    Query q;
    std::string error;
    ASSERT_TRUE(parse_query(c.args, q, error)) << error;
    EXPECT_EQ(q.by_volume, c.by_volume);
    EXPECT_EQ(q.serial, c.serial);
    EXPECT_EQ(q.ldev, c.ldev);
    EXPECT_EQ(q.mus, c.mus);
    EXPECT_EQ(q.group.has_value(), c.group != nullptr);
    if (c.group != nullptr && q.group) {
      EXPECT_EQ(*q.group, c.group);
    }
    EXPECT_EQ(q.local_only, c.local_only);
    EXPECT_EQ(q.show_device, c.show_device);
    EXPECT_EQ(q.hex, c.hex);
    EXPECT_EQ(q.cli, c.cli);
    EXPECT_FALSE(q.help);
  }
}

TEST(TwinlistQuery, Refused) {
  struct Case {
    std::vector<const char*> args;
    const char* error;
  };
  const Case cases[] = {
      {{}, "-d SERIAL LDEV or -g GROUP is needed"},
      {{"-d"}, "-d needs a serial number and an LDEV number"},
      {{"-d", "1"}, "-d needs a serial number and an LDEV number"},
      {{"-d", "x", "1"}, "bad serial number: x"},
      {{"-d", "1", "12z"}, "bad LDEV number: 12z"},
      {{"-d", "1", "0x"}, "bad LDEV number: 0x"},
      {{"-d", "2147483648", "1"}, "bad serial number: 2147483648"},
      {{"-d", "1", "99999999999999999999999"}, "bad LDEV number: 99999999999999999999999"},
      {{"-d", "1", "2", "64"}, "unknown option: 64"},
      {{"-d", "1", "2", "+1"}, "unknown option: +1"},
      {{"-g"}, "-g needs a group name"},
      {{"-q"}, "unknown option: -q"},
      {{"-d", "1", "2", "-fdd"}, "unknown option: -fdd"},
  };
  for (const Case& c : cases) {
    Query q;
    std::string error;
    EXPECT_FALSE(parse_query(c.args, q, error)) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(TwinlistQuery, HelpNeedsNothingElse) {
  Query q;
  std::string error;
  const std::vector<const char*> args = {"-h"};
  ASSERT_TRUE(parse_query(args, q, error));
  EXPECT_TRUE(q.help);
}

}  // namespace
}  // namespace vox::twinlist
