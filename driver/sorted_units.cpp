#include "driver/sorted_units.h"

#include <cerrno>
#include <new>

namespace vox {

int SortedUnits::sorted_insert(const char* name, const DevIdentity& record) {
  try {
    UnitEntry entry{record, name};
    SerialNode& node = serials_.try_emplace(record.serial).first->second;
    node.serial = record.serial;
    GroupEntries& group = node.groups.try_emplace(record.ldev).first->second;
    group.push_back(std::move(entry));
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return -1;
  }
  return 0;
}

}  // namespace vox
