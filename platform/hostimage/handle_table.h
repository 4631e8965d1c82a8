// The open handles of the host-image backend: what each one names and with which access
// it was opened. Files are closed with their handle and when the table goes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "platform/platform.h"

namespace vox::plat::hostimage {

enum class ObjectKind { disk, volume, device, file };

struct OpenObject {
  ObjectKind kind = ObjectKind::device;
  std::string path;  // as the program passed it
  std::uint32_t access = 0;
  std::size_t index = 0;  // disk or volume of the image
  std::FILE* file = nullptr;
};

class HandleTable {
 public:
  HandleTable() = default;
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;
  ~HandleTable();

  Handle add(const OpenObject& object);
  OpenObject* find(Handle h);
  // False for a handle that is not open.
  bool close(Handle h);

 private:
  std::map<Handle, OpenObject> open_;
  Handle next_ = 0x100;  // handle values step by 4, as Windows hands them out
};

// Whether `access` (CreateFile's desired access) allows reading or writing data.
bool access_allows_read(std::uint32_t access);
bool access_allows_write(std::uint32_t access);

}  // namespace vox::plat::hostimage
