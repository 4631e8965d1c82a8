// QueryDosDevice in the two forms the tool uses: the target(s) of one DOS name, and the
// whole list of DOS names narrowed to single bytes.
#pragma once

#include <cstdint>

namespace vox {

// Free units that the whole-list query must leave unused: a list that leaves 512 or
// fewer is refused as too small, so that the next, larger buffer is tried.
inline constexpr std::uint32_t kDosListSlack = 512;

// With a name: QueryDosDeviceA(name, buffer, size), its result unchanged.
// Without a name (null): the whole list, read as UTF-16 into a buffer of `size` units
// and stored unit by unit into `buffer`, at most `size` bytes. Units above 0x7F become
// '?': the names matched later are ASCII, and a name with another character cannot be
// matched by any pattern anyway. Result: bytes stored; 0 with the Windows error set
// (ERROR_INSUFFICIENT_BUFFER when fewer than 513 units stayed free,
// ERROR_NOT_ENOUGH_MEMORY when the UTF-16 buffer cannot be had).
std::uint32_t query_dos_device(const char* name, char* buffer, std::uint32_t size);

}  // namespace vox
