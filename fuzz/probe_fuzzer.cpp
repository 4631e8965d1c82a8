// The probe of one device against a disk whose every answer comes from the input: the
// standard INQUIRY data, the pages 0x83 and 0xE2, the sense data, and the storage
// property descriptors that stand in when the pass-through is not ready. Whatever the
// probe identifies then goes through every report, since a decoded field that lost its
// string end or outgrew its width would show there.
//
// Input: byte 0 options, byte 1 statuses, bytes 2..3 format flags, then fields (16-bit
// length and bytes): standard data, page 0x83, page 0xE2, standard sense, page sense,
// device descriptor, identification descriptor.
//   options bit 0..1  vpd_select 0, 0xE2, 0xF2, 0
//           bit 2     -inqdump
//           bit 3     cli_mode
//           bit 4     show host group
//           bit 5     the standard INQUIRY pass-through answers "not ready" (21)
//           bit 6     the page pass-through answers "not ready"
//           bit 7     the property queries are refused
//   statuses low / high nibble: SCSI status of the standard INQUIRY / of the pages,
//           an index into kStatuses
#include <array>
#include <cstring>
#include <memory>

#include "driver/cm_image.h"
#include "driver/flags.h"
#include "driver/sorted_units.h"
#include "fuzz_input.h"
#include "inquiry/probe.h"
#include "platform/platform.h"
#include "report/reports.h"
#include "support/fake_scsi_device.h"

namespace {

using vox::fuzz::FuzzInput;

constexpr std::array<std::uint8_t, 16> kStatuses = {0x00, 0x02, 0xFF, 0x08, 0x18, 0x28, 0x04, 0x10,
                                                    0x14, 0x22, 0x30, 0x40, 0x01, 0x03, 0x80, 0xFE};
constexpr std::uint32_t kErrorNotReady = 21;

// Every field of the record that a report prints as text must end inside its array.
template <std::size_t N>
bool terminated(const char (&field)[N]) {
  return std::memchr(field, '\0', N) != nullptr;
}

void report_everything(const char* name, const vox::DevIdentity& record, bool found,
                       unsigned fmt_flags) {
  if (found) {
    vox::report_default(name, record, 0, fmt_flags);
    vox::print_export_record(name, record);
  }
  vox::TableState table;
  vox::report_cli(name, record, 0, fmt_flags, table, found ? 1 : 0);
  for (int kind = 1; kind <= 3; ++kind) {
    vox::TableState wwn_table;
    vox::report_cli_wwn(name, record, 0, fmt_flags, wwn_table, found ? 1 : 0, kind);
  }
  vox::TableState bitmap_table;
  vox::BitmapTotals totals;
  vox::LastCounted last;
  vox::report_cli_bitmap(name, record, 0, fmt_flags, bitmap_table, found ? 1 : 0, totals, last);
  if (found && record.is_cmddev) {
    vox::SortedUnits units;
    if (units.sorted_insert(name, record) == 0) {
      for (auto& [serial, node] : units.serials()) {
        if (const vox::GroupEntries* group = vox::best_command_group(node)) {
          std::fputs(vox::cm_image_unit(0, serial, *group).c_str(), stdout);
        }
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::uint8_t options = in.u8();
  const std::uint8_t statuses = in.u8();
  const unsigned fmt_flags = in.u16() & 0x3FFu;

  auto owned = std::make_unique<vox::test::FakeScsiDevice>();
  vox::test::FakeScsiDevice& disk = *owned;
  disk.standard.data = in.field();
  auto& page83 = disk.pages[0x83];
  auto& page_e2 = disk.pages[0xE2];
  page83.data = in.field();
  page_e2.data = in.field();
  disk.standard.sense = in.field();
  page83.sense = page_e2.sense = in.field();
  disk.standard.status = kStatuses[statuses & 0x0F];
  page83.status = page_e2.status = kStatuses[statuses >> 4];
  if (options & 0x20) disk.standard.error = kErrorNotReady;
  if (options & 0x40) page83.error = page_e2.error = kErrorNotReady;
  const vox::test::Bytes device = in.field();
  const vox::test::Bytes id = in.field();
  if (!(options & 0x80)) {
    disk.device_descriptor = device;
    disk.id_descriptor = id;
  }
  vox::plat::set_backend(std::move(owned));

  static constexpr std::uint8_t kVpd[4] = {0, 0xE2, 0xF2, 0};
  vox::inqdump_mode = (options & 0x04) ? 1 : 0;
  vox::cli_mode = (options & 0x08) ? 1 : 0;
  const char* name = "C:\\Vol3\\Dsk1";
  vox::DevIdentity record;
  const vox::DevIdentity* found =
      vox::probe_device(name, record, kVpd[options & 0x03], (options & 0x10) ? 1 : 0);
  VOX_FUZZ_CHECK(found == nullptr || found == &record);
  VOX_FUZZ_CHECK(disk.open_handles == 0);  // the drive is closed on every path
  VOX_FUZZ_CHECK(terminated(record.dev_path) && terminated(record.vendor_id) &&
                 terminated(record.product_id) && terminated(record.port_name) &&
                 terminated(record.tgt_wwn) && terminated(record.host_port_wwn) &&
                 terminated(record.host_node_wwn) && terminated(record.nic_name));
  VOX_FUZZ_CHECK(std::strcmp(record.dev_path, "\\\\.\\PhysicalDrive1") == 0);
  report_everything(name, record, found != nullptr, fmt_flags);

  vox::plat::set_backend(nullptr);
  vox::inqdump_mode = 0;
  vox::cli_mode = 0;
  return 0;
}
