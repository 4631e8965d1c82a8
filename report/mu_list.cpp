#include <cstdlib>

#include "report/lookups.h"
#include "report/pair_states.h"
#include "report/reports.h"

namespace vox {

bool local_copy_instance() {
  return std::getenv("VEXAC_QUIL") != nullptr;
}

std::string mu_list_text(const DevIdentity& record) {
  return mu_list_for(record, local_copy_instance());
}

}  // namespace vox
