// A host image with one of each thing a capture has to get right: drives that fail to
// open or to answer, the property fallback, pages refused in their own ways, GPT, raw
// and MBR tables, failing volumes, a drive known only from a volume, drives far beyond
// 63 (300 too far to be found), several targets, a network drive and mount points.
#pragma once

#include <map>
#include <regex>
#include <span>
#include <string>

#include "tools/hostgen/host_json.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::capture::test {

inline std::string edge_host_json() {
  using hostgen::Page83Builder;
  using hostgen::StdInquiryBuilder;
  auto hex = [](const hostgen::Image& image, std::size_t n) {
    return "\"" + hostgen::hex_rows(std::span(image).first(n), 0) + "\"";
  };
  auto std_data = [&](const char* serial, std::uint8_t n = 0x3B) {
    return hex(
        StdInquiryBuilder().additional_length(n).serial_text(serial).ldev_text("002A").build(),
        n + 5u);
  };
  auto page83 = [&](const char* id) {
    return hex(Page83Builder().identifier(id).port_bytes(4, 1).build(), 34);
  };
  const hostgen::Image rb83 = Page83Builder()
                                  .page_length(0x36)
                                  .id_length(26)
                                  .identifier("N16  00064015 01234     1a")
                                  .bytes(34, {0x01, 0x03, 0x00, 0x14})
                                  .target_wwn(38, 0x50012ab00c3f0000, 0x40, 0x01, 0xe8)
                                  .build();
  const std::map<std::string, std::string> values = {
      {"STD0", hex(StdInquiryBuilder()
                       .additional_length(0xF3)
                       .serial_text("0300FA0F")
                       .port('1', 'a')
                       .host_wwns(0x10005a1b2c3d4e01, 0x20005a1b2c3d4e01)
                       .build(),
                   248)},
      {"P83_0", hex(rb83, 58)},
      {"ID1", "\"" + hostgen::hex_rows(std::span(rb83).subspan(8, 26), 0) + "\""},
      {"STD2", std_data("71012345")},
      {"STD4", std_data("5101E240")},
      {"P83_4", page83("TARVELO 5101E2400A0B")},
      {"STD5", std_data("0451abcd")},
      {"STD90",
       hex(StdInquiryBuilder().additional_length(0xF3).serial_text("41234567").pl_marker().build(),
           248)},
      {"STD200", std_data("50 3A80F")},
      {"P83_200", page83("TARVELO N173a80f0100")},
      {"STD210", std_data("70000812")},
      {"P83_210", page83("TARVELO 700008120036")},
      {"E2_210",
       hex(hostgen::PageE2Builder().real_serial_text("71012345").real_ldev_text("00FF").build(),
           80)},
  };
  std::string json = R"({"disks": [
  {"number": 0, "inquiry": STD0, "pages": {"83": {"data": P83_0}},
   "layout": {"style": "gpt", "disk_id": "6E1F2A3B-4C5D-4E6F-8091-A2B3C4D5E6F7",
     "usable_offset": 17408, "usable_length": 1073741824, "partitions": [
     {"offset": 1048576, "length": 104857600, "type": "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7",
      "id": "0D1C2B3A-4958-4677-8695-A4B3C2D1E0F1", "attributes": "0x8000000000000001",
      "name": "data"}]}},
  {"number": 1, "open_error": 5},
  {"number": 2, "inquiry_error": 21, "pages": {"83": {"error": 21}}, "device_property": STD2,
   "id_property": [{"code_set": 2, "type": 1, "id": ID1},
                   {"code_set": 1, "type": 3, "association": 1, "id": "50060e8000000001"}],
   "layout_error": 21},
  {"number": 3, "inquiry": "00000502", "inquiry_status": 2,
   "inquiry_sense": "70 00 02 00 00 00 00 0a 00 00 00 00 04 01",
   "layout": {"style": "raw", "partitions": [{"offset": 0, "length": 512}]}},
  {"number": 4, "inquiry": STD4, "pages": {"83": {"data": P83_4}, "E2": {"status": 255}},
   "layout": {"signature": "0x12345678", "partitions": [{"offset": 1048576, "length": 2097152,
     "type": 131, "id": "AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE"}]}},
  {"number": 5, "inquiry": STD5, "pages": {
   "83": {"status": 2, "sense": "70 00 06 00 00 00 00 0a 00 00 00 00 29 00"},
   "E2": {"status": 2, "sense": "70 00 05 00 00 00 00 0a 00 00 00 00 24 00"}}},
  {"number": 90, "inquiry": STD90},
  {"number": 200, "inquiry": STD200, "pages": {"83": {"data": P83_200}}},
  {"number": 210, "inquiry": STD210, "pages": {"83": {"data": P83_210}, "E2": {"data": E2_210}}},
  {"number": 300, "inquiry": "00000502"}],
 "dos_devices": [
  {"name": "C:", "target": "\\Device\\HarddiskVolume1"},
  {"name": "Volume{6e1f2a3b-4c5d-4e6f-8091-a2b3c4d5e6f7}", "target": "\\Device\\HarddiskVolume1"},
  {"name": "D:", "target": "\\Device\\HarddiskVolume2"},
  {"name": "E:", "target": "\\Device\\HarddiskVolume3"},
  {"name": "PhysicalDrive200", "target": "\\Device\\Harddisk200\\DR200"},
  {"name": "Z:", "target": "\\Device\\LanmanRedirector\\;Z:0000\\fileserver\\share"},
  {"name": "AUX", "target": ["\\DosDevices\\COM1", "\\Device\\Serial0"]}],
 "volumes": [
  {"target": "\\Device\\HarddiskVolume1", "disks": [0, 90]},
  {"target": "\\Device\\HarddiskVolume2", "disks": [], "open_error": 5},
  {"target": "\\Device\\HarddiskVolume3", "disks": [4], "extents_error": 234}],
 "mount_points": [{"volume": "Volume{6e1f2a3b-4c5d-4e6f-8091-a2b3c4d5e6f7}",
                   "paths": ["C:\\", "C:\\mnt\\x\\"]}]})";
  for (const auto& [key, value] : values)
    json = std::regex_replace(json, std::regex("\\b" + key + "\\b"), value);
  return json;
}

}  // namespace vox::capture::test
