#include "platform/hostimage/dos_devices.h"

#include <algorithm>
#include <string>

#include "platform/hostimage/name_compare.h"
#include "platform/hostimage/utf_text.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage {
namespace {

const DosDevice* find_dos_name(const HostImage& image, std::string_view name) {
  for (const DosDevice& d : image.dos_devices)
    if (same_name(d.name, name)) return &d;
  return nullptr;
}

// Stores the texts, each ended by a string end and the last followed by one more, when
// they all fit. `to_units` gives the text of an item in the buffer's units.
template <typename Unit, typename Items, typename ToUnits>
IoResult store_multi_string(const Items& items, ToUnits to_units, Unit* buffer,
                            std::uint32_t size) {
  std::basic_string<Unit> units;
  for (const auto& item : items) {
    units += to_units(item);
    units.push_back(Unit{});
  }
  units.push_back(Unit{});
  if (buffer == nullptr || units.size() > size) return io_error(win::ERROR_INSUFFICIENT_BUFFER);
  std::copy(units.begin(), units.end(), buffer);
  IoResult r;
  r.returned = static_cast<std::uint32_t>(units.size());
  return r;
}

// "PhysicalDriveN" with N in canonical decimal, as the object manager names drives.
bool physical_drive_number(std::string_view name, std::uint32_t& number) {
  constexpr std::string_view kPrefix = "physicaldrive";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 10) return false;
  if (!same_name(name.substr(0, kPrefix.size()), kPrefix)) return false;
  const std::string_view digits = name.substr(kPrefix.size());
  if (digits.size() > 1 && digits[0] == '0') return false;
  std::uint64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (n > 0xFFFFFFFFu) return false;
  number = static_cast<std::uint32_t>(n);
  return true;
}

// The place in `disks` of the disk with `number`: from the loader's index when it covers
// every disk, else by search.
bool disk_place(const HostImage& image, std::uint32_t number, std::size_t& place) {
  if (image.disk_places.size() == image.disks.size()) {
    const auto it = image.disk_places.find(number);
    if (it == image.disk_places.end()) return false;
    place = it->second;
    return true;
  }
  for (std::size_t i = 0; i < image.disks.size(); ++i) {
    if (image.disks[i].number == number) {
      place = i;
      return true;
    }
  }
  return false;
}

}  // namespace

IoResult query_dos_name(const HostImage& image, std::string_view name, char* buffer,
                        std::uint32_t size) {
  const DosDevice* d = find_dos_name(image, name);
  if (d == nullptr) return io_error(win::ERROR_FILE_NOT_FOUND);
  return store_multi_string(
      d->targets, [](const std::string& t) -> const std::string& { return t; }, buffer, size);
}

IoResult query_dos_list_narrow(const HostImage& image, char* buffer, std::uint32_t size) {
  if (image.dos_list_error != 0) return io_error(image.dos_list_error);
  return store_multi_string(
      image.dos_devices, [](const DosDevice& d) -> const std::string& { return d.name; }, buffer,
      size);
}

IoResult query_dos_list_wide(const HostImage& image, char16_t* buffer, std::uint32_t size) {
  if (image.dos_list_error != 0) return io_error(image.dos_list_error);
  return store_multi_string(
      image.dos_devices, [](const DosDevice& d) { return utf8_to_utf16(d.name); }, buffer, size);
}

std::uint32_t resolve_device(const HostImage& image, std::string_view name, DeviceTarget& target) {
  std::uint32_t number = 0;
  if (physical_drive_number(name, number)) {
    std::size_t place = 0;
    if (disk_place(image, number, place)) {
      target = DeviceTarget{DeviceKind::disk, place};
      return image.disks[place].open_error;
    }
  }
  const DosDevice* d = find_dos_name(image, name);
  if (d == nullptr) return win::ERROR_FILE_NOT_FOUND;
  for (std::size_t i = 0; i < image.volumes.size(); ++i) {
    if (same_name(image.volumes[i].target, d->targets.front())) {
      target = DeviceTarget{DeviceKind::volume, i};
      return image.volumes[i].open_error;
    }
  }
  target = DeviceTarget{DeviceKind::other, 0};
  return 0;
}

}  // namespace vox::plat::hostimage
