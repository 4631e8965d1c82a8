// A host image with one of each thing a capture has to get right: drives that fail to
// open or to answer, the property fallback, pages that refuse in their own ways, GPT,
// raw and MBR tables, failing volumes, a drive known only from a volume, drives far
// beyond 63, several targets, network drives and mount points.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "tools/hostgen/host_json.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::capture::test {

using hostgen::hex_rows;
using hostgen::Page83Builder;
using hostgen::PageE2Builder;
using hostgen::StdInquiryBuilder;
using Json = nlohmann::ordered_json;

// The first `n` bytes of an image as hex text.
inline std::string hex_of(const hostgen::Image& image, std::size_t n) {
  return hex_rows(std::span(image).first(n));
}

inline std::string edge_host_json() {
  // Drive 0: [RB] over page 0x83 with an NAA designator; family A standard data.
  const auto std0 = StdInquiryBuilder()
                        .additional_length(0xF3)
                        .product("DISK-1")
                        .serial_text("0300FA0F")
                        .ldev_text("04D2")
                        .port('1', 'a')
                        .host_wwns(0x10005a1b2c3d4e01, 0x20005a1b2c3d4e01)
                        .build();
  const auto p83_0 = Page83Builder()
                         .page_length(0x36)
                         .id_length(26)
                         .identifier("N16  00064015 01234     1a")
                         .bytes(34, {0x01, 0x03, 0x00, 0x14})
                         .target_wwn(38, 0x50012ab00c3f0000, 0x40, 0x01, 0xe8)
                         .build();
  // Drive 2 answers through the storage properties only.
  const auto std2 =
      StdInquiryBuilder().additional_length(0x3B).serial_text("71012345").ldev_text("002A").build();
  // Drive 4: [MV] with the model number; 5: family A, page 0x83 refused otherwise.
  const auto std4 = StdInquiryBuilder().additional_length(0x3B).serial_text("5101E240").build();
  const auto p83_4 = Page83Builder().identifier("TARVELO 5101E2400A0B").port_bytes(4, 1).build();
  const auto std5 = StdInquiryBuilder().additional_length(0x3B).serial_text("0451abcd").build();
  // 90: the standard route with the "PL00" marker; 200: [MV] five hex digits; 210: [PL]
  // eight decimal digits and the vendor page.
  const auto std90 = StdInquiryBuilder()
                         .additional_length(0xF3)
                         .serial_text("41234567")
                         .ldev_text("0020")
                         .port('3', 'b')
                         .pl_marker()
                         .build();
  const auto std200 = StdInquiryBuilder().additional_length(0x3B).serial_text("50 3A80F").build();
  const auto p83_200 = Page83Builder().identifier("TARVELO N173a80f0100").port_bytes(4, 1).build();
  const auto std210 = StdInquiryBuilder().additional_length(0x3B).serial_text("70000812").build();
  const auto p83_210 =
      Page83Builder().identifier("TARVELO 700008120036").port_bytes('0', '1').build();
  const auto e2_210 = PageE2Builder()
                          .page_length_low(0x4C)
                          .real_product("DISK-9")
                          .real_serial_text("71012345")
                          .real_ldev_text("00FF")
                          .build();

  Json disks = Json::array();
  disks.push_back({{"number", 0},
                   {"inquiry", hex_of(std0, 248)},
                   {"pages", {{"83", {{"data", hex_of(p83_0, 58)}}}}},
                   {"layout",
                    {{"style", "gpt"},
                     {"disk_id", "6E1F2A3B-4C5D-4E6F-8091-A2B3C4D5E6F7"},
                     {"usable_offset", 17408},
                     {"usable_length", 1073741824},
                     {"partitions",
                      {{{"offset", 1048576},
                        {"length", 104857600},
                        {"type", "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7"},
                        {"id", "0D1C2B3A-4958-4677-8695-A4B3C2D1E0F1"},
                        {"attributes", "0x8000000000000001"},
                        {"name", "data"}}}}}}});
  disks.push_back({{"number", 1}, {"open_error", 5}});
  disks.push_back(
      {{"number", 2},
       {"inquiry_error", 21},
       {"pages", {{"83", {{"error", 21}}}}},
       {"device_property", hex_of(std2, 64)},
       {"id_property",
        {{{"code_set", 2}, {"type", 1}, {"id", hex_rows(std::span(p83_0).subspan(8, 26))}},
         {{"code_set", 1}, {"type", 3}, {"association", 1}, {"id", "50 06 0e 80 00 00 00 01"}}}},
       {"layout_error", 21}});
  disks.push_back(
      {{"number", 3},
       {"inquiry", "00 00 05 02"},
       {"inquiry_status", 2},
       {"inquiry_sense", "70 00 02 00 00 00 00 0a 00 00 00 00 04 01"},
       {"layout", {{"style", "raw"}, {"partitions", {{{"offset", 0}, {"length", 512}}}}}}});
  disks.push_back({{"number", 4},
                   {"inquiry", hex_of(std4, 64)},
                   {"pages", {{"83", {{"data", hex_of(p83_4, 34)}}}, {"E2", {{"status", 255}}}}},
                   {"layout",
                    {{"signature", "0x12345678"},
                     {"partitions",
                      {{{"offset", 1048576},
                        {"length", 2097152},
                        {"type", 131},
                        {"id", "AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE"}}}}}}});
  disks.push_back(
      {{"number", 5},
       {"inquiry", hex_of(std5, 64)},
       {"pages",
        {{"83", {{"status", 2}, {"sense", "70 00 06 00 00 00 00 0a 00 00 00 00 29 00"}}},
         {"E2", {{"status", 2}, {"sense", "70 00 05 00 00 00 00 0a 00 00 00 00 24 00"}}}}}});
  disks.push_back({{"number", 90}, {"inquiry", hex_of(std90, 248)}});
  disks.push_back({{"number", 200},
                   {"inquiry", hex_of(std200, 64)},
                   {"pages", {{"83", {{"data", hex_of(p83_200, 34)}}}}}});
  disks.push_back(
      {{"number", 210},
       {"inquiry", hex_of(std210, 64)},
       {"pages",
        {{"83", {{"data", hex_of(p83_210, 34)}}}, {"E2", {{"data", hex_of(e2_210, 80)}}}}}});
  disks.push_back({{"number", 300}, {"inquiry", "00 00 05 02"}});

  const std::string guid = "Volume{6e1f2a3b-4c5d-4e6f-8091-a2b3c4d5e6f7}";
  Json doc = {
      {"disks", disks},
      {"dos_devices",
       {{{"name", "C:"}, {"target", "\\Device\\HarddiskVolume1"}},
        {{"name", guid}, {"target", "\\Device\\HarddiskVolume1"}},
        {{"name", "D:"}, {"target", "\\Device\\HarddiskVolume2"}},
        {{"name", "E:"}, {"target", "\\Device\\HarddiskVolume3"}},
        {{"name", "PhysicalDrive200"}, {"target", "\\Device\\Harddisk200\\DR200"}},
        {{"name", "Z:"}, {"target", "\\Device\\LanmanRedirector\\;Z:0000\\fileserver\\share"}},
        {{"name", "AUX"}, {"target", {"\\DosDevices\\COM1", "\\Device\\Serial0"}}}}},
      {"volumes",
       {{{"target", "\\Device\\HarddiskVolume1"}, {"disks", {0, 90}}},
        {{"target", "\\Device\\HarddiskVolume2"}, {"disks", Json::array()}, {"open_error", 5}},
        {{"target", "\\Device\\HarddiskVolume3"}, {"disks", {4}}, {"extents_error", 234}}}},
      {"mount_points", {{{"volume", guid}, {"paths", {"C:\\", "C:\\mnt\\x\\"}}}}}};
  return doc.dump(2) + "\n";
}

// Drives a capture finds on the edge host (300 lies too far beyond every known drive).
inline constexpr std::uint32_t kEdgeLastDrive = 226;

}  // namespace vox::capture::test
