// Making a capture fit to share: the values that name a site are replaced by made-up
// ones, consistently (the same real value gets the same stand-in everywhere in the
// capture), so that replaying it still shows which disks are paths to the same volume
// and which volumes sit on the same array.
//
// Replaced:
//   - array serial numbers, in the standard data (bytes 36..43), in the real-volume
//     part of the vendor page 0xE2 (bytes 28..35), in page 0x83 identifiers and in
//     the identifiers of the identifier property; as numbers, so that one array keeps
//     one stand-in in every notation, each written in its own notation (digits stay
//     digits, hex stays hex, family characters and model numbers stay);
//   - WWNs: the host port and node WWNs of the standard data (bytes 104..119) and the
//     NAA and EUI-64 designators of page 0x83 and of the identifier property, keeping
//     the address format and, for NAA 5 and 6, the maker's OUI;
//   - GUIDs wherever they are written in DOS names, targets and the mountvol output,
//     and the disk and partition GUIDs of the layouts (partition types stay);
//   - MBR disk signatures;
//   - every DOS target outside \Device\Harddisk... is cut after its second component
//     (network shares, substituted folders).
// Kept: LDEV numbers, ports, pair states, vendor and product identification, NIC names,
// DOS names apart from their GUIDs, mount-point paths, partition offsets and sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/capture/capture_model.h"

namespace vox::capture {

struct AnonymizeCounts {
  std::size_t serials = 0;       // serial numbers replaced
  std::size_t serials_kept = 0;  // serial numbers no other number could stand in for
  std::size_t wwns = 0;
  std::size_t guids = 0;
  std::size_t signatures = 0;
};

// Replaces the values in `cap`, drawing the stand-ins from `seed`.
AnonymizeCounts anonymize(Capture& cap, std::uint64_t seed);

// A DOS target as the anonymized capture keeps it: "\Device\Harddisk..." whole, any
// other target up to its third backslash.
std::string cut_target(const std::string& target);

}  // namespace vox::capture
