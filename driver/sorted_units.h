// The -sort collection: every identified device, kept by array serial number, then
// LDEV number, then arrival order, until the end of the run prints them in that order.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "inquiry/dev_identity.h"
#include "report/reports.h"

namespace vox {

// One probed device: a full copy of its identity record and its display name. The name
// is kept whole (not cut to a fixed field), so that sorted output names a device
// exactly as unsorted output would.
struct UnitEntry {
  DevIdentity record;
  std::string name;
};

// Every host path that reached one LDEV, in the order the devices were probed.
using GroupEntries = std::vector<UnitEntry>;

// One array serial number: its LDEVs in ascending order, and the bitmap page totals
// that the -sort -CLIB table keeps for the array.
struct SerialNode {
  std::int32_t serial = 0;
  BitmapTotals totals;
  std::map<std::int32_t, GroupEntries> groups;
};

// Ordered maps keep every insert logarithmic, whatever the number of devices; equal
// keys share one node.
class SortedUnits {
 public:
  using Serials = std::map<std::int32_t, SerialNode>;

  // Stores a copy of `record` under its serial and LDEV, after the devices already
  // there. Returns 0, or -1 with errno ENOMEM when memory could not be had; a serial or
  // LDEV node created before the failure stays, empty, and prints nothing.
  int sorted_insert(const char* name, const DevIdentity& record);

  Serials& serials() { return serials_; }
  const Serials& serials() const { return serials_; }
  bool empty() const { return serials_.empty(); }

 private:
  Serials serials_;
};

}  // namespace vox
