#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "driver/run_options.h"
#include "report/export_record.h"
#include "report/reports.h"
#include "report_fixtures.h"

namespace vox {
namespace {

using test::sample_record;

DevIdentity with_mu_states() {
  DevIdentity r = sample_record();
  r.remote_pair_state = 2;
  r.local_pair_state[0] = 1;
  r.local_pair_state[2] = 3;
  return r;
}

TEST(MuList, RangesAndTables) {
  DevIdentity summary = with_mu_states();
  DevIdentity tables = with_mu_states();
  tables.mu_table_valid = 1;
  tables.remote_mu_states[0] = 2;
  tables.remote_mu_states[3] = 1;
  tables.remote_mu_states[4] = 1;  // MU#4 and up are not looked up
  tables.local_mu_states[0] = 1;
  tables.local_mu_states[2] = 3;
  tables.local_mu_states[63] = 2;
  DevIdentity none = sample_record();
  struct Case {
    const DevIdentity* record;
    const char* quil;  // null: VEXAC_QUIL absent
    const char* text;
  };
  const Case cases[] = {
      {&summary, nullptr, "0 "},  {&summary, "", "0 2 "},    {&summary, "anything", "0 2 "},
      {&tables, nullptr, "0 3 "}, {&tables, "1", "0 2 63 "}, {&none, nullptr, ""},
      {&none, "1", ""},
  };
  for (const Case& c : cases) {
    test::ScopedEnv env("VEXAC_QUIL", c.quil);
    EXPECT_EQ(mu_list_text(*c.record), c.text) << (c.quil ? c.quil : "(unset)");
  }
}

class FindLookup : public test::ToolTest {};

TEST_F(FindLookup, DefaultFormCommandLines) {
  struct Case {
    const char* quil;
    unsigned flags;
    const char* command;
  };
  const Case cases[] = {
      {nullptr, 0, "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0   -l 2>NUL"},
      {nullptr, FMT_HEX, "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0  -fx -l 2>NUL"},
      {"1", 0, "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0 2   -l 2>NUL"},
  };
  for (const Case& c : cases) {
    test::ScopedEnv env("VEXAC_QUIL", c.quil);
    tool->commands.clear();
    const auto p = test::capture([&] { report_default("hd1", with_mu_states(), 1, c.flags); });
    ASSERT_EQ(tool->commands.size(), 1u);
    EXPECT_EQ(tool->commands[0], c.command);
    EXPECT_EQ(p.out, "->hd1\n");
    EXPECT_EQ(p.err, "");
  }
  // No local MU in a state: an empty MU list and no -fx leave three blanks before -l.
  test::ScopedEnv env("VEXAC_QUIL", "");
  tool->commands.clear();
  test::capture([&] { report_default("hd1", sample_record(), 1, 0); });
  EXPECT_EQ(tool->commands.at(0), "\\VEXAM\\etc\\twinlist.exe -d 64015 1234   -l 2>NUL");
}

TEST_F(FindLookup, DefaultFormFailures) {
  test::ScopedEnv env("VEXAC_QUIL", nullptr);
  tool->system_status = 1;
  auto p = test::capture([&] { report_default("a/hd1", sample_record(), 1, FMT_HARD); });
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.err, "a/hd1 -> No such on the group\n");
  // The interpreter could not be started: the C runtime's error follows the message.
  tool->system_status = -1;
  tool->system_errno = ENOENT;
  p = test::capture([&] { report_default("hd1", sample_record(), 1, 0); });
  EXPECT_EQ(p.err,
            std::string("hd1 -> No such on the group\nsystem(): ") + std::strerror(ENOENT) + "\n");
  // An error indicator with a successful status is still reported.
  tool->system_status = 0;
  p = test::capture([&] { report_default("hd1", sample_record(), 1, 0); });
  EXPECT_EQ(p.out, "->hd1\n");
  EXPECT_EQ(p.err, std::string("system(): ") + std::strerror(ENOENT) + "\n");
}

TEST_F(FindLookup, CliForm) {
  test::ScopedEnv env("VEXAC_QUIL", nullptr);
  TableState table;
  auto p = test::capture([&] {
    report_cli("x/hd1", with_mu_states(), 1, FMT_HEX | FMT_HARD, table, 1);
    report_cli("hd2", with_mu_states(), 1, 0, table, 0);  // not present: no lookup
  });
  ASSERT_EQ(tool->commands.size(), 1u);
  EXPECT_EQ(tool->commands[0], "\\VEXAM\\etc\\twinlist.exe -d 64015 1234 0  -fx -l -CLI 2>NUL");
  EXPECT_EQ(p.out, "-> x/hd1\n");
  EXPECT_EQ(table.header_done, 0);
  // A failed lookup is silent, error indicator included.
  tool->system_status = 256;
  tool->system_errno = EACCES;
  p = test::capture([&] {
    report_cli_wwn("hd1", with_mu_states(), 1, 0, table, 1, 1);
    DevIdentity r = sample_record();
    BitmapTotals totals;
    LastCounted last;
    report_cli_bitmap("hd1", r, 1, 0, table, 1, totals, last);
  });
  EXPECT_EQ(tool->commands.size(), 3u);
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.err, "");
}

