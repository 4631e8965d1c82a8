// The -sort -CLIB table: bitmap page use per device with a running total per array.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "inquiry/dev_identity.h"
#include "report/reports.h"

namespace vox {

std::string bitmap_header(unsigned fmt_flags, int wide_layout);
// The SL and CL columns: "-" for 0xFF and 0x7F, else the number.
std::string bitmap_id_text(std::uint8_t id);
// Adds the device's pages to its array's totals unless it is a command device or the
// LDEV was the last one counted (another path to the same volume).
void count_bitmap_pages(const DevIdentity& record, BitmapTotals& totals, LastCounted& last_counted);
// The row of a present device; the totals must already include it.
std::string bitmap_row(std::string_view marked, const DevIdentity& record, unsigned fmt_flags,
                       int wide_layout, const BitmapTotals& totals);
// The row of a device whose probe failed.
std::string bitmap_absent_row(std::string_view shown, const DevIdentity& record, int wide_layout);

}  // namespace vox
