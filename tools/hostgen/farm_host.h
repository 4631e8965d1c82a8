// Hosts of many disks for load runs: N arrays x M LDEVs x P paths, every LDEV of every
// array seen through every path, each path a disk of its own.
#pragma once

#include <cstdint>
#include <string>

#include "tools/hostgen/host_model.h"

namespace vox::hostgen {

struct FarmSpec {
  int arrays = 1;  // 1 .. 1000
  int ldevs = 1;   // per array, 1 .. 10000
  int paths = 1;   // per LDEV, 1 .. 256 (path k goes through port table entry k)
  std::int32_t first_serial = 400001;  // array a has the serial first_serial + a
  std::uint32_t first_disk = 0;        // number of the first disk
  bool dos_names = true;               // a "PhysicalDriveN" DOS name per disk
};

// Checks the limits above (and that disk numbers and serials stay below 2^31); false
// with `error` saying which value is out of range.
bool check_farm(const FarmSpec& spec, std::string& error);

// The disks in path order: path 0 shows every LDEV of array 0, then of array 1 ..., then
// path 1 the same again; disk number = first_disk + (path x arrays + array) x ldevs + ldev.
// Array a's volumes are of the family a mod 4: [RB] "N16", [MV] "TARVELO N17",
// [PL] "TARVELO 7" (serial 70000000 + serial mod 1000000) and the standard route with
// the "PL00" marker. Pair states, RAID kinds, host groups and bitmap counters vary with
// the LDEV number. `spec` must pass check_farm.
Host make_farm_host(const FarmSpec& spec);

}  // namespace vox::hostgen
