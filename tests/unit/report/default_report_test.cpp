#include <gtest/gtest.h>

#include "driver/run_options.h"
#include "report/default_format.h"
#include "report/names.h"
#include "report/pair_states.h"
#include "report/reports.h"
#include "report_fixtures.h"

namespace vox {
namespace {

using test::sample_record;

const std::string k13(13, ' ');

TEST(DefaultReport, WorkedExample) {
  DevIdentity r = sample_record();
  r.local_pair_state[0] = 1;
  r.raid_valid = 1;
  r.raid_level = 5;
  r.raid_group[0] = 1;
  r.raid_group[1] = 2;
  r.ssid[1] = 0x04;
  r.ctg_id = 0xFF;
  EXPECT_EQ(default_report_text("harddisk1", r, 0),
            "harddisk1 -> CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]\n" + k13 +
                "VEXA = NONE  TESSIK[MU#0 = SMPL MU#1 = NONE MU#2 = NONE]\n" + k13 +
                "RAID5[Group  1- 2] SSID = 0x0004\n");
  // The entry point prints the same text.
  const auto p = test::capture([&] { report_default("harddisk1", r, 0, 0); });
  EXPECT_EQ(p.out, default_report_text("harddisk1", r, 0));
  EXPECT_EQ(p.err, "");
}

TEST(DefaultReport, FirstLineOnlyWithoutStatesOrRaid) {
  const DevIdentity r = sample_record();
  EXPECT_EQ(default_report_text("hd/x", r, 0),
            "hd/x -> CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]\n");
}

TEST(DefaultReport, HexLdevAndLongNumbers) {
  DevIdentity r = sample_record();
  EXPECT_EQ(default_first_line("a", r, FMT_HEX),
            "a -> CL1-A Ser =   64015 LDEV = 4D2 [TARVELO ] [DISK-1          ]\n");
  r.serial = 123456789;
  r.ldev = 0xABCDE;
  EXPECT_EQ(default_first_line("a", r, FMT_HEX),
            "a -> CL1-A Ser =123456789 LDEV =ABCDE [TARVELO ] [DISK-1          ]\n");
}

TEST(DefaultReport, VolumeKinds) {
  struct Case {
    std::uint8_t level, g0, g1;
    const char* text;
  };
  const Case cases[] = {
      {0x00, 3, 4, "UNMAP[Group 00000]"},        {0x11, 1, 2, "SNAPS[PoolID 0258]"},
      {0x11, 0xFF, 0xFF, "SNAPS[PoolID 65535]"}, {0x12, 0, 7, "A-LUN[PoolID 0007]"},
      {0x10, 0x12, 0x34, "E-LUN[Group 04660]"},  {0x0A, 1, 2, "RAIDA[Group  1- 2]"},
      {0x01, 255, 255, "RAID1[Group 255-255]"},  {0xFF, 10, 0, "RAIDFF[Group 10- 0]"},
      {0x13, 0, 0, "RAID13[Group  0- 0]"},
  };
  for (const Case& c : cases) {
    DevIdentity r = sample_record();
    r.raid_level = c.level;
    r.raid_group[0] = c.g0;
    r.raid_group[1] = c.g1;
    EXPECT_EQ(volume_kind_text(r), c.text) << int(c.level);
  }
}

TEST(DefaultReport, RaidLineConsistencyGroup) {
  struct Case {
    std::uint8_t ctg;
    const char* tail;
  };
  const Case cases[] = {
      {0xFF, "SSID = 0xAB0C\n"},
      {0, "SSID = 0xAB0C CTGID =  0\n"},
      {7, "SSID = 0xAB0C CTGID =  7\n"},
      {127, "SSID = 0xAB0C CTGID = 127\n"},
      {0xFE, "SSID = 0xAB0C CTGID = 254\n"},
  };
  for (const Case& c : cases) {
    DevIdentity r = sample_record();
    r.raid_valid = 1;
    r.raid_level = 0x11;
    r.raid_group[1] = 3;
    r.ssid[0] = 0xAB;
    r.ssid[1] = 0x0C;
    r.ctg_id = c.ctg;
    EXPECT_EQ(default_raid_line("    ", r), std::string("     SNAPS[PoolID 0003] ") + c.tail);
  }
  DevIdentity none = sample_record();
  none.raid_level = 5;
  EXPECT_EQ(default_raid_line("    ", none), "");
}

TEST(DefaultReport, PairLineConditions) {
  struct Case {
    std::uint8_t remote, l0, l1, l2;
    const char* line;  // "" when no pair line
  };
  const Case cases[] = {
      {0, 0, 0, 0, ""},
      {1, 0, 0, 0, "   VEXA = SMPL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]\n"},
      {0, 0, 0, 4, "   VEXA = NONE  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]\n"},
      {2, 3, 0xFF, 1, "   VEXA = P-VOL  TESSIK[MU#0 = S-VOL MU#1 = NONE MU#2 = SMPL]\n"},
      {0, 0, 2, 0, "   VEXA = NONE  TESSIK[MU#0 = NONE MU#1 = P-VOL MU#2 = NONE]\n"},
  };
  for (const Case& c : cases) {
    DevIdentity r = sample_record();
    r.remote_pair_state = c.remote;
    r.local_pair_state[0] = c.l0;
    r.local_pair_state[1] = c.l1;
    r.local_pair_state[2] = c.l2;
    EXPECT_EQ(default_pair_line("  ", r), c.line);
  }
}

TEST(DefaultReport, PairStateCodings) {
  struct Case {
    std::uint8_t state;
    const char* word;
    char ch;
  };
  const Case cases[] = {{0, "NONE", '-'},  {1, "SMPL", 's'}, {2, "P-VOL", 'P'},
                        {3, "S-VOL", 'S'}, {4, "NONE", '-'}, {0xFF, "NONE", '-'}};
  for (const Case& c : cases) {
    EXPECT_STREQ(pair_state_word(c.state), c.word);
    EXPECT_EQ(pair_state_char(c.state), c.ch);
  }
}

TEST(DefaultReport, NameMarking) {
  struct Case {
    unsigned flags;
    std::uint8_t vol_attr, fencor;
    bool marked;
  };
  const Case cases[] = {
      {0, 3, 1, false},
      {FMT_HARD, 1, 0, true},
      {FMT_HARD, 2, 0, false},
      {FMT_PIN, 2, 0, true},
      {FMT_PIN, 1, 0, false},
      {FMT_FENCOR, 0, 9, true},
      {FMT_FENCOR, 3, 0, false},
      {FMT_HARD | FMT_PIN, 3, 0, true},
      {FMT_HARD | FMT_PIN | FMT_FENCOR, 3, 1, true},
      {FMT_HARD | FMT_PIN | FMT_FENCOR, 0xFC, 0, false},
  };
  for (const Case& c : cases) {
    DevIdentity r = sample_record();
    r.vol_attr = c.vol_attr;
    r.fencor = c.fencor;
    EXPECT_EQ(marked_name("hd1", r, c.flags), c.marked ? "hd1*" : "hd1")
        << c.flags << " " << int(c.vol_attr) << " " << int(c.fencor);
  }
}

TEST(DefaultReport, MarkCountsInContinuationBlanks) {
  DevIdentity r = sample_record();
  r.vol_attr = 3;
  r.remote_pair_state = 2;
  r.raid_valid = 1;
  r.raid_level = 0;
  r.ctg_id = 0xFF;
  EXPECT_EQ(default_report_text("hd1", r, FMT_HARD | FMT_PIN),
            "hd1* -> CL1-A Ser =   64015 LDEV =1234 [TARVELO ] [DISK-1          ]\n"
            "        VEXA = P-VOL  TESSIK[MU#0 = NONE MU#1 = NONE MU#2 = NONE]\n"
            "        UNMAP[Group 00000] SSID = 0x0000\n");
}

TEST(DefaultReport, ExportWithoutCliPrintsNothing) {
  DevIdentity r = sample_record();
  r.remote_pair_state = 2;
  const auto p = test::capture([&] { report_default("harddisk1", r, 3, 0); });
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.err, "");
}

}  // namespace
}  // namespace vox
