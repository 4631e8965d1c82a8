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
  // Regenerate with: cmake --build <build> --target example-host
  EXPECT_TRUE(read_file(example_host()) == hostgen::write_host_json(hostgen::make_example_host()))
      << "examples/host.json is out of date";
}

TEST(ExampleHostgen, FarmHostAsVoxmiraSeesIt) {
  // 4 arrays, one of each family, x 2 LDEVs: LDEV 0 a command device, LDEV 1 with local
  // MU#0 in SMPL, RAID1 group 0-1 and consistency group 1. The [PL] array (serial
  // 70000000 + 400003) has no vendor fields in its standard data.
  TempDir dir;
  const std::string host = dir.write(
      "farm.json",
      hostgen::write_host_json(hostgen::make_farm_host({.arrays = 4, .ldevs = 2, .paths = 1})));
  expect_run(run_example("-CLI $Phys", {}, {}, host),
             "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group PRODUCT_ID\n"
             "Harddisk0       CL1-A   400001     0   -       -  0001 5:00-00 DISK-1-CM       \n"
             "Harddisk1       CL1-A   400001     1   1  -/s/--  0001 1:00-01 DISK-1          \n"
             "Harddisk2       CL1-A   400002     0   -       -  0002 5:00-00 DISK-1-CM       \n"
             "Harddisk3       CL1-A   400002     1   1  -/s/--  0002 1:00-01 DISK-1          \n"
             "Harddisk4       CL1-A   70400003     0   -       -     -       - DISK-1-CM       \n"
             "Harddisk5       CL1-A   70400003     1   -       -     -       - DISK-1          \n"
             "Harddisk6       CL1-A   400004     0   -       -  0004 5:00-00 DISK-1-CM       \n"
             "Harddisk7       CL1-A   400004     1   1  -/s/--  0004 1:00-01 DISK-1          \n",
             "");
}

}  // namespace
}  // namespace vox::e2e::example
