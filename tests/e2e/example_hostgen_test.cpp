// The host-image generator: the shipped example host is what the generator makes, its
// text layout, the identity encoders of each array family, the load-run hosts read back
// by voxmira, and the generator's command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e/example_support.h"
#include "tools/hostgen/array_pages.h"
#include "tools/hostgen/example_host.h"
#include "tools/hostgen/farm_host.h"
#include "tools/hostgen/host_json.h"
#include "tools/hostgen/hostgen_cli.h"
#include "tools/hostgen/json_layout.h"

namespace vox::e2e::example {
namespace {

using hostgen::Bytes;
using hostgen::Json;

TEST(ExampleHostgen, ShippedImageIsTheGeneratorsOutput) {
  std::string shipped;
  ASSERT_TRUE(read_file(example_host(), shipped));
  // Regenerate with: cmake --build <build> --target example-host
  EXPECT_TRUE(shipped == hostgen::write_host_json(hostgen::make_example_host()))
      << "examples/host.json is out of date";
}

TEST(ExampleHostgen, HexRows) {
  const struct {
    Bytes bytes;
    std::size_t per_line;
    std::string text;
  } cases[] = {
      {{}, 16, ""},
      {{0x00}, 16, "00"},
      {{0x0A, 0xFF, 0x7E}, 16, "0a ff 7e"},
      {Bytes(16, 0x11), 16, "11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11"},
      {Bytes(17, 0x22), 16, "22 22 22 22 22 22 22 22 22 22 22 22 22 22 22 22\n22"},
      {{1, 2, 3, 4, 5}, 2, "01 02\n03 04\n05"},
      {{1, 2, 3}, 0, "01 02 03"},
  };
  for (const auto& c : cases) EXPECT_EQ(hostgen::hex_rows(c.bytes, c.per_line), c.text);
}

TEST(ExampleHostgen, JsonLayout) {
  const Json small = {{"a", 1}, {"b", Json::array({1, 2})}};
  const struct {
    Json value;
    std::size_t width;
    std::string text;
  } cases[] = {
      {Json(5), 10, "5"},
      {Json("x\ny"), 2, "\"x\\ny\""},
      {Json::object(), 1, "{}"},
      {Json::array(), 1, "[]"},
      // One line when the line and a comma fit; "{ "a": 1, "b": [1, 2] }" is 23 wide.
      {small, 24, "{ \"a\": 1, \"b\": [1, 2] }"},
      {small, 23, "{\n  \"a\": 1,\n  \"b\": [1, 2]\n}"},
      {small, 10, "{\n  \"a\": 1,\n  \"b\": [\n    1,\n    2\n  ]\n}"},
      {Json::array({small, 7}), 29, "[{ \"a\": 1, \"b\": [1, 2] }, 7]"},
      {Json::array({small, 7}), 28, "[\n  { \"a\": 1, \"b\": [1, 2] },\n  7\n]"},
  };
  for (const auto& c : cases) EXPECT_EQ(hostgen::layout_json(c.value, c.width), c.text) << c.width;
}

// Bytes `from`..`to` of an image as text.
std::string text_at(const hostgen::Image& image, std::size_t from, std::size_t to) {
  return std::string(image.begin() + from, image.begin() + to + 1);
}

TEST(ExampleHostgen, FamilyEncoders) {
  // [RB]: decimal serial at 13..20 and LDEV at 22..26, the port characters at 32, 33.
  hostgen::Image p = hostgen::rb_page("N16", 64015, 1234, '1', 'a').build();
  EXPECT_EQ(text_at(p, 8, 33), "N16  00064015 01234     1a");
  EXPECT_EQ(p[3], 30);
  EXPECT_EQ(p[7], 26);
  // [MV]: hexadecimal serial, four digits at 20..23 or five at 19..23; the model rows put
  // 500 + serial / 100000 at 16..18; LDEV in hexadecimal; the port as 4 x byte 32 + byte 33.
  p = hostgen::mv_page("TARVELO N15", 0xABCD, 0x12, 17).build();
  EXPECT_EQ(text_at(p, 8, 31), "TARVELO N15 ABCD0012    ");
  EXPECT_EQ(p[32], 4);
  EXPECT_EQ(p[33], 1);
  p = hostgen::mv_page("TARVELO N17", 210945, 256, 255).build();
  EXPECT_EQ(text_at(p, 8, 27), "TARVELO N17338010100");
  EXPECT_EQ(p[32], 63);
  EXPECT_EQ(p[33], 3);
  p = hostgen::mv_page("TARVELO 5", 1123456, 0x0A0B, 0).build();
  EXPECT_EQ(text_at(p, 8, 27), "TARVELO 51105BA00A0B");
  // [PL]: decimal serial, four digits at 20..23 or eight at 16..23; decimal LDEV; the port
  // characters one and 0x11 below the cluster and the letter.
  p = hostgen::pl_page("TARVELO P26", 812, 36, '1', 'A').build();
  EXPECT_EQ(text_at(p, 8, 33), "TARVELO P26 08120036    00");
  p = hostgen::pl_page("TARVELO 7", 70000812, 36, '2', 'B').build();
  EXPECT_EQ(text_at(p, 8, 33), "TARVELO 700008120036    11");
  // Target port designators.
  hostgen::Page83Builder b = hostgen::rb_page("N16", 1, 1, '1', 'A');
  p = hostgen::target_port_first(b, 0x0102030405060708, 0x4001, 0xE8).build();
  EXPECT_EQ(p[3], 54);
  EXPECT_EQ(p[37], 20);
  EXPECT_EQ(Bytes(p.begin() + 38, p.begin() + 48), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0x40, 0x01}));
  EXPECT_EQ(p[56], 0xE8);
  b = hostgen::rb_page("N16", 1, 1, '1', 'A');
  p = hostgen::target_port_second(b, 0x0102030405060708, 0x0102, 0x01).build();
  EXPECT_EQ(p[3], 74);
  EXPECT_EQ(p[37], 16);
  EXPECT_EQ(Bytes(p.begin() + 58, p.begin() + 68), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0x01, 0x02}));
  EXPECT_EQ(p[76], 0x01);

  const struct {
    std::string got;
    std::string want;
  } texts[] = {
      {hostgen::group_a_serial_text(64015), "0300FA0F"},
      {hostgen::group_a_serial_text(0xFFFF), "0300FFFF"},
      {hostgen::group_a_serial_text(0x10000), "50 10000"},
      {hostgen::group_a_serial_text(210945), "50 33801"},
      {hostgen::model_serial_text(150000), "5010C350"},
      {hostgen::model_serial_text(1123456), "51105BA0"},
      {hostgen::decimal_serial_text(412345), "00412345"},
      {hostgen::ldev_text(0x1A0), "01A0"},
      {hostgen::port_table_name(0), "CL1-A"},
      {hostgen::port_table_name(15), "CL1-R"},
      {hostgen::port_table_name(17), "CL2-B"},
      {hostgen::port_table_name(255), "CLG-R"},
  };
  for (const auto& t : texts) EXPECT_EQ(t.got, t.want);

  // What a device sends: the standard data up to its additional length, a page up to its
  // page length, never more than the image.
  hostgen::StdInquiryBuilder s;
  EXPECT_EQ(hostgen::std_data(s.additional_length(31).build()).size(), 36u);
  EXPECT_EQ(hostgen::std_data(s.additional_length(255).build()).size(), 256u);
  EXPECT_EQ(hostgen::page_data(hostgen::Page83Builder().page_length(254).build()).size(), 256u);
}

