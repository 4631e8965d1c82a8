// The answers of the storage property queries, turned into the inquiry images the probe
// expects when the SCSI pass-through is not available (ERROR_NOT_READY).
//
// The descriptors are read at fixed little-endian offsets. Only the bytes the query
// returned are read (bytes past them read as zero) and nothing is written past the
// caller's image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vox {

// Size of the descriptor buffer handed to IOCTL_STORAGE_QUERY_PROPERTY.
inline constexpr std::size_t kPropertyDescriptorSize = 512;
// The standard image the property fallback produces: the first 244 bytes are cleared
// before the query, and a copy never goes past the 256 bytes of a standard image.
inline constexpr std::size_t kPropertyStdClear = 244;
inline constexpr std::size_t kStdImageSize = 256;
// The identification page image: bytes 0..77 cleared, copies kept inside 255 bytes.
inline constexpr std::size_t kPropertyIdClear = 78;
inline constexpr std::size_t kPageImageSize = 255;

// STORAGE_DEVICE_DESCRIPTOR -> standard inquiry image. When RawPropertiesLength is at
// least 36, the raw device properties are copied into `image` and byte 4 becomes
// RawPropertiesLength - 5 (the inquiry additional length); otherwise `image` is left
// alone. `descriptor` holds the bytes the query returned.
void device_descriptor_to_std_image(std::span<const std::uint8_t> descriptor,
                                    std::span<std::uint8_t> image);

// STORAGE_DEVICE_ID_DESCRIPTOR -> device-identification page image: byte 1 = 0x83 and,
// with at least two identifiers, the first two as designators at bytes 4 and 28 with
// the page length in byte 3.
void id_descriptor_to_page83(std::span<const std::uint8_t> descriptor,
                             std::span<std::uint8_t> page);

}  // namespace vox
