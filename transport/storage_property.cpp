// The storage property queries that stand in for INQUIRY when the pass-through answers
// ERROR_NOT_READY.
#include <algorithm>
#include <array>
#include <cstring>

#include "driver/flags.h"
#include "platform/platform.h"
#include "platform/win_defs.h"
#include "transport/scsi.h"
#include "transport/storage_descriptors.h"
#include "transport/win_error.h"

namespace vox {
namespace {

using Descriptor = std::array<std::uint8_t, kPropertyDescriptorSize>;

// IOCTL_STORAGE_QUERY_PROPERTY with a standard query for `property`. On success the
// returned bytes of the descriptor are in `bytes`; on failure the Windows error report
// is printed (unless cli_mode) and the result is false.
bool query_property(plat::Handle handle, std::uint32_t property, const char* title,
                    Descriptor& descriptor, std::span<const std::uint8_t>& bytes) {
  win::StoragePropertyQuery query{};
  query.PropertyId = property;
  query.QueryType = win::PropertyStandardQuery;
  descriptor.fill(0);
  std::uint32_t returned = 0;
  if (!plat::DeviceIoControl(handle, win::IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                             descriptor.data(), static_cast<std::uint32_t>(descriptor.size()),
                             &returned)) {
    if (cli_mode == 0) report_win_error(title);
    return false;
  }
  bytes = std::span<const std::uint8_t>(descriptor)
              .first(std::min<std::size_t>(returned, descriptor.size()));
  return true;
}

}  // namespace

int query_device_property(plat::Handle handle, std::uint8_t* buffer) {
  if (buffer == nullptr) return 0;
  std::memset(buffer, 0, kPropertyStdClear);
  Descriptor descriptor;
  std::span<const std::uint8_t> bytes;
  if (!query_property(handle, win::StorageDeviceProperty, "IOCTL_STORAGE_QUERY_PROPERTY",
                      descriptor, bytes)) {
    return 0;
  }
  device_descriptor_to_std_image(bytes, std::span<std::uint8_t>(buffer, kStdImageSize));
  return 1;
}

int query_id_property(plat::Handle handle, std::uint8_t* buffer, std::size_t size) {
  if (buffer == nullptr) return 0;
  const std::span<std::uint8_t> page(buffer, std::min(size, kPageImageSize));
  std::fill_n(page.begin(), std::min(page.size(), kPropertyIdClear), 0);
  Descriptor descriptor;
  std::span<const std::uint8_t> bytes;
  if (!query_property(handle, win::StorageDeviceIdProperty, "IOCTL_STORAGE_QUERY_PROPERTY(VPD)",
                      descriptor, bytes)) {
    return 0;
  }
  id_descriptor_to_page83(bytes, page);
  return 1;
}

int query_id_property(plat::Handle handle, std::uint8_t* buffer) {
  return query_id_property(handle, buffer, kPageImageSize);
}

}  // namespace vox
