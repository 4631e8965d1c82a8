// Kept by a caller across the rows of one table run: the header is printed once, and
// every row uses the name-column width the header chose.
#pragma once

namespace vox {

struct TableState {
  int header_done = 0;
  int wide_layout = 0;  // 1: the 60-character name column instead of the 15-character one
};

}  // namespace vox
