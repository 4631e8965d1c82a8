// The layout file: a 200-byte header naming the disk and the array volume, then the
// layout record exactly as the disk returned it. Little-endian throughout.
//
//   offset  size  content
//        0   128  "DEVFILE = <dev_path>\n", string end, zeros
//      128    32  "SER = <serial>\n", zeros
//      160    32  "LDEV = <ldev>(0x<ldev, 6+ hex digits>)\n", zeros
//      192     4  serial
//      196     4  ldev
//      200     n  DRIVE_LAYOUT_INFORMATION or DRIVE_LAYOUT_INFORMATION_EX, n bytes
//
// Only the two numbers and the layout are read back; the texts are for people.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "layout/layout_records.h"

namespace vox {

inline constexpr std::size_t kLayoutFileHeaderSize = 200;
inline constexpr std::size_t kHeaderDevFileOffset = 0;
inline constexpr std::size_t kHeaderDevFileSize = 128;
inline constexpr std::size_t kHeaderSerTextOffset = 128;
inline constexpr std::size_t kHeaderSerTextSize = 32;
inline constexpr std::size_t kHeaderLdevTextOffset = 160;
inline constexpr std::size_t kHeaderLdevTextSize = 32;
inline constexpr std::size_t kHeaderSerialOffset = 192;
inline constexpr std::size_t kHeaderLdevOffset = 196;

using LayoutFileHeader = std::array<std::uint8_t, kLayoutFileHeaderSize>;

LayoutFileHeader make_layout_file_header(const char* dev_path, std::int32_t serial,
                                         std::int32_t ldev);

// Header plus room for 1024 entries: 32976 bytes for the basic form, 147704 for the ex
// form. Saves and restores work in a zeroed image of this size.
std::size_t layout_file_image_size(LayoutForm form);

// The serial and LDEV a file image was saved for (zero past the end of `image`).
std::int32_t file_serial(std::span<const std::uint8_t> image);
std::int32_t file_ldev(std::span<const std::uint8_t> image);

// The disk's tag shown in the result lines, at most 36 characters: the disk signature
// as "%08X" (basic form; ex form of any style but GPT), or the GPT disk GUID.
inline constexpr std::size_t kDiskTagSize = 37;
using DiskTag = std::array<char, kDiskTagSize>;
DiskTag make_disk_tag(std::span<const std::uint8_t> image, LayoutForm form);

}  // namespace vox
