// The outcome of one emulated control code: a Windows error code (0 = success), the
// byte count the call reports, and for the pass-through the SCSI status.
#pragma once

#include <cstdint>

namespace vox::plat::hostimage {

struct IoResult {
  std::uint32_t error = 0;
  std::uint32_t returned = 0;
  std::uint8_t scsi_status = 0;
};

inline IoResult io_error(std::uint32_t code) {
  return IoResult{code, 0, 0};
}

// Windows error codes the emulation gives besides those of platform/win_defs.h.
inline constexpr std::uint32_t kErrorInvalidFunction = 1;
inline constexpr std::uint32_t kErrorTooManyOpenFiles = 4;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorFileExists = 80;
inline constexpr std::uint32_t kErrorDiskFull = 112;
inline constexpr std::uint32_t kErrorInvalidName = 123;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorFilenameTooLong = 206;
inline constexpr std::uint32_t kErrorNoAccess = 998;

}  // namespace vox::plat::hostimage