TEST(ExampleHostgen, FullMuTablesPackTwoBitsAState) {
  std::array<std::uint8_t, 8> remote = {3, 2, 1, 0, 0, 0, 0, 7};
  std::array<std::uint8_t, 64> local{};
  local[15] = 9;  // one byte each up to MU#15
  local[16] = 3;
  local[17] = 2;
  local[18] = 1;
  local[63] = 2;
  const hostgen::Image image = hostgen::StdInquiryBuilder().mu_tables(remote, local).build();
  EXPECT_EQ(Bytes(image.begin() + 144, image.begin() + 152), Bytes(remote.begin(), remote.end()));
  EXPECT_EQ(image[167], 9);
  EXPECT_EQ(image[168], 0b11100100);
  EXPECT_EQ(image[179], 0b00000010);
  EXPECT_EQ(Bytes(image.begin() + 169, image.begin() + 179), Bytes(10, 0));
}

TEST(ExampleHostgen, FarmLimits) {
  const struct {
    hostgen::FarmSpec spec;
    std::string error;
  } cases[] = {
      {{1, 1, 1, 400001, 0, true}, ""},
      {{1000, 10000, 1, 1, 0, false}, ""},
      {{0, 1, 1, 400001, 0, true}, "arrays must be from 1 to 1000"},
      {{1001, 1, 1, 400001, 0, true}, "arrays must be from 1 to 1000"},
      {{1, 0, 1, 400001, 0, true}, "ldevs must be from 1 to 10000"},
      {{1, 10001, 1, 400001, 0, true}, "ldevs must be from 1 to 10000"},
      {{1, 1, 0, 400001, 0, true}, "paths must be from 1 to 256"},
      {{1, 1, 257, 400001, 0, true}, "paths must be from 1 to 256"},
      {{1, 1, 1, 0, 0, true}, "serial numbers must be from 1 to 1048575"},
      {{2, 1, 1, 0xFFFFF, 0, true}, "serial numbers must be from 1 to 1048575"},
      {{1, 1, 1, 400001, 2147483647, true}, ""},
      {{1, 1, 2, 400001, 2147483647, true}, "disk numbers must be from 0 to 2147483647"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(hostgen::check_farm(c.spec, error), c.error.empty()) << c.error;
    EXPECT_EQ(error, c.error);
  }
}

TEST(ExampleHostgen, FarmHostAsVoxmiraSeesIt) {
  // 4 arrays (one of each family) x 2 LDEVs x 2 paths: disk = (path x 4 + array) x 2 +
  // LDEV. LDEV 0 of every array is a command device; LDEV 1 has local MU#0 in SMPL, RAID1
  // with group 0-1 and consistency group 1. The [PL] array (serial 70000000 + 400003) has
  // no vendor fields in its standard data.
  hostgen::FarmSpec spec;
  spec.arrays = 4;
  spec.ldevs = 2;
  spec.paths = 2;
  TempDir dir;
  const std::string host =
      dir.write("farm.json", hostgen::write_host_json(hostgen::make_farm_host(spec)));
  std::string table = "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n";
  for (const std::string port : {"CL1-A", "CL1-B"}) {
    const bool second = port == "CL1-B";
    auto row = [&](int disk, const std::string& rest) {
      std::string name = "Harddisk" + std::to_string(disk + (second ? 8 : 0));
      name.resize(15, ' ');
      table += name + " " + port + rest + "\n";
    };
    row(0, "   400001     0   -       -  0001 5:00-00 DISK-1-CM       ");
    row(1, "   400001     1   1  -/s/--  0001 1:00-01 DISK-1          ");
    row(2, "   400002     0   -       -  0002 5:00-00 DISK-1-CM       ");
    row(3, "   400002     1   1  -/s/--  0002 1:00-01 DISK-1          ");
    row(4, "   70400003     0   -       -     -       - DISK-1-CM       ");
    row(5, "   70400003     1   -       -     -       - DISK-1          ");
    row(6, "   400004     0   -       -  0004 5:00-00 DISK-1-CM       ");
    row(7, "   400004     1   1  -/s/--  0004 1:00-01 DISK-1          ");
  }
  RunResult r = run_example({"-CLI", "$Phys"}, {}, {}, host);
  EXPECT_EQ(r.out, table);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exit_code, 0);

  r = run_example({"-sort", "-CM", "hd0-15"}, {}, {}, host);
  EXPECT_EQ(
      r.out,
      lines({"VEXAM_CMD", "#dev_name               dev_name                dev_name",
             "#UnitID 0 (Serial# 400001)", "\\\\.\\PhysicalDrive0      \\\\.\\PhysicalDrive8      ",
             "#UnitID 1 (Serial# 400002)", "\\\\.\\PhysicalDrive2      \\\\.\\PhysicalDrive10     ",
             "#UnitID 2 (Serial# 400004)", "\\\\.\\PhysicalDrive6      \\\\.\\PhysicalDrive14     ",
             "#UnitID 3 (Serial# 70400003)",
             "\\\\.\\PhysicalDrive4      \\\\.\\PhysicalDrive12     "}));
  EXPECT_EQ(r.exit_code, 0);

  // Path 0 goes through the first HBA, path 1 through the second.
  r = run_example({"-CLIWN", "hd0", "hd8"}, {}, {}, host);
  EXPECT_EQ(
      r.out,
      lines({"DEVICE_FILE     NWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID",
             "Harddisk0       20005a1b2c3d0001 E8 CL1-A     0   400001     0 DISK-1-CM       ",
             "Harddisk8       20005a1b2c3d0002 E8 CL1-B     0   400001     0 DISK-1-CM       "}));
  r = run_example({"-CLIWP", "hd1"}, {}, {}, host);
  EXPECT_EQ(
      r.out,
      lines({"DEVICE_FILE     PWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID",
             "Harddisk1       10005a1b2c3d0001 E8 CL1-A     1   400001     1 DISK-1          "}));

  // Without DOS names and from another first disk.
  spec.dos_names = false;
  spec.first_disk = 100;
  spec.arrays = 1;
  spec.paths = 1;
  const hostgen::Host h = hostgen::make_farm_host(spec);
  ASSERT_EQ(h.disks.size(), 2u);
  EXPECT_EQ(h.disks[0].number, 100u);
  EXPECT_EQ(h.disks[1].number, 101u);
  EXPECT_TRUE(h.dos_devices.empty());
}

