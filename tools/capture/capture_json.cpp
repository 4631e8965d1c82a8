#include "tools/capture/capture_json.h"

#include "platform/hostimage/drive_layout.h"
#include "tools/hostgen/host_json.h"
#include "tools/hostgen/json_layout.h"

namespace vox::capture {
namespace {

using hi::Json;
using hostgen::hex_rows;

std::string page_key(std::uint8_t code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[code >> 4], kDigits[code & 0x0F]};
}

std::string joined(const std::vector<std::string>& notes) {
  std::string text;
  for (const std::string& n : notes) text += (text.empty() ? "" : "; ") + n;
  return text;
}

Json page_json(const hi::PageAnswer& page) {
  Json j = Json::object();
  if (!page.data.empty()) j["data"] = hex_rows(page.data);
  if (page.status != 0) j["status"] = page.status;
  if (!page.sense.empty()) j["sense"] = hex_rows(page.sense);
  if (page.error != 0) j["error"] = page.error;
  return j;
}

Json disk_json(const hi::Disk& d, const std::vector<std::string>* notes) {
  Json j = Json::object();
  if (notes != nullptr) j["_note"] = joined(*notes);
  j["number"] = d.number;
  if (d.open_error != 0) {
    j["open_error"] = d.open_error;
    return j;
  }
  if (!d.inquiry.empty()) j["inquiry"] = hex_rows(d.inquiry);
  if (d.inquiry_status != 0) j["inquiry_status"] = d.inquiry_status;
  if (!d.inquiry_sense.empty()) j["inquiry_sense"] = hex_rows(d.inquiry_sense);
  if (d.inquiry_error != 0) j["inquiry_error"] = d.inquiry_error;
  if (!d.pages.empty()) {
    Json pages = Json::object();
    for (const auto& [code, page] : d.pages) pages[page_key(code)] = page_json(page);
    j["pages"] = std::move(pages);
  }
  if (d.device_property) j["device_property"] = hex_rows(*d.device_property);
  if (d.id_property) {
    Json ids = Json::array();
    for (const hi::StorageIdentifier& id : *d.id_property) {
      Json e = {{"code_set", id.code_set}, {"type", id.type}};
      if (id.association != 0) e["association"] = id.association;
      e["id"] = hex_rows(id.id);
      ids.push_back(std::move(e));
    }
    j["id_property"] = std::move(ids);
  }
  if (d.layout_error != 0) {
    j["layout_error"] = d.layout_error;
  } else {
    j["layout"] = hi::layout_to_json(d.layout);
  }
  return j;
}

}  // namespace

Json capture_document(const Capture& cap, const std::string& about) {
  const hi::HostImage& image = cap.image;
  Json doc = Json::object();
  doc["_note"] = about;
  if (!cap.notes.empty()) doc["_notes"] = cap.notes;
  Json disks = Json::array();
  for (const hi::Disk& d : image.disks) {
    const auto it = cap.disk_notes.find(d.number);
    disks.push_back(disk_json(d, it != cap.disk_notes.end() ? &it->second : nullptr));
  }
  doc["disks"] = std::move(disks);
  Json names = Json::array();
  for (const hi::DosDevice& d : image.dos_devices) {
    Json target = d.targets.size() == 1 ? Json(d.targets.front()) : Json(d.targets);
    names.push_back({{"name", d.name}, {"target", std::move(target)}});
  }
  doc["dos_devices"] = std::move(names);
  Json volumes = Json::array();
  for (const hi::Volume& v : image.volumes) {
    Json j = {{"target", v.target}, {"disks", v.disks}};
    if (v.open_error != 0) j["open_error"] = v.open_error;
    if (v.extents_error != 0) j["extents_error"] = v.extents_error;
    volumes.push_back(std::move(j));
  }
  doc["volumes"] = std::move(volumes);
  if (image.mountvol_output) doc["mountvol_output"] = *image.mountvol_output;
  if (image.dos_list_error != 0) doc["dos_list_error"] = image.dos_list_error;
  return doc;
}

std::string capture_json_text(const Capture& cap, const std::string& about) {
  return hostgen::layout_json(capture_document(cap, about)) + "\n";
}

}  // namespace vox::capture
