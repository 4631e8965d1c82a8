// The probe of one device: open the physical drive behind a display name, read its
// standard INQUIRY data, take the array's attributes from it, and get the identity from
// the standard data or from a vital product data page.
#include "inquiry/probe.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/flags.h"
#include "driver/unit_number.h"
#include "inquiry/byte_view.h"
#include "inquiry/command_device.h"
#include "inquiry/family.h"
#include "inquiry/page83.h"
#include "inquiry/page_e2.h"
#include "inquiry/port_table.h"
#include "inquiry/probe_messages.h"
#include "inquiry/std_attributes.h"
#include "inquiry/std_identity.h"
#include "inquiry/std_layout.h"
#include "platform/platform.h"
#include "platform/win_defs.h"
#include "transport/inq_dump.h"
#include "transport/scsi.h"
#include "transport/win_error.h"

namespace vox {
namespace {

constexpr std::size_t kStdImageBytes = 256;
constexpr std::uint32_t kPageTransferLength = 255;
constexpr std::uint8_t kStatusGood = 0x00;
constexpr std::uint8_t kStatusCheckCondition = 0x02;
constexpr std::uint8_t kStatusSelectionTimeout = 0xFF;
constexpr std::uint8_t kVendorPageReal = 0xE2;      // -fr
constexpr std::uint8_t kVendorPageExchange = 0xF2;  // -fe

// Transfer buffers start on a 512-byte boundary, as direct transfers want them. Both are
// 512 bytes and zeroed, so that a dump of up to byte 4 + 5 (260) or byte 3 + 4 (259)
// bytes stays inside them.
struct alignas(512) TransferBuffer {
  std::array<std::uint8_t, 512> bytes{};
};

void say(const std::string& line) {
  if (cli_mode == 0) std::fputs(line.c_str(), stderr);
}

// "<head>" then perror("ioctl"), with the errno of the failed request.
void say_ioctl_failure(const std::string& head) {
  if (cli_mode != 0) return;
  const int error = errno;
  std::fputs(head.c_str(), stderr);
  errno = error;
  std::perror("ioctl");
}

// The drive number of a display name: the digits after its last "\Dsk", or else its
// first run of digits (-1 without any).
int drive_number(const char* name) {
  const char* from = name;
  for (const char* p = name; *p != '\0'; ++p) {
    if (std::strncmp(p, "\\Dsk", 4) == 0) from = p;
  }
  return parse_unit_number(from);
}

// Page route: INQUIRY for page 0x83, or the vendor page 0xE2 under -fr / -fe, and the
// decoder of that page.
DevIdentity* identity_from_page(const char* name, DevIdentity& record, plat::Handle device,
                                std::span<const std::uint8_t> std_image, std::uint8_t vpd_select,
                                int show_host_group) {
  const bool vendor_page = vpd_select == kVendorPageReal || vpd_select == kVendorPageExchange;
  TransferBuffer page_buffer;
  ScsiRequest request;
  request.flags = 1;
  request.cdb_len = 6;
  // The vendor page is asked for with allocation length 0x02FF; 255 bytes still move.
  const std::uint8_t page_cdb[6] = {0x12, 0x01, 0x83, 0x00, 0xFF, 0x00};
  const std::uint8_t vendor_cdb[6] = {0x12, 0x01, 0xE2, 0x02, 0xFF, 0x00};
  std::memcpy(request.cdb, vendor_page ? vendor_cdb : page_cdb, 6);
  request.data = page_buffer.bytes.data();
  request.data_len = kPageTransferLength;
  request.timeout_ms = static_cast<std::uint32_t>(get_inq_timeout());
  if (scsi_ioctl(device, SCSI_PASS_COMMAND, &request) != 0) {
    say_ioctl_failure(page_ioctl_head(name, record));
    return nullptr;
  }

  switch (request.scsi_status) {
    case kStatusGood:
      break;
    case kStatusCheckCondition:
      say(check_condition_line(name, request.sense[2] & 0x0Fu, request.sense[12], request.cdb[2],
                               record));
      return nullptr;
    case kStatusSelectionTimeout:
      say(selection_timeout_line(name, record));
      return nullptr;
    default:
      say(unknown_status_line(name, request.scsi_status, record));
      return nullptr;
  }

  const std::span<const std::uint8_t> page(page_buffer.bytes.data(), kPageTransferLength);
  if (inqdump_mode != 0) {
    inq_dump(vendor_page ? "PE2 inquiry" : "P83 inquiry", page_buffer.bytes.data(),
             static_cast<std::size_t>(page_buffer.bytes[3]) + 4);
  }
  const bool cli = cli_mode != 0;
  std::string diag;
  DevIdentity* result = nullptr;
  if (vpd_select == kVendorPageReal) {
    result = decode_e2_real(name, record, std_image, page, show_host_group, cli, diag);
  } else if (vpd_select == kVendorPageExchange) {
    result = decode_e2_exchange(name, record, std_image, page, show_host_group, cli, diag);
  } else {
    result = decode_page83(name, record, page, show_host_group, PORT_TABLE, cli, diag);
  }
  if (result == nullptr) say(diag);
  return result;
}

}  // namespace

DevIdentity* probe_device(const char* name, DevIdentity& record, std::uint8_t vpd_select,
                          int show_host_group) {
  record = DevIdentity{};
  if (name == nullptr) name = "";
  std::snprintf(record.dev_path, sizeof record.dev_path, "\\\\.\\PhysicalDrive%d",
                drive_number(name));

  const plat::UniqueHandle device(
      plat::CreateFileA(record.dev_path, win::GENERIC_READ | win::GENERIC_WRITE,
                        win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, win::OPEN_EXISTING,
                        win::FILE_ATTRIBUTE_NORMAL));
  if (!device.valid()) {
    if (cli_mode == 0) {
      const std::uint32_t code = plat::GetLastError();
      std::fprintf(stderr, "%s -> ", name);
      report_win_error_code("OPEN", code);
    }
    return nullptr;
  }

  TransferBuffer std_buffer;
  if (scsi_ioctl(device.get(), SCSI_STD_INQUIRY, std_buffer.bytes.data()) != 0) {
    say_ioctl_failure(std::string(name) + " -> ");
    return nullptr;
  }
  const std::span<const std::uint8_t> std_image(std_buffer.bytes.data(), kStdImageBytes);
  const ByteView inq(std_image);
  const std::size_t n = inq[std_byte::kAdditionalLength];
  if (inqdump_mode != 0)
    inq_dump("STD inquiry", std_buffer.bytes.data(), std::max<std::size_t>(36, n + 5));

  copy_text(record.vendor_id, inq, std_byte::kVendor, 8);
  copy_text(record.product_id, inq, std_byte::kProduct, 16);
  if (inq[std_byte::kPeripheral] != 0) {
    say(failure_line(name, kNotHarddisk, record));
    return nullptr;
  }
  record.is_cmddev = is_command_device(record.product_id) ? 1 : 0;
  fill_std_attributes(record, inq);

  // Devices of group P carry their identity in the standard data (the page route is
  // still taken under -inqdump, to show the page).
  if (inqdump_mode == 0 && family_gate(inq) && in_group_p(inq)) {
    if (vpd_select != 0) {
      say(failure_line(name, kNotSupportedInqPageE2, record));
      return nullptr;
    }
    decode_std_identity(record, inq, show_host_group, cli_mode != 0);
    return &record;
  }
  return identity_from_page(name, record, device.get(), std_image, vpd_select, show_host_group);
}

}  // namespace vox
