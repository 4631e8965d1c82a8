// INQUIRY commands through the SCSI pass-through, with the storage-property fallbacks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace vox {

inline constexpr int SCSI_STD_INQUIRY = 10;   // argument: a zeroed buffer of >= 256 bytes
inline constexpr int SCSI_PASS_COMMAND = 11;  // argument: a ScsiRequest

struct ScsiRequest {
  std::uint32_t flags = 0;  // bit 0: data from the device
  std::uint32_t cdb_len = 0;
  std::uint8_t cdb[16] = {};
  void* data = nullptr;
  std::uint32_t data_len = 0;
  std::uint32_t timeout_ms = 0;
  std::uint32_t data_done = 0;
  std::uint32_t scsi_status = 0;
  std::uint8_t sense[256] = {};
  std::uint32_t sense_status = 0;
  std::uint32_t sense_len = 0;
};

// The inquiry time-out in milliseconds: VEXACM_INQ_TOV, else 2000; fixed on first use.
int get_inq_timeout();
// The pass-through time-out in seconds for a time-out in milliseconds.
inline int inq_timeout_seconds(int timeout_ms) {
  return timeout_ms / 1000 + 2;
}

// 0 on success; -1 with errno ENXIO, EIO or EINVAL.
int scsi_ioctl(plat::Handle handle, int kind, void* argument);

// Standard inquiry image from the StorageDeviceProperty query into a buffer of at least
// 256 bytes (the first 244 are cleared, copies stay inside 256). 0 when the query was
// refused, 1 otherwise.
int query_device_property(plat::Handle handle, std::uint8_t* buffer);
// Device-identification page image from the StorageDeviceIdProperty query (the probe's
// buffers hold at least 255 bytes; copies are bounded by that). 0 when refused.
int query_id_property(plat::Handle handle, std::uint8_t* buffer);
// The same into a buffer of `size` bytes: nothing is written past min(size, 255).
int query_id_property(plat::Handle handle, std::uint8_t* buffer, std::size_t size);

}  // namespace vox
