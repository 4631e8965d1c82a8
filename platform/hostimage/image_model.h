// A host image in memory: one Windows host as its kernel answers. The loader fills it
// from the JSON file (image_loader.h); the backend answers the platform calls from it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/hostimage/guid_text.h"

namespace vox::plat::hostimage {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<std::uint8_t>;

// What one VPD page answers.
struct PageAnswer {
  Bytes data;
  std::uint8_t status = 0;
  Bytes sense;
  std::uint32_t error = 0;  // nonzero: the pass-through call fails with it
};

// One identifier of the StorageDeviceIdProperty query.
struct StorageIdentifier {
  std::uint32_t code_set = 0;
  std::uint32_t type = 0;
  std::uint32_t association = 0;
  Bytes id;
};

// PartitionStyle values of the layout records.
enum class LayoutStyle : std::uint32_t { mbr = 0, gpt = 1, raw = 2 };

struct Partition {
  std::uint32_t number = 0;
  std::int64_t offset = 0;
  std::int64_t length = 0;
  std::uint8_t mbr_type = 0x07;
  bool boot = false;
  std::optional<std::uint32_t> hidden_sectors;  // MBR; default offset / 512
  Guid gpt_type{};
  Guid id{};  // GPT unique id; for MBR the PartitionId of the EX record
  std::uint64_t attributes = 0;
  std::u16string name;  // GPT, at most 36 units
};

struct DiskLayout {
  LayoutStyle style = LayoutStyle::mbr;
  std::uint32_t signature = 0;
  Guid disk_id{};
  std::optional<std::int64_t> usable_offset;  // GPT StartingUsableOffset; default 17408
  std::optional<std::int64_t> usable_length;  // GPT UsableLength; default from the partitions
  std::vector<Partition> partitions;
};

struct Disk {
  std::uint32_t number = 0;
  std::size_t json_index = 0;  // place in the document's "disks" array
  std::uint32_t open_error = 0;
  Bytes inquiry;
  std::uint8_t inquiry_status = 0;
  Bytes inquiry_sense;
  std::uint32_t inquiry_error = 0;
  std::map<std::uint8_t, PageAnswer> pages;
  std::optional<Bytes> device_property;
  std::optional<std::vector<StorageIdentifier>> id_property;
  DiskLayout layout;
  std::uint32_t layout_error = 0;
  std::uint32_t set_layout_error = 0;
};

struct DosDevice {
  std::string name;
  std::vector<std::string> targets;  // at least one
};

struct Volume {
  std::string target;
  std::vector<std::uint32_t> disks;
  std::uint32_t open_error = 0;
  std::uint32_t extents_error = 0;
};

struct MountPoints {
  std::string volume;  // "Volume{GUID}"
  std::vector<std::string> paths;
};

struct HostImage {
  std::filesystem::path file;  // absolute; empty for the empty host
  std::filesystem::path root;  // absolute
  std::vector<Disk> disks;
  // Disk number -> place in `disks`, filled by the loader, so that opening a drive of a
  // host of many thousand disks does not search them all. Used only while it covers
  // every disk: an image put together in memory may leave it empty.
  std::unordered_map<std::uint32_t, std::size_t> disk_places;
  std::vector<DosDevice> dos_devices;
  std::vector<Volume> volumes;
  std::vector<MountPoints> mount_points;
  std::optional<std::string> mountvol_output;
  std::uint32_t dos_list_error = 0;
  Json document;  // the file as read, written back after a layout change
};

// GPT StartingUsableOffset when the image names none: 34 sectors of 512 bytes.
inline constexpr std::int64_t kDefaultUsableOffset = 17408;

}  // namespace vox::plat::hostimage
