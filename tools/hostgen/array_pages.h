// How the arrays encode a volume's identity: the identifier of page 0x83 of each family
// and the serial text of the standard data. The generator builds its disks from these so
// that the standard data and the pages of one volume tell the same story.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/hostgen/host_model.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::hostgen {

// Where the identity text stands in the page: first identifier at byte 8 (26 bytes, up to
// the port bytes 32 and 33), second identifier header at 34..37.
inline constexpr std::uint8_t kIdentifierLength = 26;

// [RB] families (keys "N880", "N14", "N15", "QM", "N16", "N17"): serial in decimal at
// 13..20, LDEV in decimal at 22..26, port as the cluster character and the port letter.
Page83Builder rb_page(std::string_view key, std::int32_t serial, std::int32_t ldev, char cluster,
                      char letter);

// [MV] families (keys "TARVELO N880" ... "ZEB     5"): serial in hexadecimal, four digits
// at 20..23 or five at 19..23 after the key's row, and for the "5" rows the model number
// 500 + serial / 100000 at 16..18; LDEV in hexadecimal at 24..27; the port as an index
// into the port table, 4 x byte 32 + byte 33.
Page83Builder mv_page(std::string_view key, std::int32_t serial, std::int32_t ldev, int port_index);

// [PL] families (keys "TARVELO P25", "TARVELO P26", "TARVELO 7", "TARVELO 8",
// "TARVELO 9"): serial in decimal, four digits at 20..23 or eight at 16..23 (the eight
// digits begin with the key's digit); LDEV in decimal at 24..27; the port characters one
// below the cluster character and 0x11 below the port letter.
Page83Builder pl_page(std::string_view key, std::int32_t serial, std::int32_t ldev, char cluster,
                      char letter);

// The target port in the first layout (second identifier of 20 bytes: WWN at 38, LUN at
// 46, AL_PA at 56; page length 54) or in the second one (WWN at 58, LUN at 66, AL_PA at
// 76; page length 74). The LUN's two high bits carry the addressing method.
Page83Builder& target_port_first(Page83Builder& page, std::uint64_t wwn, std::uint16_t lun,
                                 std::uint8_t al_pa);
Page83Builder& target_port_second(Page83Builder& page, std::uint64_t wwn, std::uint16_t lun,
                                  std::uint8_t al_pa);

// Serial texts of the standard data (bytes 36..43) that read back as `serial`, all of
// group A: four hex digits after "0300" (serial below 0x10000), else "50", a blank and
// five hex digits (up to 0xFFFFF).
std::string group_a_serial_text(std::int32_t serial);
// The model form: "5", the two last digits of the model 500 + serial / 100000, and
// serial % 100000 in five hex digits (group A for serials below 2,000,000).
std::string model_serial_text(std::int32_t serial);
// Eight decimal digits, the form of the "PL00" devices and of the "7x" serials.
std::string decimal_serial_text(std::int32_t serial);
// Four upper-case hex digits of the LDEV (bytes 44..47).
std::string ldev_text(std::int32_t ldev);

// What a device sends of a built image: the standard data up to its additional length
// (byte 4 + 5 bytes), a VPD page up to its page length (byte 3 + 4 bytes).
Bytes std_data(const Image& image);
Bytes page_data(const Image& image);

// The port table entry `index` (0..255): "CL1-A" ... "CLG-R".
std::string port_table_name(int index);

}  // namespace vox::hostgen
