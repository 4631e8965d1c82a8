// Byte positions in the standard INQUIRY data that the arrays fill beyond the SCSI
// header (offsets from 0; the device's additional length is byte 4).
#pragma once

#include <cstddef>

namespace vox::std_byte {

inline constexpr std::size_t kPeripheral = 0;
inline constexpr std::size_t kAdditionalLength = 4;
inline constexpr std::size_t kVendor = 8;       // 8 characters
inline constexpr std::size_t kProduct = 16;     // 16 characters
inline constexpr std::size_t kSerialText = 36;  // 8 characters
inline constexpr std::size_t kLdevText = 44;    // 4 hexadecimal characters
inline constexpr std::size_t kPortCluster = 49;
inline constexpr std::size_t kPortLetter = 50;
inline constexpr std::size_t kRemotePair = 52;
inline constexpr std::size_t kLocalPairs = 53;    // MU#0..MU#2
inline constexpr std::size_t kRaidBlock = 96;     // 7 bytes, see read_raid_block
inline constexpr std::size_t kHostPortWwn = 104;  // 8 bytes
inline constexpr std::size_t kHostNodeWwn = 112;  // 8 bytes
inline constexpr std::size_t kVolAttr = 120;
inline constexpr std::size_t kFencor = 121;
inline constexpr std::size_t kHostGroup = 122;  // big-endian u16
inline constexpr std::size_t kPlMarker = 128;   // "PL00"
inline constexpr std::size_t kSlId = 140;
inline constexpr std::size_t kClId = 141;
inline constexpr std::size_t kRemoteMu = 144;       // MU#0..MU#7, a byte each
inline constexpr std::size_t kLocalMu = 152;        // MU#0..MU#15, a byte each
inline constexpr std::size_t kLocalMuPacked = 168;  // MU#16..MU#63, four to a byte
inline constexpr std::size_t kBitmapPages = 192;    // five big-endian u32
inline constexpr std::size_t kNicName = 212;        // 32 characters

}  // namespace vox::std_byte
