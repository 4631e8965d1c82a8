// Where the array serial number stands in a disk's answers, and in which notation.
//
// The arrays write their serial number as text: in the standard INQUIRY data (bytes
// 36..43), in the real-volume part of the vendor page 0xE2 (bytes 28..35) and in the
// identifier of page 0x83, in decimal or hexadecimal, sometimes after a model number
// and always next to characters that name the array family. A field is the run of
// digits voxmira reads there, with what it takes to write another number into it
// without changing how voxmira reads the text: the same family, the same notation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/hostimage/image_model.h"

namespace vox::capture {

enum class SerialSource { std_inquiry, device_property, page_e2, page_83, id_property };

struct SerialField {
  SerialSource source = SerialSource::std_inquiry;
  std::size_t index = 0;    // id_property: the identifier
  std::size_t run_at = 0;   // first digit, counted in the text as voxmira reads it
  std::size_t run_len = 0;  // number of digits
  int base = 10;
  std::int64_t add = 0;    // the model number's share: (model - 500) x 100000
  std::size_t keep = 0;    // leading digits that belong to the family key
  std::int64_t value = 0;  // the serial number voxmira reads
  // Family, group and notation as voxmira classifies the text; a replacement must
  // leave it as it is.
  std::string notation;

  // The numbers the field can show while keeping its notation.
  std::int64_t low() const;
  std::int64_t high() const;
  bool same_place(const SerialField& o) const {
    return source == o.source && index == o.index && run_at == o.run_at;
  }
};

// The serial fields of `disk`: the standard data (the inquiry and the raw device
// properties) when it passes the family gate or the disk answers the vendor page; the
// vendor page when its header is the maker's; page 0x83 and each identifier of the
// identifier property when its text starts with a family key.
std::vector<SerialField> find_serial_fields(const plat::hostimage::Disk& disk);

// Writes `value` (from low() to high()) into the field's digits: zero-padded, hex letters
// in the case the field used. For the four-digit page 0x83 notations, a digit just
// before the run (which voxmira does not read) becomes '0'.
void write_serial(plat::hostimage::Disk& disk, const SerialField& field, std::int64_t value);

}  // namespace vox::capture
