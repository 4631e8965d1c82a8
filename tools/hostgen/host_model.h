// One Windows host as a host image describes it, in the terms the generator builds it
// with. write_host_json (host_json.h) turns it into the host-image file.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vox::hostgen {

using Bytes = std::vector<std::uint8_t>;
using Json = nlohmann::ordered_json;

// What the device answers to an INQUIRY for one VPD page.
struct PageAnswer {
  Bytes data;
  std::optional<std::uint32_t> status;  // SCSI status; none: GOOD
  Bytes sense;
  std::optional<std::uint32_t> error;  // the pass-through call itself fails with this code
};

struct Partition {
  std::optional<std::uint32_t> number;  // none: its place in the list, counted from 1
  std::int64_t offset = 0;
  std::int64_t length = 0;
  std::optional<std::uint32_t> mbr_type;  // MBR partition type byte
  std::string gpt_type;                   // GPT type GUID; empty: none
  std::string id;                         // GPT unique GUID; empty: none
  std::optional<std::uint64_t> attributes;
  std::optional<bool> boot;
  std::string name;  // GPT partition name; empty: none
};

struct DiskLayout {
  std::string style = "mbr";  // "mbr", "gpt" or "raw"
  std::optional<std::uint32_t> signature;
  std::string disk_id;  // GPT disk GUID
  std::vector<Partition> partitions;
};

struct Disk {
  std::string about;  // a note for the reader of the image
  std::uint32_t number = 0;
  std::optional<std::uint32_t> open_error;
  Bytes inquiry;
  std::optional<std::uint32_t> inquiry_status;
  std::optional<std::uint32_t> inquiry_error;
  std::map<std::uint8_t, PageAnswer> pages;
  std::optional<DiskLayout> layout;
};

struct DosDevice {
  std::string name;
  std::string target;
};

struct Volume {
  std::string about;
  std::string target;
  std::vector<std::uint32_t> disks;
  std::optional<std::uint32_t> open_error;
  std::optional<std::uint32_t> extents_error;
};

struct MountPoints {
  std::string volume;  // "Volume{GUID}"
  std::vector<std::string> paths;
};

struct Host {
  std::string about;
  std::string root;  // empty: no "root" key
  std::vector<Disk> disks;
  std::vector<DosDevice> dos_devices;
  std::vector<Volume> volumes;
  std::vector<MountPoints> mount_points;
  Json pairs;  // null: no "pairs" key
};

}  // namespace vox::hostgen
