// QueryDosDevice answered from the image's DOS names, and what a "\\.\NAME" path
// opens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/hostimage/image_model.h"
#include "platform/hostimage/io_result.h"

namespace vox::plat::hostimage {

// One name (ASCII case ignored): its targets, each string-terminated, then an empty
// string; `returned` = characters stored. Unknown name: ERROR_FILE_NOT_FOUND; a buffer
// too small: ERROR_INSUFFICIENT_BUFFER (nothing stored).
IoResult query_dos_name(const HostImage& image, std::string_view name, char* buffer,
                        std::uint32_t size);
// The whole list of names, each string-terminated, closed by an empty name; `returned`
// = units stored, the closing empty name included. `dos_list_error` fails the call.
IoResult query_dos_list_narrow(const HostImage& image, char* buffer, std::uint32_t size);
IoResult query_dos_list_wide(const HostImage& image, char16_t* buffer, std::uint32_t size);

// What a path below "\\.\" names.
enum class DeviceKind { disk, volume, other };
struct DeviceTarget {
  DeviceKind kind = DeviceKind::other;
  std::size_t index = 0;  // into image.disks or image.volumes
};
// Resolves NAME of "\\.\NAME": "PhysicalDriveN" of a listed disk is that disk; a DOS
// name is followed to its first target, which is a volume when `volumes` lists it and
// another device otherwise. Returns 0, the image's open_error of the disk or volume, or
// ERROR_FILE_NOT_FOUND for a name the image does not list.
std::uint32_t resolve_device(const HostImage& image, std::string_view name, DeviceTarget& target);

}  // namespace vox::plat::hostimage
