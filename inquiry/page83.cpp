#include "inquiry/page83.h"

#include <array>

#include "inquiry/port_name.h"
#include "inquiry/probe_messages.h"
#include "inquiry/std_attributes.h"
#include "inquiry/text_numbers.h"

namespace vox {
namespace {

// Page bytes.
constexpr std::size_t kPageLength = 3;  // low byte of the page length
constexpr std::size_t kIdLength = 7;    // length of the first identifier
constexpr std::size_t kIdText = 8;      // the identifier text
constexpr std::size_t kModelText = 16;  // three-digit model number, [MV]
constexpr std::size_t kRbSerial = 13;   // 8 decimal digits
constexpr std::size_t kMvSerial4 = 20;  // 4 hexadecimal digits
constexpr std::size_t kMvSerial5 = 19;  // 5 hexadecimal digits
constexpr std::size_t kPlSerial4 = 20;  // 4 decimal digits
constexpr std::size_t kPlSerial8 = 16;  // 8 decimal digits
constexpr std::size_t kRbLdev = 22;     // 5 decimal digits
constexpr std::size_t kLdev = 24;       // 4 digits: hexadecimal [MV], decimal [PL]
constexpr std::size_t kPort = 32;       // two characters, or two binary values [MV]
constexpr std::size_t kSecondIdLength = 37;

using F = Page83Family;
constexpr std::array<Page83Row, 19> kRows{{
    {"N880", F::kRB, kRbSerial, 8, 10, false, true},
    {"N14", F::kRB, kRbSerial, 8, 10, false, true},
    {"N15", F::kRB, kRbSerial, 8, 10, false, true},
    {"QM", F::kRB, kRbSerial, 8, 10, false, true},
    {"N16", F::kRB, kRbSerial, 8, 10, false, true},
    {"N17", F::kRB, kRbSerial, 8, 10, false, true},
    {"TARVELO N880", F::kMV, kMvSerial4, 4, 16, false, true},
    {"TARVELO N14", F::kMV, kMvSerial4, 4, 16, false, true},
    {"TARVELO N15", F::kMV, kMvSerial4, 4, 16, false, true},
    {"TARVELO QM", F::kMV, kMvSerial4, 4, 16, false, true},
    {"TARVELO N16", F::kMV, kMvSerial5, 5, 16, false, true},
    {"TARVELO N17", F::kMV, kMvSerial5, 5, 16, false, true},
    {"TARVELO 5", F::kMV, kMvSerial5, 5, 16, true, true},
    {"ZEB     5", F::kMV, kMvSerial5, 5, 16, true, true},
    {"TARVELO P25", F::kPL, kPlSerial4, 4, 10, false, false},
    {"TARVELO P26", F::kPL, kPlSerial4, 4, 10, false, false},
    {"TARVELO 7", F::kPL, kPlSerial8, 8, 10, false, false},
    {"TARVELO 8", F::kPL, kPlSerial8, 8, 10, false, false},
    {"TARVELO 9", F::kPL, kPlSerial8, 8, 10, false, false},
}};

std::int32_t read_serial(ByteView page, const Page83Row& row) {
  std::int32_t serial = row.serial_base == 16 ? read_hex(page, row.serial_at, row.serial_len)
                                              : read_decimal(page, row.serial_at, row.serial_len);
  if (row.model_offset) serial += (read_decimal(page, kModelText, 3) - 500) * 100000;
  return serial;
}

DevIdentity* fail(std::string& diag, std::string line) {
  diag = std::move(line);
  return nullptr;
}

}  // namespace

std::optional<Page83Row> find_page83_row(ByteView page) {
  for (const Page83Row& row : kRows) {
    if (page.matches(kIdText, row.key)) return row;
  }
  return std::nullopt;
}

void take_target_wwn(DevIdentity& r, ByteView page) {
  std::size_t wwn = 0;
  if (page[kSecondIdLength] >= 20 && page[kPageLength] >= 54) {
    wwn = 38;
  } else if (page[kSecondIdLength] >= 16 && page[kPageLength] >= 74) {
    wwn = 58;
  } else {
    return;
  }
  std::uint8_t bytes[8];
  for (std::size_t k = 0; k < sizeof bytes; ++k) bytes[k] = page[wwn + k];
  hex_text(r.tgt_wwn, bytes);
  r.lun = static_cast<std::uint16_t>((page[wwn + 8] & 0x3F) * 256 + page[wwn + 9]);
  r.al_pa = page[wwn + 18];
  r.tgt_wwn_valid = 1;
}

DevIdentity* decode_page83(const char* name, DevIdentity& r, std::span<const std::uint8_t> bytes,
                           int show_host_group, const PortTable& port_table, bool cli,
                           std::string& diag) {
  const ByteView page(bytes);
  if (page[kPageLength] < 30 || page[kIdLength] < 20) {
    return fail(diag, failure_line(name, kNotSupportedRaid, r));
  }
  const std::optional<Page83Row> row = find_page83_row(page);
  if (!row) return fail(diag, failure_line(name, kNotSupportedRaid, r));

  switch (row->family) {
    case F::kRB:
      r.serial = read_serial(page, *row);
      r.ldev = read_decimal(page, kRbLdev, 5);
      set_port_chars(r, PortFamily::kRB, static_cast<char>(page[kPort]),
                     port_letter_upper(static_cast<char>(page[kPort + 1])), show_host_group, cli);
      break;
    case F::kMV: {
      const int port = 4 * page[kPort] + page[kPort + 1];
      if (port >= static_cast<int>(port_table.size())) {
        return fail(diag, invalid_port_line(name, port, r));
      }
      r.ldev = read_hex(page, kLdev, 4);
      r.serial = read_serial(page, *row);
      set_port_table_name(r, port_table[static_cast<std::size_t>(port)].data(), show_host_group,
                          cli);
      break;
    }
    case F::kPL:
      // The port comes as a 0-based cluster digit and letter: '0' '0' is CL1-A.
      r.ldev = read_decimal(page, kLdev, 4);
      r.serial = read_serial(page, *row);
      set_port_chars(r, PortFamily::kPL, static_cast<char>(page[kPort] + 1),
                     static_cast<char>(page[kPort + 1] + 0x11), show_host_group, cli);
      break;
  }
  if (row->target_wwn) take_target_wwn(r, page);
  return &r;
}

}  // namespace vox
