// What the pair-status tool prints for a query: the pair lines and whether any pair
// matched.
//
// Every pair gives two lines, its first side ("L") and its partner ("R"); for -d the
// side of the given volume comes first. The fields of a line, with -fd:
//   remote copy: Group PairVol L/R Device Serial LDEV P/S Status Copy P-Serial P-LDEV MU
//   local copy:  Group PairVol L/R Device MU Serial LDEV P/S Status P-Serial P-LDEV Copy
// Without -fd the Device field is left out. P-Serial and P-LDEV are the partner as this
// side's array names it; "-" stands for anything not known.
#pragma once

#include <string>
#include <vector>

#include "tools/twinlist/pair_image.h"
#include "tools/twinlist/query.h"

namespace vox::twinlist {

struct Answer {
  std::string text;
  bool found = false;
};

// `instance`: the copies a lookup by volume concerns (local copies when VEXAC_QUIL exists).
Answer answer_query(const std::vector<PairGroup>& groups, const Query& query, CopyKind instance);

// The lines as a table: a title line above every run of lines of one copy kind; with
// `cli` the fields are separated by one blank, else aligned in columns.
std::string format_lines(const std::vector<std::vector<std::string>>& rows,
                         const std::vector<std::string>& title, bool cli);

}  // namespace vox::twinlist
