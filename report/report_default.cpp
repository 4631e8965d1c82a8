#include <cstdio>

#include "report/default_format.h"
#include "report/lookups.h"
#include "report/output.h"
#include "report/reports.h"

namespace vox {

void report_default(const char* name, const DevIdentity& record, int find_mode,
                    unsigned fmt_flags) {
  switch (find_mode) {
    case 0:
      put_text(default_report_text(name, record, fmt_flags));
      break;
    case 1:
      run_find_default(name, record, fmt_flags);
      break;
    case 2: {
      // Every device gets its own pair table, header included.
      TableState table;
      find_pair_groups(name, record, 0, table);
      break;
    }
    default:
      // -export prints only in CLI form.
      break;
  }
}

}  // namespace vox
