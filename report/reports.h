// The report entry points the command driver hands probed devices to.
#pragma once

#include <cstdint>
#include <string>

#include "inquiry/dev_identity.h"
#include "report/table_state.h"

namespace vox {

// Bitmap page totals of one array serial number, kept by the -sort -CLIB table.
struct BitmapTotals {
  std::int32_t local_pages_total = 0;
  std::int32_t remote_pages_total = 0;
  std::int32_t remote_cyl_total = 0;
};

// The LDEV last added to the bitmap totals; reset whenever the -CLIB header is printed.
struct LastCounted {
  std::int32_t serial = -1;
  std::int32_t ldev = -1;
};

// Default report (no CLI option), or the -find / -findc lookups of the default form.
void report_default(const char* name, const DevIdentity& record, int find_mode, unsigned fmt_flags);

// -CLI (and -CLIB outside -sort). `present` 0: the probe failed.
void report_cli(const char* name, const DevIdentity& record, int find_mode, unsigned fmt_flags,
                TableState& table, int present);
// -sort -CLIB.
void report_cli_bitmap(const char* name, const DevIdentity& record, int find_mode,
                       unsigned fmt_flags, TableState& table, int present,
                       BitmapTotals& serial_totals, LastCounted& last_counted);
// -CLIW (cli_kind 1), -CLIWP (2), -CLIWN (3).
void report_cli_wwn(const char* name, const DevIdentity& record, int find_mode, unsigned fmt_flags,
                    TableState& table, int present, int cli_kind);

// The MU numbers in use, each followed by a blank ("0 1 "); reads VEXAC_QUIL.
std::string mu_list_text(const DevIdentity& record);

// -findc: the pair table rows of every MU of the device.
void find_pair_groups(const char* name, const DevIdentity& record, int quiet, TableState& table);
// -export with a CLI option: the "VOXMIRA:" line.
void print_export_record(const char* name, const DevIdentity& record);

}  // namespace vox
