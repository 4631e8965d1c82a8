// The 256 array port names that a port number selects: "CL" + cluster + "-" + letter,
// with cluster 1..9, A..G (port number / 16) and letter A..R without I and O
// (port number mod 16). Entry 0 is "CL1-A", 15 "CL1-R", 16 "CL2-A", 255 "CLG-R".
#pragma once

#include <array>

namespace vox {

using PortTableName = std::array<char, 6>;  // "CLx-y" and its terminator
using PortTable = std::array<PortTableName, 256>;

namespace detail {

constexpr PortTable make_port_table() {
  constexpr char kClusters[] = "123456789ABCDEFG";
  constexpr char kLetters[] = "ABCDEFGHJKLMNPQR";
  PortTable table{};
  for (std::size_t k = 0; k < table.size(); ++k) {
    table[k] = {'C', 'L', kClusters[k / 16], '-', kLetters[k % 16], '\0'};
  }
  return table;
}

}  // namespace detail

inline constexpr PortTable PORT_TABLE = detail::make_port_table();

}  // namespace vox
