#include "platform/hostimage/storage_property.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/hostimage/le_bytes.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage {
namespace {

constexpr std::uint32_t kDeviceDescriptorSize = 40;  // sizeof(STORAGE_DEVICE_DESCRIPTOR)
constexpr std::uint32_t kIdDescriptorSize = 16;      // sizeof(STORAGE_DEVICE_ID_DESCRIPTOR)
constexpr std::uint32_t kBusTypeScsi = 1;
constexpr std::uint32_t kPropertyExistsQuery = 1;
constexpr std::size_t kDescriptorHeaderSize = 8;  // Version and Size

std::size_t align8(std::size_t n) {
  return (n + 7) & ~std::size_t{7};
}

}  // namespace

Bytes build_device_descriptor(const Bytes& raw) {
  const std::size_t size =
      std::max<std::size_t>(kDeviceDescriptorSize, win::kDeviceDescriptorRawOffset + raw.size());
  Bytes d(size, 0);
  std::span<std::uint8_t> s(d);
  put_le<std::uint32_t>(s, 0, kDeviceDescriptorSize);
  put_le<std::uint32_t>(s, 4, static_cast<std::uint32_t>(size));
  if (!raw.empty()) d[8] = raw[0] & 0x1F;  // peripheral device type
  if (raw.size() > 1) {
    d[9] = raw[1] & 0x7F;
    d[10] = raw[1] >> 7;  // RMB
  }
  if (raw.size() > 7) d[11] = (raw[7] & 0x02) ? 1 : 0;  // CmdQue
  put_le<std::uint32_t>(s, 28, kBusTypeScsi);
  put_le<std::uint32_t>(s, win::kDeviceDescriptorRawLengthOffset,
                        static_cast<std::uint32_t>(raw.size()));
  std::copy(raw.begin(), raw.end(), d.begin() + win::kDeviceDescriptorRawOffset);
  return d;
}

Bytes build_id_descriptor(const std::vector<StorageIdentifier>& ids) {
  std::size_t size = win::kIdDescriptorFirstOffset;
  for (const StorageIdentifier& id : ids) size += align8(win::kIdentifierHeaderSize + id.id.size());
  size = std::max<std::size_t>(size, kIdDescriptorSize);
  Bytes d(size, 0);
  std::span<std::uint8_t> s(d);
  put_le<std::uint32_t>(s, 0, kIdDescriptorSize);
  put_le<std::uint32_t>(s, 4, static_cast<std::uint32_t>(size));
  put_le<std::uint32_t>(s, win::kIdDescriptorCountOffset, static_cast<std::uint32_t>(ids.size()));
  std::size_t at = win::kIdDescriptorFirstOffset;
  for (const StorageIdentifier& id : ids) {
    const std::size_t next = align8(win::kIdentifierHeaderSize + id.id.size());
    put_le<std::uint32_t>(s, at, id.code_set);
    put_le<std::uint32_t>(s, at + 4, id.type);
    put_le<std::uint16_t>(s, at + 8, static_cast<std::uint16_t>(id.id.size()));
    put_le<std::uint16_t>(s, at + 10, static_cast<std::uint16_t>(next));
    put_le<std::uint32_t>(s, at + 12, id.association);
    std::copy(id.id.begin(), id.id.end(), d.begin() + static_cast<std::ptrdiff_t>(at + 16));
    at += next;
  }
  return d;
}

IoResult query_storage_property(const Disk& disk, const void* in, std::uint32_t in_size, void* out,
                                std::uint32_t out_size) {
  if (in == nullptr || in_size < sizeof(win::StoragePropertyQuery)) {
    return io_error(win::ERROR_INVALID_PARAMETER);
  }
  win::StoragePropertyQuery query;
  std::memcpy(&query, in, sizeof query);
  bool present = false;
  if (query.PropertyId == win::StorageDeviceProperty) present = disk.device_property.has_value();
  if (query.PropertyId == win::StorageDeviceIdProperty) present = disk.id_property.has_value();
  if (query.QueryType == kPropertyExistsQuery) {
    return present ? IoResult{} : io_error(win::ERROR_NOT_SUPPORTED);
  }
  if (query.QueryType != win::PropertyStandardQuery) return io_error(win::ERROR_INVALID_PARAMETER);
  if (!present) return io_error(win::ERROR_NOT_SUPPORTED);
  if (out == nullptr || out_size < kDescriptorHeaderSize) {
    return io_error(win::ERROR_INSUFFICIENT_BUFFER);
  }
  const Bytes d = query.PropertyId == win::StorageDeviceProperty
                      ? build_device_descriptor(*disk.device_property)
                      : build_id_descriptor(*disk.id_property);
  const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(d.size(), out_size));
  std::memcpy(out, d.data(), n);
  IoResult r;
  r.returned = n;
  return r;
}

}  // namespace vox::plat::hostimage
