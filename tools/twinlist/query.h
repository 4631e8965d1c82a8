// The command line of the pair-status tool.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vox::twinlist {

struct Query {
  // -d SERIAL LDEV [MU ...]: the pairs of one volume, of the given MUs or of all.
  bool by_volume = false;
  std::int32_t serial = 0;
  std::int32_t ldev = 0;
  std::vector<int> mus;
  // -g GROUP: the pairs of one group.
  std::optional<std::string> group;
  bool local_only = false;   // -l: leave out the sides that are not on this host
  bool show_device = false;  // -fd: the host device column
  bool hex = false;          // -fx: LDEV numbers in hexadecimal
  bool cli = false;          // -CLI: one blank between the fields, no alignment
  bool help = false;         // -h
};

// Reads the arguments after the program name. On failure returns false with `error`.
bool parse_query(std::span<const char* const> args, Query& query, std::string& error);

// The usage text printed by -h.
extern const char* const kUsage;

}  // namespace vox::twinlist
