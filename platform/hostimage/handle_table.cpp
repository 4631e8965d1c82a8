#include "platform/hostimage/handle_table.h"

#include "platform/win_defs.h"

namespace vox::plat::hostimage {
namespace {

constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kMaximumAllowed = 0x02000000u;
constexpr std::uint32_t kFileReadData = 0x0001;
constexpr std::uint32_t kFileWriteData = 0x0002;

}  // namespace

HandleTable::~HandleTable() {
  for (auto& [h, object] : open_)
    if (object.file != nullptr) std::fclose(object.file);
}

Handle HandleTable::add(const OpenObject& object) {
  const Handle h = next_;
  next_ += 4;
  open_.emplace(h, object);
  return h;
}

OpenObject* HandleTable::find(Handle h) {
  auto it = open_.find(h);
  return it == open_.end() ? nullptr : &it->second;
}

bool HandleTable::close(Handle h) {
  auto it = open_.find(h);
  if (it == open_.end()) return false;
  if (it->second.file != nullptr) std::fclose(it->second.file);
  open_.erase(it);
  return true;
}

bool access_allows_read(std::uint32_t access) {
  return (access & (win::GENERIC_READ | kGenericAll | kMaximumAllowed | kFileReadData)) != 0;
}

bool access_allows_write(std::uint32_t access) {
  return (access & (win::GENERIC_WRITE | kGenericAll | kMaximumAllowed | kFileWriteData)) != 0;
}

}  // namespace vox::plat::hostimage
