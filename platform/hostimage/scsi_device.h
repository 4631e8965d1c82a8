// The SCSI device behind a disk of the image, and the pass-through record around it.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/hostimage/image_model.h"
#include "platform/hostimage/io_result.h"

namespace vox::plat::hostimage {

// Fixed-format sense data of CHECK CONDITION, ILLEGAL REQUEST (key 5) with the
// additional sense code "invalid field in CDB" (0x24) or "invalid command operation
// code" (0x20).
inline constexpr std::array<std::uint8_t, 18> kSenseInvalidField = {
    0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x24, 0, 0, 0, 0, 0};
inline constexpr std::array<std::uint8_t, 18> kSenseInvalidOpcode = {
    0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x20, 0, 0, 0, 0, 0};
inline constexpr std::uint8_t kStatusCheckCondition = 2;

// What the device does with one CDB (bytes past the CDB length read as zero).
struct ScsiAnswer {
  std::uint32_t error = 0;  // nonzero: the pass-through call itself fails
  std::uint8_t status = 0;
  std::span<const std::uint8_t> data;  // into the image (lives as long as it)
  std::span<const std::uint8_t> sense;
  std::uint32_t allocation_length = 0;  // the CDB's limit on the data phase
};
ScsiAnswer answer_cdb(const Disk& disk, const std::array<std::uint8_t, 16>& cdb);

// The fields of a pass-through record that the trace shows.
struct PassThroughView {
  bool readable = false;  // the input holds a whole record
  std::uint8_t cdb_length = 0;
  std::array<std::uint8_t, 16> cdb{};
  std::uint32_t transfer_length = 0;
  std::uint32_t timeout = 0;
};
PassThroughView view_pass_through(const void* in, std::uint32_t in_size);

// IOCTL_SCSI_PASS_THROUGH_DIRECT: `in` holds the record, `out` receives the record with
// ScsiStatus, DataTransferLength (bytes moved) and SenseInfoLength (sense bytes) set,
// and the sense bytes at SenseInfoOffset. The data goes to the record's DataBuffer.
IoResult run_pass_through(const Disk& disk, const void* in, std::uint32_t in_size, void* out,
                          std::uint32_t out_size);

}  // namespace vox::plat::hostimage
