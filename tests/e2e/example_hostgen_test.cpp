// The host-image generator: the shipped example host is what it makes, and a load-run
// host reads back in voxmira as the arrays it was built from.
#include <string>

#include "e2e/example_support.h"
#include "tools/hostgen/example_host.h"
#include "tools/hostgen/farm_host.h"
#include "tools/hostgen/host_json.h"

namespace vox::e2e::example {
namespace {

TEST(ExampleHostgen, ShippedImageIsTheGeneratorsOutput) {
  std::string shipped;
  ASSERT_TRUE(read_file(example_host(), shipped));
  // Regenerate with: cmake --build <build> --target example-host
  EXPECT_TRUE(shipped == hostgen::write_host_json(hostgen::make_example_host()))
      << "examples/host.json is out of date";
}

TEST(ExampleHostgen, FarmHostAsVoxmiraSeesIt) {
  // 4 arrays (one of each family) x 2 LDEVs x 2 paths: disk = (path x 4 + array) x 2 +
  // LDEV. LDEV 0 of every array is a command device; LDEV 1 has local MU#0 in SMPL, RAID1
  // with group 0-1 and consistency group 1. The [PL] array (serial 70000000 + 400003) has
  // no vendor fields in its standard data.
  hostgen::FarmSpec spec;
  spec.arrays = 4, spec.ldevs = 2, spec.paths = 2;
  TempDir dir;
  const std::string host =
      dir.write("farm.json", hostgen::write_host_json(hostgen::make_farm_host(spec)));
  std::string table = "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n";
  for (int path = 0; path < 2; ++path) {
    const auto row = [&](int disk, const char* rest) {
      std::string name = "Harddisk" + std::to_string(disk + 8 * path);
      name.resize(15, ' ');
      table += name + (path ? " CL1-B" : " CL1-A") + rest + "\n";
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
  expect_run(run_example({"-CLI", "$Phys"}, {}, {}, host), table, "");
}

}  // namespace
}  // namespace vox::e2e::example
