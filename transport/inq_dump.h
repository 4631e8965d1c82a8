// The hex dump of inquiry data printed under -inqdump.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vox {

// The dump text; `address` is the memory address of data[0] as the dump shows it.
std::string format_inq_dump(const char* title, const std::uint8_t* data, std::size_t length,
                            std::uintptr_t address);
// Prints format_inq_dump of data at its own address to stdout.
void inq_dump(const char* title, const std::uint8_t* data, std::size_t length);

}  // namespace vox
