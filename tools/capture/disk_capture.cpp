#include "tools/capture/disk_capture.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <span>

#include "platform/hostimage/drive_layout.h"
#include "platform/hostimage/io_result.h"
#include "platform/win_defs.h"
#include "tools/capture/host_answers.h"
#include "transport/inq_timeout.h"
#include "transport/scsi.h"

namespace vox::capture {
namespace {

using Bytes = hi::Bytes;

constexpr std::uint32_t kPropertyFirstSize = 4096;
constexpr std::uint32_t kPropertyMostSize = 65536;
constexpr std::uint8_t kInquiry = 0x12;
constexpr std::uint32_t kStdTransferLength = 256;
constexpr std::uint32_t kPageTransferLength = 255;

// The two VPD pages voxmira asks for, with its CDBs: page 0x83 with allocation length
// 255, the vendor page 0xE2 with CDB bytes 3 and 4 = 02 FF.
struct PageCommand {
  std::uint8_t code;
  std::array<std::uint8_t, 6> cdb;
};
constexpr std::array<PageCommand, 2> kPages{{
    {0x83, {kInquiry, 0x01, 0x83, 0x00, 0xFF, 0x00}},
    {0xE2, {kInquiry, 0x01, 0xE2, 0x02, 0xFF, 0x00}},
}};

// An INQUIRY through the pass-through, laid out as the transport lays it out: the record
// with the 256-byte sense area after it, data into a zeroed 512-byte aligned buffer.
hi::PageAnswer inquire(plat::Handle h, const std::array<std::uint8_t, 6>& cdb,
                       std::uint32_t transfer, std::uint32_t timeout) {
  alignas(512) std::array<std::uint8_t, 512> data{};
  win::ScsiPassThroughBlock block;
  std::memset(&block, 0, sizeof block);
  block.sptd.Length = sizeof(win::ScsiPassThroughDirect);
  block.sptd.SenseInfoOffset = offsetof(win::ScsiPassThroughBlock, sense);
  block.sptd.SenseInfoLength = 255;
  block.sptd.CdbLength = static_cast<std::uint8_t>(cdb.size());
  std::memcpy(block.sptd.Cdb, cdb.data(), cdb.size());
  block.sptd.DataIn = win::SCSI_IOCTL_DATA_IN;
  block.sptd.DataTransferLength = transfer;
  block.sptd.TimeOutValue = timeout;
  block.sptd.DataBuffer = data.data();
  hi::PageAnswer answer;
  std::uint32_t returned = 0;
  if (!plat::DeviceIoControl(h, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &block.sptd, sizeof block.sptd,
                             &block, sizeof block, &returned)) {
    answer.error = last_error();
    return answer;
  }
  answer.status = block.sptd.ScsiStatus;
  answer.data = moved_data(std::span(data).first(transfer), block.sptd.DataTransferLength);
  answer.sense = stored_sense(block.sense, block.sptd.SenseInfoLength);
  return answer;
}

// The descriptor of a standard storage property query, grown once to the size it
// claims; none (with `error`) when the query fails.
std::optional<Bytes> query_property(plat::Handle h, std::uint32_t property, std::uint32_t& error) {
  win::StoragePropertyQuery query{};
  query.PropertyId = property;
  query.QueryType = win::PropertyStandardQuery;
  Bytes out(kPropertyFirstSize, 0);
  for (int attempt = 0;; ++attempt) {
    std::uint32_t returned = 0;
    const auto size = static_cast<std::uint32_t>(out.size());
    if (!plat::DeviceIoControl(h, win::IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                               out.data(), size, &returned)) {
      error = last_error();
      return std::nullopt;
    }
    returned = std::min(returned, size);
    std::uint32_t claimed = 0;
    if (returned >= 8) std::memcpy(&claimed, out.data() + 4, sizeof claimed);  // Size
    if (attempt == 0 && claimed > size && claimed <= kPropertyMostSize) {
      out.assign(claimed, 0);
      continue;
    }
    out.resize(returned);
    return out;
  }
}

unsigned read_inquiries(plat::Handle h, hi::Disk& disk) {
  unsigned errors = 0;
  const int timeout_ms = get_inq_timeout();
  const hi::PageAnswer std_answer =
      inquire(h, {kInquiry, 0x00, 0x00, 0x00, 0xFF, 0x00}, kStdTransferLength,
              static_cast<std::uint32_t>(inq_timeout_seconds(timeout_ms)));
  disk.inquiry = std_answer.data;
  disk.inquiry_status = std_answer.status;
  disk.inquiry_sense = std_answer.sense;
  disk.inquiry_error = std_answer.error;
  if (std_answer.error != 0) ++errors;
  for (const PageCommand& page : kPages) {
    hi::PageAnswer answer = inquire(h, page.cdb, kPageTransferLength,
                                    pass_timeout_seconds(static_cast<std::uint32_t>(timeout_ms)));
    if (answer.error != 0) ++errors;
    if (!is_unlisted_page(answer)) disk.pages[page.code] = std::move(answer);
  }
  return errors;
}

void read_properties(plat::Handle h, hi::Disk& disk, std::vector<std::string>& notes) {
  std::uint32_t error = 0;
  if (auto d = query_property(h, win::StorageDeviceProperty, error)) {
    disk.device_property = raw_device_properties(*d);
  } else if (error != win::ERROR_NOT_SUPPORTED) {
    notes.push_back("the device property query fails with " + std::to_string(error) +
                    "; the image answers it with 50");
  }
  if (auto d = query_property(h, win::StorageDeviceIdProperty, error)) {
    disk.id_property = device_identifiers(*d);
  } else if (error != win::ERROR_NOT_SUPPORTED) {
    notes.push_back("the identifier property query fails with " + std::to_string(error) +
                    "; the image answers it with 50");
  }
}

// The table from the EX form, checked against the legacy form, which a host image
// derives from it.
unsigned read_layout(plat::Handle h, hi::Disk& disk, std::vector<std::string>& notes) {
  Bytes ex(win::kLayoutExBufferSize, 0);
  Bytes legacy(win::kLayoutBufferSize, 0);
  std::uint32_t ex_bytes = 0;
  std::uint32_t legacy_bytes = 0;
  const bool ex_ok =
      plat::DeviceIoControl(h, win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, ex.data(),
                            static_cast<std::uint32_t>(ex.size()), &ex_bytes);
  const std::uint32_t ex_error = ex_ok ? 0 : last_error();
  const bool legacy_ok =
      plat::DeviceIoControl(h, win::IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, legacy.data(),
                            static_cast<std::uint32_t>(legacy.size()), &legacy_bytes);
  const std::uint32_t legacy_error = legacy_ok ? 0 : last_error();
  ex.resize(std::min<std::size_t>(ex_bytes, ex.size()));
  legacy.resize(std::min<std::size_t>(legacy_bytes, legacy.size()));

  const std::string ex_failure =
      ex_ok ? "answers a record this image cannot hold" : "fails with " + std::to_string(ex_error);
  if (ex_ok && layout_from_ex(ex, disk.layout)) {
    if (!legacy_ok) {
      notes.push_back("the legacy layout query fails with " + std::to_string(legacy_error) +
                      "; the image answers it from the layout");
    } else if (hi::build_drive_layout(disk.layout) != legacy) {
      notes.push_back("the legacy layout query answers otherwise than the image derives it");
    }
  } else if (legacy_ok && layout_from_legacy(legacy, disk.layout)) {
    notes.push_back("the extended layout query " + ex_failure +
                    "; the image answers it from the legacy layout");
  } else {
    disk.layout_error =
        ex_ok ? (legacy_ok ? win::ERROR_INVALID_PARAMETER : legacy_error) : ex_error;
    if (ex_ok || legacy_error != ex_error) {
      notes.push_back("the extended layout query " + ex_failure + ", the legacy one " +
                      (legacy_ok ? std::string("answers a short record")
                                 : "fails with " + std::to_string(legacy_error)));
    }
    return 1;
  }
  return 0;
}

}  // namespace

std::uint32_t last_error() {
  const std::uint32_t code = plat::GetLastError();
  return code != 0 ? code : plat::hostimage::kErrorGenFailure;
}

unsigned capture_disk(plat::Handle h, hi::Disk& disk, std::vector<std::string>& notes) {
  unsigned errors = read_inquiries(h, disk);
  read_properties(h, disk, notes);
  return errors + read_layout(h, disk, notes);
}

}  // namespace vox::capture
