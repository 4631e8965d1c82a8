// INQUIRY through IOCTL_SCSI_PASS_THROUGH_DIRECT, shaped like a UNIX device control
// call: 0, or -1 with errno.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include "driver/flags.h"
#include "platform/platform.h"
#include "platform/win_defs.h"
#include "transport/inq_timeout.h"
#include "transport/scsi.h"
#include "transport/win_error.h"

namespace vox {
namespace {

constexpr std::uint8_t kInquiry = 0x12;
constexpr std::uint8_t kStatusGood = 0x00;
constexpr std::uint8_t kStatusCheckCondition = 0x02;
constexpr std::uint8_t kStatusSelectionTimeout = 0xFF;
constexpr std::uint32_t kStdTransferLength = 256;
constexpr std::uint32_t kSenseLengthReported = 96;

// A zeroed block whose sense area follows the record directly.
win::ScsiPassThroughBlock make_block() {
  win::ScsiPassThroughBlock block;
  std::memset(&block, 0, sizeof block);
  block.sptd.Length = sizeof(win::ScsiPassThroughDirect);
  block.sptd.SenseInfoOffset = offsetof(win::ScsiPassThroughBlock, sense);
  block.sptd.SenseInfoLength = 255;
  return block;
}

// Input is the record alone, output the whole block (record and sense area).
bool pass_through(plat::Handle handle, win::ScsiPassThroughBlock& block) {
  std::uint32_t returned = 0;
  return plat::DeviceIoControl(handle, win::IOCTL_SCSI_PASS_THROUGH_DIRECT, &block.sptd,
                               sizeof block.sptd, &block, sizeof block, &returned);
}

int fail(int error) {
  errno = error;
  return -1;
}

int standard_inquiry(plat::Handle handle, std::uint8_t* buffer) {
  win::ScsiPassThroughBlock block = make_block();
  const std::uint8_t cdb[6] = {kInquiry, 0x00, 0x00, 0x00, 0xFF, 0x00};
  std::memcpy(block.sptd.Cdb, cdb, sizeof cdb);
  block.sptd.CdbLength = sizeof cdb;
  block.sptd.DataIn = win::SCSI_IOCTL_DATA_IN;
  block.sptd.DataTransferLength = kStdTransferLength;
  block.sptd.TimeOutValue = static_cast<std::uint32_t>(inq_timeout_seconds(get_inq_timeout()));
  block.sptd.DataBuffer = buffer;

  if (!pass_through(handle, block)) {
    const bool answered =
        plat::GetLastError() == win::ERROR_NOT_READY && query_device_property(handle, buffer) != 0;
    if (!answered) {
      if (cli_mode == 0) report_win_error("DeviceIoControl");
      return fail(ENXIO);
    }
    block.sptd.ScsiStatus = kStatusGood;
  }
  switch (block.sptd.ScsiStatus) {
    case kStatusGood:
      return 0;
    case kStatusCheckCondition:
      return fail(EIO);
    case kStatusSelectionTimeout:
      return fail(ENXIO);
    default:
      return fail(EIO);
  }
}

int pass_command(plat::Handle handle, ScsiRequest& request) {
  if (request.cdb_len > sizeof request.cdb) return fail(EINVAL);
  win::ScsiPassThroughBlock block = make_block();
  std::memcpy(block.sptd.Cdb, request.cdb, request.cdb_len);
  block.sptd.CdbLength = static_cast<std::uint8_t>(request.cdb_len);
  block.sptd.DataIn =
      (request.flags & 1u) != 0 ? win::SCSI_IOCTL_DATA_IN : win::SCSI_IOCTL_DATA_OUT;
  block.sptd.DataTransferLength = request.data_len;
  block.sptd.TimeOutValue = pass_timeout_seconds(request.timeout_ms);
  block.sptd.DataBuffer = request.data;

  int result = 0;
  if (!pass_through(handle, block)) {
    // The identification property answers any INQUIRY, whatever page was asked for.
    const bool answered =
        plat::GetLastError() == win::ERROR_NOT_READY && request.cdb_len > 0 &&
        request.cdb[0] == kInquiry &&
        query_id_property(handle, static_cast<std::uint8_t*>(request.data), request.data_len) != 0;
    if (answered) {
      block.sptd.ScsiStatus = kStatusGood;
    } else {
      if (cli_mode == 0) report_win_error("DeviceIoControl");
      errno = EIO;
      result = -1;
    }
  }
  std::memcpy(request.sense, block.sense, sizeof request.sense);
  request.sense_len = kSenseLengthReported;
  request.sense_status = block.sptd.ScsiStatus;
  request.data_done = request.data_len;
  request.scsi_status = block.sptd.ScsiStatus;
  return result;
}

}  // namespace

int scsi_ioctl(plat::Handle handle, int kind, void* argument) {
  if (argument == nullptr) return fail(EINVAL);
  switch (kind) {
    case SCSI_STD_INQUIRY:
      return standard_inquiry(handle, static_cast<std::uint8_t*>(argument));
    case SCSI_PASS_COMMAND:
      return pass_command(handle, *static_cast<ScsiRequest*>(argument));
    default:
      return fail(EINVAL);
  }
}

}  // namespace vox
