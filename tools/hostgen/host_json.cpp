#include "tools/hostgen/host_json.h"

#include <cstdio>

#include "tools/hostgen/json_layout.h"

namespace vox::hostgen {
namespace {

template <typename T>
void put_optional(Json& object, const char* key, const std::optional<T>& value) {
  if (value) object[key] = *value;
}

void put_text(Json& object, const char* key, const std::string& value) {
  if (!value.empty()) object[key] = value;
}

Json page_json(const PageAnswer& page) {
  Json j = Json::object();
  if (!page.data.empty()) j["data"] = hex_rows(page.data);
  put_optional(j, "status", page.status);
  if (!page.sense.empty()) j["sense"] = hex_rows(page.sense);
  put_optional(j, "error", page.error);
  return j;
}

// Two upper-case hex digits, as the host image keys its pages.
std::string page_key(std::uint8_t code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[code >> 4], kDigits[code & 0x0F]};
}

Json partition_json(const Partition& p) {
  Json j = Json::object();
  put_optional(j, "number", p.number);
  j["offset"] = p.offset;
  j["length"] = p.length;
  if (p.mbr_type) {
    j["type"] = *p.mbr_type;
  } else {
    put_text(j, "type", p.gpt_type);
  }
  put_text(j, "id", p.id);
  if (p.attributes) {
    // Values past 2^53 do not survive every JSON reader as numbers.
    if (*p.attributes > (std::uint64_t{1} << 53)) {
      char text[24];
      std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(*p.attributes));
      j["attributes"] = text;
    } else {
      j["attributes"] = *p.attributes;
    }
  }
  put_optional(j, "boot", p.boot);
  put_text(j, "name", p.name);
  return j;
}

Json layout_json_of(const DiskLayout& layout) {
  Json j = Json::object();
  j["style"] = layout.style;
  if (layout.signature) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(*layout.signature));
    j["signature"] = text;
  }
  put_text(j, "disk_id", layout.disk_id);
  Json parts = Json::array();
  for (const Partition& p : layout.partitions) parts.push_back(partition_json(p));
  j["partitions"] = std::move(parts);
  return j;
}

Json disk_json(const Disk& d) {
  Json j = Json::object();
  put_text(j, "_about", d.about);
  j["number"] = d.number;
  put_optional(j, "open_error", d.open_error);
  if (!d.inquiry.empty()) j["inquiry"] = hex_rows(d.inquiry);
  put_optional(j, "inquiry_status", d.inquiry_status);
  put_optional(j, "inquiry_error", d.inquiry_error);
  if (!d.pages.empty()) {
    Json pages = Json::object();
    for (const auto& [code, page] : d.pages) pages[page_key(code)] = page_json(page);
    j["pages"] = std::move(pages);
  }
  if (d.layout) j["layout"] = layout_json_of(*d.layout);
  return j;
}

Json volume_json(const Volume& v) {
  Json j = Json::object();
  put_text(j, "_about", v.about);
  j["target"] = v.target;
  j["disks"] = v.disks;
  put_optional(j, "open_error", v.open_error);
  put_optional(j, "extents_error", v.extents_error);
  return j;
}

}  // namespace

std::string hex_rows(std::span<const std::uint8_t> bytes, std::size_t per_line) {
  static constexpr char kDigits[] = "0123456789abcdef";
  if (per_line == 0) per_line = bytes.size();
  std::string text;
  text.reserve(bytes.size() * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i != 0) text.push_back(i % per_line == 0 ? '\n' : ' ');
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

Json host_document(const Host& host) {
  Json doc = Json::object();
  put_text(doc, "_about", host.about);
  put_text(doc, "root", host.root);
  Json disks = Json::array();
  for (const Disk& d : host.disks) disks.push_back(disk_json(d));
  doc["disks"] = std::move(disks);
  Json names = Json::array();
  for (const DosDevice& d : host.dos_devices)
    names.push_back({{"name", d.name}, {"target", d.target}});
  doc["dos_devices"] = std::move(names);
  Json volumes = Json::array();
  for (const Volume& v : host.volumes) volumes.push_back(volume_json(v));
  doc["volumes"] = std::move(volumes);
  Json mounts = Json::array();
  for (const MountPoints& m : host.mount_points) {
    mounts.push_back({{"volume", m.volume}, {"paths", m.paths}});
  }
  doc["mount_points"] = std::move(mounts);
  if (!host.pairs.is_null()) doc["pairs"] = host.pairs;
  return doc;
}

std::string write_host_json(const Host& host) {
  return layout_json(host_document(host), 120) + "\n";
}

}  // namespace vox::hostgen