// Runs the generator's command line with its streams in temporary files.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string contents(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

CliRun hostgen_cli(std::vector<std::string> args) {
  std::vector<const char*> argv = {"hostgen"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CliRun r;
  if (out == nullptr || err == nullptr) return r;
  r.status = hostgen::hostgen_main(static_cast<int>(argv.size()), argv.data(), out, err);
  r.out = contents(out);
  r.err = contents(err);
  return r;
}

TEST(ExampleHostgen, CommandLine) {
  const std::string usage = hostgen::kHostgenUsage;
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } refused[] = {
      {{}, 2, "hostgen: what to generate is missing\n" + usage},
      {{"other"}, 2, "hostgen: unknown host: other\n" + usage},
      {{"farm"}, 2, "hostgen: ARRAYS is missing\n" + usage},
      {{"farm", "2", "3"}, 2, "hostgen: PATHS is missing\n" + usage},
      {{"farm", "x", "3", "4"}, 2, "hostgen: bad ARRAYS: x\n" + usage},
      {{"farm", "2", "-3", "4"}, 2, "hostgen: bad LDEVS: -3\n" + usage},
      {{"farm", "2", "3", "0"}, 2, "hostgen: bad PATHS: 0\n" + usage},
      {{"farm", "2", "3", "4", "--first-serial"},
       2,
       "hostgen: bad argument: --first-serial\n" + usage},
      {{"farm", "2", "3", "4", "--first-serial", "0"},
       2,
       "hostgen: bad argument: --first-serial\n" + usage},
      {{"farm", "2", "3", "4", "--first-disk", "2147483648"},
       2,
       "hostgen: bad argument: --first-disk\n" + usage},
      {{"farm", "2", "3", "257"}, 2, "hostgen: paths must be from 1 to 256\n" + usage},
      {{"farm", "1", "1", "1", "--first-serial", "1048576"},
       2,
       "hostgen: serial numbers must be from 1 to 1048575\n" + usage},
      {{"example", "-o"}, 2, "hostgen: bad argument: -o\n" + usage},
      {{"example", "-o", ""}, 2, "hostgen: bad argument: -o\n" + usage},
      {{"example", "--no-dos-names"}, 2, "hostgen: bad argument: --no-dos-names\n" + usage},
  };
  for (const auto& c : refused) {
    const CliRun r = hostgen_cli(c.args);
    EXPECT_EQ(r.status, c.status) << (c.args.empty() ? "" : c.args.back());
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }

  CliRun r = hostgen_cli({"-h"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, usage);

  const std::string example = hostgen::write_host_json(hostgen::make_example_host());
  r = hostgen_cli({"example"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.out == example);

  TempDir dir;
  r = hostgen_cli({"example", "-o", dir.file("host.json")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  std::string written;
  ASSERT_TRUE(read_file(dir.file("host.json"), written));
  EXPECT_TRUE(written == example);
  EXPECT_FALSE(read_file(dir.file("host.json.tmp"), written));

  hostgen::FarmSpec spec;
  spec.arrays = 2;
  spec.ldevs = 3;
  spec.paths = 1;
  spec.first_serial = 500;
  spec.first_disk = 7;
  spec.dos_names = false;
  r = hostgen_cli(
      {"farm", "2", "3", "1", "--first-serial", "500", "--first-disk", "7", "--no-dos-names"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.out == hostgen::write_host_json(hostgen::make_farm_host(spec)));

  r = hostgen_cli({"example", "-o", dir.file("missing/host.json")});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.starts_with("hostgen: " + dir.file("missing/host.json.tmp") + ": ")) << r.err;
}

}  // namespace
}  // namespace vox::e2e::example
