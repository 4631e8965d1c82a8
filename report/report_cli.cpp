#include <cstdio>

#include "report/bitmap_format.h"
#include "report/cli_format.h"
#include "report/export_record.h"
#include "report/lookups.h"
#include "report/names.h"
#include "report/output.h"
#include "report/reports.h"
#include "report/wwn_format.h"

namespace vox {
namespace {

// The lookups of -find, -findc and -export in CLI form: they replace the table and skip
// devices whose probe failed.
void cli_lookup(const char* name, const DevIdentity& record, int find_mode, unsigned fmt_flags,
                TableState& table, int present) {
  if (present == 0) return;
  switch (find_mode) {
    case 1:
      run_find_cli(name, record, fmt_flags);
      break;
    case 2:
      find_pair_groups(name, record, 1, table);
      break;
    case 3:
      print_export_record(name, record);
      break;
    default:
      break;
  }
}

// The first row of a run chooses the name-column width and prints the header.
template <typename Header>
void start_table(TableState& table, std::string_view shown, Header header) {
  if (table.header_done != 0) return;
  table.wide_layout = cli_wide_layout(shown);
  put_text(header(table.wide_layout));
  table.header_done = 1;
}

}  // namespace

void report_cli(const char* name, const DevIdentity& record, int find_mode, unsigned fmt_flags,
                TableState& table, int present) {
  if (find_mode != 0) return cli_lookup(name, record, find_mode, fmt_flags, table, present);
  const std::string_view shown = shown_name(name);
  start_table(table, shown, [&](int wide) { return cli_header(fmt_flags, wide); });
  if (present != 0) {
    put_text(cli_row(marked_name(shown, record, fmt_flags), record, fmt_flags, table.wide_layout));
  } else {
    put_text(cli_absent_row(shown, record, fmt_flags, table.wide_layout));
  }
}

void report_cli_bitmap(const char* name, const DevIdentity& record, int find_mode,
                       unsigned fmt_flags, TableState& table, int present,
                       BitmapTotals& serial_totals, LastCounted& last_counted) {
  if (find_mode != 0) return cli_lookup(name, record, find_mode, fmt_flags, table, present);
  const std::string_view shown = shown_name(name);
  start_table(table, shown, [&](int wide) {
    last_counted = LastCounted{};
    return bitmap_header(fmt_flags, wide);
  });
  if (present != 0) {
    count_bitmap_pages(record, serial_totals, last_counted);
    put_text(bitmap_row(marked_name(shown, record, fmt_flags), record, fmt_flags, table.wide_layout,
                        serial_totals));
  } else {
    put_text(bitmap_absent_row(shown, record, table.wide_layout));
  }
}

void report_cli_wwn(const char* name, const DevIdentity& record, int find_mode, unsigned fmt_flags,
                    TableState& table, int present, int cli_kind) {
  if (find_mode != 0) return cli_lookup(name, record, find_mode, fmt_flags, table, present);
  const std::string_view shown = shown_name(name);
  start_table(table, shown, [&](int wide) { return wwn_header(cli_kind, wide); });
  if (present != 0) {
    put_text(wwn_row(marked_name(shown, record, fmt_flags), record, fmt_flags, table.wide_layout,
                     cli_kind));
  } else {
    put_text(wwn_absent_row(shown, record, table.wide_layout));
  }
}

void print_export_record(const char* name, const DevIdentity& record) {
  put_text(export_line(name, record));
}

}  // namespace vox
