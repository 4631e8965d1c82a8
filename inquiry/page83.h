// The array identity in the identifier of the device-identification page 0x83.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "inquiry/byte_view.h"
#include "inquiry/dev_identity.h"
#include "inquiry/port_table.h"

namespace vox {

enum class Page83Family { kRB, kMV, kPL };

// A row of the family table: the identifier text at page byte 8 that starts with `key`
// (compared over the key's length) names the family and where its serial number is.
struct Page83Row {
  std::string_view key;
  Page83Family family;
  std::size_t serial_at;  // first page byte of the serial number text
  std::size_t serial_len;
  int serial_base;    // 10 or 16
  bool model_offset;  // + (page 16..18 decimal - 500) x 100000
  bool target_wwn;    // the page also carries the array port's WWN
};

// The first row whose key the identifier begins with, or none.
std::optional<Page83Row> find_page83_row(ByteView page);

// Fills serial, ldev, port_name and, for the [RB] and [MV] families, the target WWN,
// LUN and AL_PA when the page carries them. On failure returns null with the failure
// line in `diag` ("NOT supported RAID." or "Invalid port number"); fields written
// before the failure stay. `cli` selects the untagged port forms.
DevIdentity* decode_page83(const char* name, DevIdentity& record,
                           std::span<const std::uint8_t> page, int show_host_group,
                           const PortTable& port_table, bool cli, std::string& diag);

// The WWN, LUN and AL_PA of the array port: the first layout (WWN at 38) when the second
// identifier is at least 20 bytes and the page length at least 54, else the second
// (WWN at 58) when they are at least 16 and 74; otherwise nothing changes.
void take_target_wwn(DevIdentity& record, ByteView page);

}  // namespace vox
