// IOCTL_STORAGE_QUERY_PROPERTY of a disk: the device descriptor with its raw device
// properties and the device-identifier descriptor, as 64-bit Windows lays them out.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/hostimage/image_model.h"
#include "platform/hostimage/io_result.h"

namespace vox::plat::hostimage {

// STORAGE_DEVICE_DESCRIPTOR: Version u32 @0, Size u32 @4, DeviceType u8 @8,
// DeviceTypeModifier u8 @9, RemovableMedia u8 @10, CommandQueueing u8 @11, four string
// offsets u32 @12..@24 (0: none), BusType u32 @28, RawPropertiesLength u32 @32, raw
// bytes from @36. At least the 40 bytes of the fixed record.
Bytes build_device_descriptor(const Bytes& raw);

// STORAGE_DEVICE_ID_DESCRIPTOR: Version u32 @0, Size u32 @4, NumberOfIdentifiers u32
// @8, identifiers from @12, each CodeSet u32, Type u32, IdentifierSize u16, NextOffset
// u16 (16 + size rounded up to 8), Association u32, bytes from +16.
Bytes build_id_descriptor(const std::vector<StorageIdentifier>& ids);

// The query: input a STORAGE_PROPERTY_QUERY; the descriptor goes to `out` as far as it
// fits (at least its 8-byte header must), the count of bytes stored is returned.
IoResult query_storage_property(const Disk& disk, const void* in, std::uint32_t in_size, void* out,
                                std::uint32_t out_size);

}  // namespace vox::plat::hostimage
