// The replication pairs that the pair-status tool answers from: the `pairs` entry of a
// host image.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vox::twinlist {

// Remote copies pair volumes of two arrays (MU#0..3); local copies pair volumes of one
// array (MU#0..63).
enum class CopyKind { remote, local };

// One volume of a pair as its array reports it.
struct PairSide {
  std::optional<std::int32_t> serial;  // none: not known
  std::optional<std::int32_t> ldev;
  std::string device;  // the host device ("Harddisk3"); empty: not on this host
  std::string role;    // "P-VOL", "S-VOL", "SMPL" ...; "-" when not given
  std::string state;   // "PAIR", "COPY", "PSUS" ...; "-" when not given
  // The partner this side's array names; by default the other side of the pair.
  std::optional<std::int32_t> partner_serial;
  std::optional<std::int32_t> partner_ldev;
};

struct PairVolume {
  std::string name;
  int mu = 0;
  PairSide sides[2];
};

struct PairGroup {
  std::string name;
  CopyKind copy = CopyKind::remote;
  std::vector<PairVolume> volumes;
};

// Reads the `pairs` entry of a host image (none: no groups). On failure returns false
// with `error` naming the entry and what is wrong with it.
bool load_pairs(const nlohmann::json& image, std::vector<PairGroup>& groups, std::string& error);

}  // namespace vox::twinlist
