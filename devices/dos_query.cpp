#include "devices/dos_query.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "platform/platform.h"
#include "platform/win_defs.h"

namespace vox {

std::uint32_t query_dos_device(const char* name, char* buffer, std::uint32_t size) {
  if (name != nullptr) return plat::QueryDosDeviceA(name, buffer, size);

  // Left uninitialised on purpose: a large QRY_BUF_SZ asks for a large buffer, and only
  // the units that Windows stores are read.
  std::unique_ptr<char16_t[]> wide(new (std::nothrow) char16_t[size == 0 ? 1 : size]);
  if (!wide) {
    plat::SetLastError(win::ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  const std::uint32_t units = plat::QueryDosDeviceListW(wide.get(), size);
  if (units == 0) return 0;
  if (units >= size || size - units <= kDosListSlack) {
    plat::SetLastError(win::ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  for (std::uint32_t i = 0; i < units; ++i) {
    const char16_t unit = wide[i];
    buffer[i] = unit > 0x7F ? '?' : static_cast<char>(unit);
  }
  return units;
}

}  // namespace vox
