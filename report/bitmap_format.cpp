#include "report/bitmap_format.h"

#include "driver/run_options.h"
#include "report/cli_format.h"
#include "report/text_format.h"

namespace vox {

std::string bitmap_header(unsigned fmt_flags, int wide_layout) {
  const bool bitmap = (fmt_flags & FMT_BITMAP) != 0;
  const std::string lead = cli_header_lead(wide_layout);
  return format_text("%sPORT    SERIAL  LDEV SL CL  +%s/%s  UNUSED  PRODUCT_ID\n", lead.c_str(),
                     bitmap ? "RZ" : "LQ", bitmap ? "VX" : "LQ");
}

std::string bitmap_id_text(std::uint8_t id) {
  if (id == 0xFF || id == 0x7F) return "-";
  return format_text("%d", id);
}

void count_bitmap_pages(const DevIdentity& record, BitmapTotals& totals,
                        LastCounted& last_counted) {
  if (record.bitmap_valid == 0 || record.is_cmddev != 0) return;
  if (record.serial == last_counted.serial && record.ldev == last_counted.ldev) return;
  // The counters are kept in 32 bits; adding in unsigned arithmetic wraps instead of
  // overflowing.
  auto add = [](std::int32_t& total, std::uint32_t pages) {
    total = static_cast<std::int32_t>(static_cast<std::uint32_t>(total) + pages);
  };
  add(totals.local_pages_total, record.bitmap_pages[0]);
  add(totals.remote_pages_total, record.bitmap_pages[1]);
  add(totals.remote_cyl_total, record.bitmap_pages[2]);
  last_counted.serial = record.serial;
  last_counted.ldev = record.ldev;
}

std::string bitmap_row(std::string_view marked, const DevIdentity& record, unsigned fmt_flags,
                       int wide_layout, const BitmapTotals& totals) {
  const std::string d(marked);
  const std::string port(field_text(record.port_name));
  const std::string ldev = cli_ldev_text(record, fmt_flags);
  const std::string sl = bitmap_id_text(record.sl_id);
  const std::string cl = bitmap_id_text(record.cl_id);
  const std::string product(field_text(record.product_id));
  const bool wide = wide_layout != 0;
  if (record.bitmap_valid == 0) {
    return format_text(wide ? "%-60s %-7s %6d %5s %2s %2s %7s %7s  %-16s\n"
                            : "%-15s %-7s %6d %5s %2s %2s %7s %7s  %-16s\n",
                       d.c_str(), port.c_str(), record.serial, ldev.c_str(), sl.c_str(), cl.c_str(),
                       "-", "-", product.c_str());
  }
  const bool bitmap = (fmt_flags & FMT_BITMAP) != 0;
  std::int32_t sum = totals.local_pages_total;
  if (bitmap)
    sum = (fmt_flags & FMT_CYL) != 0 ? totals.remote_cyl_total : totals.remote_pages_total;
  // The counters are u32 in the inquiry data and shown as signed numbers.
  const int unused = static_cast<int>(bitmap ? record.bitmap_pages[4] : record.bitmap_pages[3]);
  return format_text(wide ? "%-60s %-7s %6d %5s %2s %2s %7d %7d  %-16s\n"
                          : "%-15s %-7s %6d %5s %2s %2s %7d %7d  %-16s\n",
                     d.c_str(), port.c_str(), record.serial, ldev.c_str(), sl.c_str(), cl.c_str(),
                     sum, unused, product.c_str());
}

std::string bitmap_absent_row(std::string_view shown, const DevIdentity& record, int wide_layout) {
  const std::string d(shown);
  const std::string product = dash_if_empty(field_text(record.product_id));
  return format_text(wide_layout != 0 ? "%-60s %-7s %6s %5s %2s %2s %7s %7s  %-16s\n"
                                      : "%-15s %-7s %6s %5s %2s %2s %7s %7s  %-16s\n",
                     d.c_str(), "-", "-", "-", "-", "-", "-", "-", product.c_str());
}

}  // namespace vox
