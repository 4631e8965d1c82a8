#include <gtest/gtest.h>

#include "driver/run_options.h"
#include "report/cli_format.h"
#include "report/reports.h"
#include "report_fixtures.h"

namespace vox {
namespace {

using test::sample_record;

const char* const kHeader =
    "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n";

DevIdentity example_record() {
  DevIdentity r = sample_record();
  r.ctg_id = 0xFF;
  r.local_pair_state[0] = 2;
  r.ssid[1] = 0x04;
  r.raid_valid = 1;
  r.raid_level = 5;
  r.raid_group[0] = 1;
  r.raid_group[1] = 2;
  return r;
}

// Rows of one run through report_cli with one table state.
struct Row {
  const char* name;
  DevIdentity record;
  int present;
};
std::string run(const std::vector<Row>& rows, unsigned flags) {
  TableState table;
  return test::capture([&] {
           for (const Row& row : rows)
             report_cli(row.name, row.record, 0, flags, table, row.present);
         })
      .out;
}

TEST(CliTable, WorkedExample) {
  EXPECT_EQ(
      run({{"harddisk1", example_record(), 1}}, 0),
      std::string(kHeader) +
          "harddisk1       CL1-A    64015  1234   -  -/P/--  0004 5:01-02 DISK-1          \n");
}

TEST(CliTable, FirstNameChoosesTheLayout) {
  DevIdentity r = sample_record();
  const std::string n24(24, 'n'), n25(25, 'w'), n30(30, 'o');
  // 24 characters: narrow; a later 30-character name overflows its column.
  EXPECT_EQ(run({{n24.c_str(), r, 1}, {n30.c_str(), r, 1}}, 0),
            std::string(kHeader) + n24 +
                " CL1-A    64015  1234   -       -     -       - DISK-1          \n" + n30 +
                " CL1-A    64015  1234   -       -     -       - DISK-1          \n");
  // 25 characters: wide, and a later short name keeps the wide column.
  const std::string wide_header = "DEVICE_FILE" + std::string(50, ' ') +
                                  "PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n";
  EXPECT_EQ(run({{n25.c_str(), r, 1}, {"hd1", r, 1}}, 0),
            wide_header + n25 + std::string(35, ' ') +
                " CL1-A    64015  1234   -       -     -       - DISK-1          \n" + "hd1" +
                std::string(57, ' ') +
                " CL1-A    64015  1234   -       -     -       - DISK-1          \n");
  // The part after the last '/' decides, not the whole name.
  const std::string slashed = "/a/b/c/d/e/f/g/h/i/j/k/hd1";
  EXPECT_EQ(run({{slashed.c_str(), r, 1}}, 0).substr(0, strlen(kHeader)), kHeader);
}

TEST(CliTable, MarkComesAfterTheLayoutChoice) {
  DevIdentity r = sample_record();
  r.vol_attr = 1;
  const std::string n24(24, 'n');
  EXPECT_EQ(run({{n24.c_str(), r, 1}}, FMT_HARD),
            std::string(kHeader) + n24 +
                "* CL1-A    64015  1234   -       -     -       - DISK-1          \n");
}

TEST(CliTable, DevicesNotPresent) {
  DevIdentity empty;
  DevIdentity read = sample_record();
  read.vol_attr = 1;  // never marked when not present
  EXPECT_EQ(
      run({{"hd9", empty, 0}, {"x/hd8", read, 0}}, FMT_HARD),
      std::string(kHeader) +
          "hd9             -            -     -   -       -     -       - -               \n"
          "hd8             -            -     -   -       -     -       - DISK-1          \n");
  const std::string wide = run({{std::string(25, 'z').c_str(), empty, 0}}, FMT_WIDE);
  EXPECT_EQ(wide.substr(wide.find('\n') + 1),
            std::string(25, 'z') + std::string(35, ' ') + " -            -     -   -  -" +
                std::string(69, ' ') + "     -       - -               \n");
}

TEST(CliTable, RaidKinds) {
  struct Case {
    std::uint8_t level, g0, g1, ctg;
    const char* narrow;
    const char* wide_tail;  // the wide row after the 60-character name column
  };
  const Case cases[] = {
      {0x00, 9, 9, 0xFF,
       "hd1             CL1-A    64015  1234   -  -/P/--  0004 U:00000 DISK-1          \n",
       " CL1-A    64015  1234   -  -/P/--  0004 U:00000 DISK-1          \n"},
      {0x11, 1, 2, 0,
       "hd1             CL1-A    64015  1234   0  -/P/--  0004 S:00258 DISK-1          \n",
       " CL1-A    64015  1234   0  -/P/--  0004 S:00258 DISK-1          \n"},
      {0x10, 0xFF, 0xFF, 12,
       "hd1             CL1-A    64015  1234  12  -/P/--  0004 E:65535 DISK-1          \n",
       " CL1-A    64015  1234  12  -/P/--  0004 E:65535 DISK-1          \n"},
      {0x12, 0, 7, 254,
       "hd1             CL1-A    64015  1234 254  -/P/--  0004 A:00007 DISK-1          \n",
       " CL1-A    64015  1234  254  -/P/--  0004 A:00007 DISK-1          \n"},
      {0x0A, 1, 2, 0xFF,
       "hd1             CL1-A    64015  1234   -  -/P/--  0004 A:01-02 DISK-1          \n",
       " CL1-A    64015  1234   -  -/P/--  0004 A:01-02 DISK-1          \n"},
      {0x01, 100, 255, 5,
       "hd1             CL1-A    64015  1234   5  -/P/--  0004 1:100-255 DISK-1          \n",
       " CL1-A    64015  1234   5  -/P/--  0004 1:100-255 DISK-1          \n"},
  };
  for (const Case& c : cases) {
    DevIdentity r = example_record();
    r.raid_level = c.level;
    r.raid_group[0] = c.g0;
    r.raid_group[1] = c.g1;
    r.ctg_id = c.ctg;
    EXPECT_EQ(cli_row("hd1", r, 0, 0), c.narrow) << int(c.level);
    EXPECT_EQ(cli_row("hd1", r, 0, 1), "hd1" + std::string(57, ' ') + c.wide_tail) << int(c.level);
  }
}

TEST(CliTable, HexLdevColumn) {
  DevIdentity r = sample_record();
  r.ldev = 0xABCD;
  EXPECT_EQ(cli_row("hd1", r, FMT_HEX, 0),
            "hd1             CL1-A    64015  ABCD   -       -     -       - DISK-1          \n");
  r.ldev = 0x12345;
  EXPECT_EQ(cli_row("hd1", r, 0, 0),
            "hd1             CL1-A    64015 74565   -       -     -       - DISK-1          \n");
}

TEST(CliTable, WideMuColumn) {
  DevIdentity r = sample_record();
  const std::string header = run({{"hd1", r, 1}}, FMT_WIDE);
  EXPECT_EQ(header, "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H.../M/.." + std::string(61, ' ') +
                        "  SSID R:Group PRODUCT_ID\n"
                        "hd1             CL1-A    64015  1234   -  -" +
                        std::string(69, ' ') + "     -       - DISK-1          \n");
  // With states: remote MU#0..3, "/", local MU#0, "/", local MU#1..63.
  r.remote_pair_state = 2;
  r.remote_mu_states[0] = 2;
  r.remote_mu_states[3] = 1;
  r.remote_mu_states[4] = 3;  // beyond MU#3: not shown
  r.local_mu_states[0] = 3;
  r.local_mu_states[1] = 1;
  r.local_mu_states[63] = 2;
  r.local_mu_states[62] = 9;
  const std::string expected_column = "P--s/S/s" + std::string(61, '-') + "P";
  ASSERT_EQ(expected_column.size(), 70u);
  EXPECT_EQ(cli_mu_column(r, FMT_WIDE, true), expected_column);
  EXPECT_EQ(cli_mu_column(r, FMT_WIDE, false), "-" + std::string(69, ' '));
  EXPECT_EQ(cli_mu_column(r, 0, true), "P/-/--");
  EXPECT_EQ(cli_mu_column(r, 0, false), "     -");
  // Only the MU#0..2 summary decides whether the states are shown.
  DevIdentity tables_only = sample_record();
  tables_only.local_mu_states[5] = 2;
  EXPECT_EQ(cli_mu_column(tables_only, FMT_WIDE, true), "-" + std::string(69, ' '));
}

TEST(CliTable, ProductColumnChoices) {
  DevIdentity r = sample_record();
  struct Case {
    unsigned flags;
    std::uint8_t real_valid, cmddev;
    const char* nic;
    const char* header;
    const char* value;
  };
  const Case cases[] = {
      {0, 0, 0, "nic", "PRODUCT_ID", "DISK-1          "},
      {FMT_NICNAME, 0, 0, "nic", "LDEV_NIC_NAME", "nic"},
      {FMT_NICNAME, 0, 0, "", "LDEV_NIC_NAME", "-"},
      {FMT_REALID, 1, 0, "nic", "R_SERIAL R_LDEV CM", "   64999   4660  -"},
      {FMT_REALID, 1, 1, "", "R_SERIAL R_LDEV CM", "   64999   4660 CM"},
      {FMT_REALID | FMT_HEX, 1, 1, "", "R_SERIAL R_LDEV CM", "   64999   1234 CM"},
      {FMT_REALID, 0, 1, "", "R_SERIAL R_LDEV CM", "       -      -  -"},
      {FMT_REALID | FMT_NICNAME, 1, 0, "nic", "R_SERIAL R_LDEV CM", "   64999   4660  -"},
      {FMT_REALID | FMT_NICNAME, 0, 0, "nic", "R_SERIAL R_LDEV CM", "       -      -  -"},
  };
  for (const Case& c : cases) {
    r.real_id_valid = c.real_valid;
    r.real_serial = 64999;
    r.real_ldev = 0x1234;
    r.is_cmddev = c.cmddev;
    test::set_text(r.nic_name, c.nic);
    EXPECT_EQ(cli_product_header(c.flags), c.header) << c.flags;
    EXPECT_EQ(cli_product_text(r, c.flags), c.value) << c.flags;
  }
}

TEST(CliTable, ProductColumnInRows) {
  DevIdentity r = sample_record();
  r.real_id_valid = 1;
  r.real_serial = 1;
  r.real_ldev = 2;
  EXPECT_EQ(run({{"hd1", r, 1}, {"hd2", r, 0}}, FMT_REALID),
            "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM\n"
            "hd1             CL1-A    64015  1234   -       -     -       -        1      2  -\n"
            "hd2             -            -     -   -       -     -       -        1      2  -\n");
  DevIdentity no_nic = sample_record();
  EXPECT_EQ(run({{"hd1", no_nic, 1}, {"hd2", no_nic, 0}}, FMT_NICNAME),
            "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group LDEV_NIC_NAME\n"
            "hd1             CL1-A    64015  1234   -       -     -       - -               \n"
            "hd2             -            -     -   -       -     -       - -               \n");
}

}  // namespace
}  // namespace vox
