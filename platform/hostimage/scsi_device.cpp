#include "platform/hostimage/scsi_device.h"

#include <algorithm>
#include <cstring>

#include "platform/win_defs.h"

namespace vox::plat::hostimage {
namespace {

constexpr std::uint8_t kInquiry = 0x12;

ScsiAnswer check_condition(std::span<const std::uint8_t> sense) {
  ScsiAnswer a;
  a.status = kStatusCheckCondition;
  a.sense = sense;
  a.allocation_length = 0;  // no data phase: the buffer is left alone
  return a;
}

}  // namespace

ScsiAnswer answer_cdb(const Disk& disk, const std::array<std::uint8_t, 16>& cdb) {
  if (cdb[0] != kInquiry) return check_condition(kSenseInvalidOpcode);
  const bool evpd = (cdb[1] & 0x01) != 0;
  const bool cmddt = (cdb[1] & 0x02) != 0;
  const std::uint8_t page = cdb[2];
  const std::uint32_t allocation = (std::uint32_t{cdb[3]} << 8) | cdb[4];
  if (cmddt || (!evpd && page != 0)) return check_condition(kSenseInvalidField);
  ScsiAnswer a;
  a.allocation_length = allocation;
  if (!evpd) {
    a.error = disk.inquiry_error;
    a.status = disk.inquiry_status;
    a.data = disk.inquiry;
    a.sense = disk.inquiry_sense;
    return a;
  }
  const auto it = disk.pages.find(page);
  if (it == disk.pages.end()) return check_condition(kSenseInvalidField);
  a.error = it->second.error;
  a.status = it->second.status;
  a.data = it->second.data;
  a.sense = it->second.sense;
  return a;
}

PassThroughView view_pass_through(const void* in, std::uint32_t in_size) {
  PassThroughView view;
  if (in == nullptr || in_size < sizeof(win::ScsiPassThroughDirect)) return view;
  win::ScsiPassThroughDirect sptd;
  std::memcpy(&sptd, in, sizeof sptd);
  view.readable = true;
  view.cdb_length = std::min<std::uint8_t>(sptd.CdbLength, 16);
  std::memcpy(view.cdb.data(), sptd.Cdb, sizeof sptd.Cdb);
  view.transfer_length = sptd.DataTransferLength;
  view.timeout = sptd.TimeOutValue;
  return view;
}

IoResult run_pass_through(const Disk& disk, const void* in, std::uint32_t in_size, void* out,
                          std::uint32_t out_size) {
  constexpr std::uint32_t kRecordSize = sizeof(win::ScsiPassThroughDirect);
  if (in == nullptr || out == nullptr || in_size < kRecordSize || out_size < kRecordSize) {
    return io_error(win::ERROR_INVALID_PARAMETER);
  }
  // The input is read whole before anything is written: input and output are often
  // the same block.
  win::ScsiPassThroughDirect sptd;
  std::memcpy(&sptd, in, sizeof sptd);
  if (sptd.Length != kRecordSize || sptd.CdbLength == 0 || sptd.CdbLength > 16) {
    return io_error(win::ERROR_INVALID_PARAMETER);
  }
  if (sptd.SenseInfoLength != 0 &&
      (sptd.SenseInfoOffset < kRecordSize || sptd.SenseInfoOffset > out_size ||
       out_size - sptd.SenseInfoOffset < sptd.SenseInfoLength)) {
    return io_error(win::ERROR_INVALID_PARAMETER);
  }
  if (sptd.DataTransferLength != 0 && sptd.DataBuffer == nullptr) {
    return io_error(kErrorNoAccess);
  }
  std::array<std::uint8_t, 16> cdb{};
  std::memcpy(cdb.data(), sptd.Cdb, sptd.CdbLength);
  const ScsiAnswer answer = answer_cdb(disk, cdb);
  if (answer.error != 0) return io_error(answer.error);

  std::uint32_t moved = 0;
  if (sptd.DataIn == win::SCSI_IOCTL_DATA_IN && sptd.DataTransferLength != 0) {
    // The device sends what it has up to the allocation length; the rest of the
    // transfer reads as zero.
    const std::uint32_t limit = std::min(sptd.DataTransferLength, answer.allocation_length);
    moved = static_cast<std::uint32_t>(std::min<std::size_t>(answer.data.size(), limit));
    auto* buffer = static_cast<std::uint8_t*>(sptd.DataBuffer);
    if (moved != 0) std::memcpy(buffer, answer.data.data(), moved);
    std::memset(buffer + moved, 0, limit - moved);
  }
  const std::uint32_t sense_bytes =
      static_cast<std::uint32_t>(std::min<std::size_t>(answer.sense.size(), sptd.SenseInfoLength));
  auto* block = static_cast<std::uint8_t*>(out);
  if (sense_bytes != 0) std::memcpy(block + sptd.SenseInfoOffset, answer.sense.data(), sense_bytes);
  sptd.ScsiStatus = answer.status;
  sptd.DataTransferLength = moved;
  sptd.SenseInfoLength = static_cast<std::uint8_t>(sense_bytes);
  std::memcpy(block, &sptd, sizeof sptd);

  IoResult r;
  r.scsi_status = answer.status;
  r.returned = sense_bytes != 0 ? sptd.SenseInfoOffset + sense_bytes : kRecordSize;
  return r;
}

}  // namespace vox::plat::hostimage