TEST(ExportRecord, WorkedExample) {
  const DevIdentity r = sample_record();
  EXPECT_EQ(export_check_text("harddisk1", r), "VOXMIRA:@CL1-A@64015@1234@DISK-1@harddisk1");
  EXPECT_EQ(check_value("VOXMIRA:@CL1-A@64015@1234@DISK-1@harddisk1"), 126);
  EXPECT_EQ(export_line("harddisk1", r), "VOXMIRA:@CL1-A@64015@1234@126@DISK-1@harddisk1\n");
  // LDEV stays decimal whatever the flags; the CLI entry points print the same line.
  TableState table;
  const auto p = test::capture([&] {
    report_cli("harddisk1", r, 3, FMT_HEX, table, 1);
    report_cli("hd2", r, 3, 0, table, 0);
  });
  EXPECT_EQ(p.out, "VOXMIRA:@CL1-A@64015@1234@126@DISK-1@harddisk1\n");
}

TEST(ExportRecord, ProductTrimming) {
  struct Case {
    const char* product;  // 16 characters; '~' stands for NUL
    const char* text;
  };
  const Case cases[] = {
      {"DISK-1          ", "DISK-1"}, {"                ", "                "},
      {"~~~~~~~~~~~~~~~~", ""},       {"  ~~~~~~~~~~~~~~", "  "},
      {"OPEN-V          ", "OPEN-V"}, {"A B C D E F G H ", "A B C D E F G H"},
      {"AB~CD           ", "AB"},     {"0123456789ABCDEF", "0123456789ABCDEF"},
  };
  for (const Case& c : cases) {
    DevIdentity r = sample_record();
    for (int i = 0; i < 16; ++i) r.product_id[i] = c.product[i] == '~' ? '\0' : c.product[i];
    EXPECT_EQ(export_product(r), c.text) << c.product;
  }
}

TEST(ExportRecord, CheckValues) {
  struct Case {
    std::string text;
    int value;
  };
  const Case cases[] = {
      {"", 0},       {"A", 65},
      {"AA", 0},     {"\x80", -128},
      {"\xFF", -1},  {"\x80\x80\x80", -128},
      {"\x7F", 127}, {"VOXMIRA:@CL1-A@64015@1234@DISK-1@harddisk1", 126},
  };
  for (const Case& c : cases) EXPECT_EQ(check_value(c.text), c.value) << c.text;
}

TEST(ExportRecord, BlankProductAndNegativeCheck) {
  DevIdentity r = sample_record();
  test::set_text(r.product_id, "                ");
  EXPECT_EQ(export_line("harddisk1", r),
            "VOXMIRA:@CL1-A@64015@1234@119@                @harddisk1\n");
  // One character of 128 or more added to the example turns the value negative:
  // 126 ^ 0xE9 = 0x97, that is -105.
  const DevIdentity example = sample_record();
  EXPECT_EQ(export_line("harddisk1\xE9", example),
            "VOXMIRA:@CL1-A@64015@1234@-105@DISK-1@harddisk1\xE9\n");
}

}  // namespace
}  // namespace vox
