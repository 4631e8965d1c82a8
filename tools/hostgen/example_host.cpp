#include "tools/hostgen/example_host.h"

#include <array>
#include <map>
#include <optional>
#include <string>

#include "tools/hostgen/array_pages.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::hostgen {
namespace {

// The arrays behind the host.
constexpr std::int32_t kSerialRb = 64015;        // [RB] "N16"
constexpr std::int32_t kSerialMv = 210945;       // [MV] "TARVELO N17"
constexpr std::int32_t kSerialModel = 150000;    // [MV] "TARVELO 5", model 501
constexpr std::int32_t kSerialPl = 70000812;     // [PL] "TARVELO 7"
constexpr std::int32_t kSerialMarker = 412345;   // standard data with the "PL00" marker
constexpr std::int32_t kSerialSeven = 73000101;  // standard data with a "73" serial

// The host's two initiator ports (port WWN, node WWN).
constexpr std::uint64_t kHba1Port = 0x10005a1b2c3d4e01, kHba1Node = 0x20005a1b2c3d4e01;
constexpr std::uint64_t kHba2Port = 0x10005a1b2c3d4e02, kHba2Node = 0x20005a1b2c3d4e02;

// Array port WWNs.
constexpr std::uint64_t kRbCl1A = 0x50012ab00c3f0000, kRbCl2A = 0x50012ab00c3f0010;
constexpr std::uint64_t kRbCl1B = 0x50012ab00c3f0001, kModelCl3C = 0x50012ab00d490022;

// SCSI LUN bytes with the flat addressing method (01b in the two high bits).
constexpr std::uint16_t flat_lun(std::uint16_t lun) {
  return static_cast<std::uint16_t>(0x4000 | lun);
}

// The common head of the standard data: direct-access device, SPC-4, response format 2.
StdInquiryBuilder array_std(std::uint8_t n, std::string_view product) {
  StdInquiryBuilder b;
  b.additional_length(n).bytes(2, {0x06, 0x02}).vendor("TARVELO").product(product);
  return b.text(32, "8301");
}

std::array<std::uint8_t, 8> remote_mu(std::initializer_list<std::uint8_t> first) {
  std::array<std::uint8_t, 8> t{};
  std::size_t i = 0;
  for (std::uint8_t v : first) t.at(i++) = v;
  return t;
}

// Local MU#0..63: the first states as listed, and single states further on.
std::array<std::uint8_t, 64> local_mu(
    std::initializer_list<std::uint8_t> first,
    std::initializer_list<std::pair<int, std::uint8_t>> far = {}) {
  std::array<std::uint8_t, 64> t{};
  std::size_t i = 0;
  for (std::uint8_t v : first) t.at(i++) = v;
  for (const auto& [mu, v] : far) t.at(static_cast<std::size_t>(mu)) = v;
  return t;
}

StdInquiryBuilder& bitmap(StdInquiryBuilder& b, std::array<std::uint32_t, 5> pages) {
  for (std::size_t k = 0; k < pages.size(); ++k) b.bitmap_page(k, pages[k]);
  return b;
}

Disk disk(std::uint32_t number, std::string about) {
  Disk d;
  d.number = number;
  d.about = std::move(about);
  return d;
}

template <class Builder>
PageAnswer page(const Builder& b) {
  return PageAnswer{page_data(b.build()), {}, {}, {}};
}

Partition mbr_part(std::int64_t offset, std::int64_t length, std::uint32_t type,
                   bool boot = false) {
  Partition p;
  p.offset = offset;
  p.length = length;
  p.mbr_type = type;
  if (boot) p.boot = true;
  return p;
}

// The unused slots of an MBR: Windows lists four entries, the empty ones numbered 0.
Partition empty_slot() {
  Partition p = mbr_part(0, 0, 0);
  p.number = 0;
  return p;
}

DiskLayout mbr(std::uint32_t signature, std::vector<Partition> parts) {
  DiskLayout l;
  l.style = "mbr";
  l.signature = signature;
  while (parts.size() % 4 != 0) parts.push_back(empty_slot());
  l.partitions = std::move(parts);
  return l;
}

constexpr std::int64_t kMiB = 1048576;
constexpr std::int64_t kGiB = 1024 * kMiB;
constexpr std::uint32_t kNtfs = 0x07, kLdm = 0x42;

// --- the disks ---------------------------------------------------------------------

// The standard data of an array volume: the common head, its serial text, LDEV and port.
StdInquiryBuilder volume_std(std::uint8_t n, std::string_view product, std::string_view serial,
                             std::int32_t ldev, char cluster, char letter) {
  StdInquiryBuilder b = array_std(n, product);
  b.serial_text(serial).ldev_text(ldev_text(ldev)).port(cluster, letter);
  return b;
}

// An array volume's disk: its standard data, the pages it answers and its layout.
Disk array_disk(std::uint32_t number, std::string about, const StdInquiryBuilder& b,
                std::map<std::uint8_t, PageAnswer> pages, std::optional<DiskLayout> layout = {}) {
  Disk d = disk(number, std::move(about));
  d.inquiry = std_data(b.build());
  d.pages = std::move(pages);
  d.layout = std::move(layout);
  return d;
}

// Page 0x83 of an [RB] volume with the target port in the first layout.
PageAnswer rb_port_page(std::int32_t ldev, char cluster, char letter, std::uint64_t target,
                        std::uint16_t lun, std::uint8_t al_pa) {
  Page83Builder p = rb_page("N16", kSerialRb, ldev, cluster, letter);
  return page(target_port_first(p, target, flat_lun(lun), al_pa));
}

// Vendor page 0xE2 naming the real volume on the [RB] array behind a virtualised one.
PageAnswer real_volume_page(std::string_view product, std::int32_t ldev,
                            std::initializer_list<std::uint8_t> raid, std::string_view nic) {
  PageE2Builder e;
  e.page_length_low(0x4C).real_product(product).real_serial_text(group_a_serial_text(kSerialRb));
  e.real_ldev_text(ldev_text(ldev)).raid(raid).real_nic_name(nic);
  return page(e);
}

Disk local_disk() {
  Disk d =
      disk(0, "Local SSD, not an array volume: its page 0x83 identifier comes from another maker.");
  StdInquiryBuilder b;
  b.additional_length(0x5B)
      .bytes(2, {0x06, 0x02})
      .vendor("ATA")
      .product("SSD-512G")
      .text(32, "1B6Q");
  d.inquiry = std_data(b.build());
  Page83Builder p;
  p.page_length(60).bytes(4, {0x02, 0x01, 0x00, 44});
  p.text(8, "ATA     SSD-512G        S0A1B2C3D4E5F6      ");
  p.bytes(52, {0x01, 0x03, 0x00, 0x08}).big_endian(56, 0x5f1e2d3c4b5a6978, 8);
  d.pages[0x83] = page(p);
  d.layout = mbr(0x0A0B0C0D, {mbr_part(kMiB, 549 * kMiB, kNtfs, true),
                              mbr_part(550 * kMiB, 476 * kGiB, kNtfs)});
  return d;
}

// LDEV 1234 of the [RB] array, seen through two paths (disks 1 and 8).
Disk rb_boot_volume(std::uint32_t number, char cluster, std::uint64_t host_port,
                    std::uint64_t host_node, std::uint16_t host_group, std::uint8_t cl,
                    std::uint64_t target, std::uint8_t al_pa) {
  StdInquiryBuilder b =
      volume_std(0xF3, "DISK-1", group_a_serial_text(kSerialRb), 1234, cluster, 'A');
  b.pair_states(2, 1, 2, 0).raid({0x01, 0x02, 0x05, 0x00, 0x04, 0x00, 0xFF});
  b.host_wwns(host_port, host_node).vol_attr(0x01, 0).host_group(host_group).sl_cl(0, cl);
  b.mu_tables(remote_mu({2}), local_mu({1, 2}, {{20, 3}}));
  bitmap(b, {1200, 340, 22, 8000, 1500}).nic_name("BOOT-LU-01");
  return array_disk(
      number,
      number == 1 ? "[RB] boot volume LDEV 1234 through CL1-A: H.A.R.D, full MU tables, first "
                    "WWN layout; C:"
                  : "[RB] LDEV 1234 again, second path through CL2-A (same volume as disk 1)",
      b, {{0x83, rb_port_page(1234, cluster, 'a', target, 1, al_pa)}},
      mbr(0x5A1B2C3D,
          {mbr_part(kMiB, 100 * kMiB, kNtfs, true), mbr_part(101 * kMiB, kGiB, kNtfs)}));
}

Disk mv_virtual_volume() {
  StdInquiryBuilder b = volume_std(0xF3, "DISK-2", group_a_serial_text(kSerialMv), 256, '2', 'B');
  b.raid({0x00, 0x07, 0x12, 0x00, 0x11, 0x00, 0x00});
  b.host_wwns(kHba2Port, kHba2Node).host_group(5).sl_cl(2, 2);
  bitmap(b, {0, 0, 0, 12000, 12000});
  return array_disk(
      2,
      "[MV] \"TARVELO N17\" LDEV 256 through port 17 (CL2-B); vendor page 0xE2 "
      "names the real volume 64015/261; F:",
      b,
      {{0x83, page(mv_page("TARVELO N17", kSerialMv, 256, 17))},
       {0xE2, real_volume_page("DISK-1", 261, {0x02, 0x07, 0x01, 0x00, 0x10, 0x00, 0x05},
                               "REAL-LU-0105")}},
      mbr(0x2B3C4D5E, {mbr_part(kMiB, 200 * kGiB, kNtfs)}));
}

DiskLayout model_layout() {
  DiskLayout l;
  l.style = "gpt";
  l.disk_id = "6E1F2A3B-4C5D-4E6F-8091-A2B3C4D5E6F7";
  Partition msr;
  msr.offset = 17408;
  msr.length = 16 * kMiB - 17408;
  msr.gpt_type = "E3C9E316-0B5C-4DB8-817D-F92DF00215AE";
  msr.id = "0D1C2B3A-4958-4677-8695-A4B3C2D1E0F1";
  msr.name = "Microsoft reserved partition";
  Partition data;
  data.offset = 16 * kMiB;
  data.length = 500 * kGiB;
  data.gpt_type = "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7";
  data.id = "7A6B5C4D-3E2F-4011-9A8B-7C6D5E4F3A2B";
  data.attributes = 0x8000000000000000;
  data.name = "data";
  l.partitions = {msr, data};
  return l;
}

Disk model_volume() {
  StdInquiryBuilder b =
      volume_std(0xF3, "DISK-5", model_serial_text(kSerialModel), 0x0A0B, '3', 'C');
  b.pair_states(0, 3, 0, 0).raid({0x00, 0x03, 0x11, 0x00, 0x21, 0x00, 0x0C});
  b.host_wwns(kHba1Port, kHba1Node).vol_attr(0x02, 0).host_group(2).sl_cl(1, 3);
  b.mu_tables(remote_mu({}), local_mu({3}));
  bitmap(b, {500, 0, 0, 7500, 2000}).nic_name("DATA-SNAP-3");
  Page83Builder p = mv_page("TARVELO 5", kSerialModel, 0x0A0B, 34);
  return array_disk(3,
                    "[MV] \"TARVELO 5\" with the model offset, LDEV 0x0A0B through CL3-C: SNAPS "
                    "pool, PIN track, second WWN layout, GPT; C:\\mnt\\data",
                    b, {{0x83, page(target_port_second(p, kModelCl3C, flat_lun(258), 0x01))}},
                    model_layout());
}

Disk pl_volume() {
  return array_disk(4,
                    "[PL] \"TARVELO 7\" LDEV 36 through CL1-B; short standard data without the "
                    "vendor fields; first half of D:",
                    volume_std(0x3B, "VDISK-7", decimal_serial_text(kSerialPl), 36, '1', 'B'),
                    {{0x83, page(pl_page("TARVELO 7", kSerialPl, 36, '1', 'B'))}},
                    mbr(0x3C4D5E6F, {mbr_part(kMiB, 50 * kGiB, kNtfs)}));
}

Disk rb_unmapped_volume() {
  StdInquiryBuilder b = volume_std(0x8B, "DISK-1", group_a_serial_text(kSerialRb), 1300, '1', 'B');
  b.pair_states(3, 0, 0, 0).raid({0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x07});
  b.host_wwns(kHba1Port, kHba1Node).host_group(3).sl_cl(0x7F, 0x7E);
  return array_disk(5,
                    "[RB] LDEV 1300 through CL1-B: UNMAP, remote S-VOL, consistency group 7, no "
                    "MU tables (n = 139), SL 0x7F; second half of D:",
                    b, {{0x83, rb_port_page(1300, '1', 'b', kRbCl1B, 2, 0xE2)}},
                    mbr(0x4D5E6F70, {mbr_part(kMiB, 50 * kGiB, kNtfs)}));
}

Disk marker_volume() {
  StdInquiryBuilder b =
      volume_std(0xF3, "DISK-6", decimal_serial_text(kSerialMarker), 0x20, '3', 'b');
  b.pair_states(0, 2, 2, 0).raid({0x01, 0x01, 0x10, 0x00, 0x30, 0x00, 0xFF});
  b.host_wwns(kHba1Port, kHba1Node).host_group(0).pl_marker().sl_cl(4, 3);
  b.mu_tables(remote_mu({}), local_mu({2, 2}));
  bitmap(b, {2500, 0, 0, 3000, 0}).nic_name("EXCH-DB-01");
  return array_disk(6,
                    "Standard route: \"PL00\" marker, serial 412345 LDEV 0x20 through CL3-B: "
                    "E-LUN, NIC name; dynamic disk (E:, Raid1)",
                    b, {}, mbr(0x5E6F7081, {mbr_part(kMiB, 300 * kGiB, kLdm)}));
}

Disk seven_volume() {
  StdInquiryBuilder b =
      volume_std(0xF3, "DISK-7", decimal_serial_text(kSerialSeven), 0x1A0, '5', 'A');
  b.pair_states(2, 0, 0, 0).raid({0x03, 0x04, 0x01, 0x00, 0x40, 0x00, 0x14});
  b.host_wwns(kHba2Port, kHba2Node).vol_attr(0, 1).host_group(1).sl_cl(5, 5);
  b.mu_tables(remote_mu({2, 0, 2}), local_mu({}));
  bitmap(b, {0, 780, 52, 0, 6100}).nic_name("FILESRV-01");
  return array_disk(7,
                    "Standard route: serial text \"73000101\", LDEV 0x1A0 through CL5-A: RAID1, "
                    "FENCOR, remote MU#0 and MU#2; dynamic disk (G:, Raid1)",
                    b, {}, mbr(0x6F708192, {mbr_part(kMiB, 300 * kGiB, kLdm)}));
}

Disk tape() {
  Disk d = disk(9, "A tape drive: peripheral device type 1, not a disk");
  StdInquiryBuilder b;
  b.device_type(0x01)
      .additional_length(0x33)
      .bytes(1, {0x80, 0x06, 0x02})
      .vendor("ZEB")
      .product("TAPE-DRIVE-9")
      .text(32, "A1B2");
  d.inquiry = std_data(b.build());
  return d;
}

Disk locked_disk() {
  Disk d = disk(10, "Cannot be opened: CreateFile fails with error 5");
  d.open_error = 5;
  return d;
}

Disk no_page_disk() {
  StdInquiryBuilder b = volume_std(0xF3, "DISK-1", group_a_serial_text(kSerialRb), 1500, '2', 'A');
  b.raid({0x02, 0x01, 0x05, 0x00, 0x04, 0x00, 0xFF}).host_wwns(kHba2Port, kHba2Node).host_group(4);
  b.sl_cl(0, 2).nic_name("SPARE-LU-1500");
  return array_disk(11,
                    "[RB] LDEV 1500 that lists no VPD page: the page INQUIRY ends in CHECK "
                    "CONDITION; dynamic disk (G:, Raid1)",
                    b, {}, mbr(0x708192A3, {mbr_part(kMiB, 300 * kGiB, kLdm)}));
}

std::vector<Disk> disks() {
  std::vector<Disk> all;
  all.push_back(local_disk());
  all.push_back(rb_boot_volume(1, '1', kHba1Port, kHba1Node, 3, 1, kRbCl1A, 0xE8));
  all.push_back(mv_virtual_volume());
  all.push_back(model_volume());
  all.push_back(pl_volume());
  all.push_back(rb_unmapped_volume());
  all.push_back(marker_volume());
  all.push_back(seven_volume());
  all.push_back(rb_boot_volume(8, '2', kHba2Port, kHba2Node, 4, 2, kRbCl2A, 0xE4));
  all.push_back(tape());
  all.push_back(locked_disk());
  all.push_back(no_page_disk());
  // Command devices carry no pair states, attributes, MU tables, bitmaps or NIC name.
  const std::string rb = group_a_serial_text(kSerialRb);
  StdInquiryBuilder b = volume_std(0xF3, "DISK-1-CM", rb, 2047, '1', 'A');
  b.raid({0x01, 0x01, 0x05, 0x00, 0x04, 0x00, 0xFF}).host_wwns(kHba1Port, kHba1Node);
  all.push_back(array_disk(12, "[RB] command device LDEV 2047, first path (CL1-A)",
                           b.host_group(3).sl_cl(0, 1),
                           {{0x83, rb_port_page(2047, '1', 'a', kRbCl1A, 254, 0xE8)}}));
  b = volume_std(0xF3, "DISK-1-CM", rb, 2047, '2', 'A');
  b.raid({0x01, 0x01, 0x05, 0x00, 0x04, 0x00, 0xFF}).host_wwns(kHba2Port, kHba2Node);
  all.push_back(array_disk(13, "[RB] command device LDEV 2047, second path (CL2-A)",
                           b.host_group(4).sl_cl(0, 2),
                           {{0x83, rb_port_page(2047, '2', 'a', kRbCl2A, 254, 0xE4)}}));
  // Virtualised too: its vendor page names LDEV 2048 of the [RB] array.
  b = volume_std(0xF3, "DISK-2-CM", group_a_serial_text(kSerialMv), 0xFFF, '2', 'B');
  b.raid({0x0C, 0x01, 0x06, 0x00, 0x11, 0x00, 0xFF}).host_wwns(kHba2Port, kHba2Node);
  all.push_back(array_disk(
      14,
      "[MV] command device LDEV 0xFFF of the \"TARVELO N17\" array (CL2-B): RAID6; its vendor "
      "page names 64015/2048",
      b.host_group(5).sl_cl(0, 2),
      {{0x83, page(mv_page("TARVELO N17", kSerialMv, 0xFFF, 17))},
       {0xE2,
        real_volume_page("DISK-1-CM", 2048, {0x0C, 0x01, 0x06, 0x00, 0x11, 0x00, 0xFF}, "")}}));
  b = volume_std(0xF3, "DISK-1-CM", rb, 1023, '1', 'B');
  b.raid({0x05, 0x06, 0x0A, 0x00, 0x04, 0x00, 0xFF}).host_wwns(kHba1Port, kHba1Node);
  all.push_back(array_disk(15, "[RB] command device LDEV 1023, one path (CL1-B): RAID level 0x0A",
                           b.host_group(3).sl_cl(0, 1),
                           {{0x83, rb_port_page(1023, '1', 'b', kRbCl1B, 253, 0xE2)}}));
  return all;
}

// --- names, volumes, mount points --------------------------------------------------

struct VolumeName {
  const char* guid;
  const char* target;
};

constexpr VolumeName kVolumes[] = {
    {"Volume{4c1b7e2a-0d3f-4a6b-8e91-3f5d2c7a9b01}", "\\Device\\HarddiskVolume1"},
    {"Volume{9a2f6c3e-1b4d-4c7e-a0f2-6d8e1b3c5a02}", "\\Device\\HarddiskVolume2"},
    {"Volume{b7d3e91f-5a2c-4e8b-9c6d-1f0a3b5c7d03}", "\\Device\\HarddiskVolume3"},
    {"Volume{2e8c4a6b-7d1f-4b3a-8e5c-9a1d3f6b8c04}", "\\Device\\HarddiskVolume4"},
    {"Volume{5f1a9d2c-3e6b-4a8d-b1c7-2e4f6a8c0d05}", "\\Device\\HarddiskVolume5"},
    {"Volume{8c3e5a7d-9f2b-4d1c-a6e8-4b7d9f1a3e06}", "\\Device\\HarddiskVolume6"},
    {"Volume{d1f4b6c8-2a5e-4f9b-8d3a-6c9e2b4f7a07}", "\\Device\\HarddiskVolume7"},
    {"Volume{0a6d8f2b-4c7e-4a1d-9f5b-8e2a4c6d9f08}",
     "\\Device\\HarddiskDmVolumes\\HostDg0\\Volume1"},
    {"Volume{3b9e1c4f-6d8a-4c2e-b7f1-0d5b8e2a6c09}",
     "\\Device\\HarddiskDmVolumes\\HostDg0\\Stripe1"},
    {"Volume{6e2a4d7b-8f1c-4e5a-a9d2-3f7c1a5e8b10}", "\\Device\\HarddiskDmVolumes\\HostDg0\\Raid1"},
    {"Volume{f4c7e9a1-3b6d-4f2a-8c1e-5a9d3b7f2e11}", "\\Device\\CdRom0"},
};

std::vector<DosDevice> dos_devices() {
  std::vector<DosDevice> names = {
      {"C:", kVolumes[2].target}, {"D:", kVolumes[4].target},
      {"E:", kVolumes[7].target}, {"F:", "\\Device\\Harddisk2\\Partition1"},
      {"G:", kVolumes[8].target}, {"Z:", kVolumes[10].target},
  };
  for (const VolumeName& v : kVolumes) names.push_back({v.guid, v.target});
  for (int n = 0; n <= 15; ++n) {
    const std::string k = std::to_string(n);
    names.push_back({"PhysicalDrive" + k, "\\Device\\Harddisk" + k + "\\DR" + k});
  }
  names.push_back({"COM1", "\\Device\\Serial0"});
  names.push_back({"NUL", "\\Device\\Null"});
  return names;
}

std::vector<Volume> volumes() {
  std::vector<Volume> v = {
      {"System reserved partition of the local disk, no drive letter",
       kVolumes[0].target,
       {0},
       {},
       {}},
      {"First partition of the boot disk, no drive letter", kVolumes[1].target, {1}, {}, {}},
      {"C:", kVolumes[2].target, {1}, {}, {}},
      {"Mounted at C:\\mnt\\data", kVolumes[3].target, {3}, {}, {}},
      {"D:, spanning two disks", kVolumes[4].target, {4, 5}, {}, {}},
      {"The partition that F: is bound to", kVolumes[5].target, {2}, {}, {}},
      {"A volume whose disk extents cannot be read", kVolumes[6].target, {}, {}, 1},
      {"Dynamic simple volume, E:", kVolumes[7].target, {6}, {}, {}},
      {"Dynamic striped volume, G:", kVolumes[8].target, {7, 11}, {}, {}},
      {"Dynamic RAID-5 volume, mounted at E:\\logs", kVolumes[9].target, {6, 7, 11}, {}, {}},
  };
  return v;
}

std::vector<MountPoints> mount_points() {
  return {
      {kVolumes[0].guid, {}},        {kVolumes[1].guid, {}},
      {kVolumes[2].guid, {"C:\\"}},  {kVolumes[3].guid, {"C:\\mnt\\data\\"}},
      {kVolumes[4].guid, {"D:\\"}},  {kVolumes[5].guid, {"F:\\"}},
      {kVolumes[6].guid, {}},        {kVolumes[7].guid, {"E:\\"}},
      {kVolumes[8].guid, {"G:\\"}},  {kVolumes[9].guid, {"E:\\logs\\"}},
      {kVolumes[10].guid, {"Z:\\"}},
  };
}

// --- replication pairs, for the pair-status stand-in ------------------------------------

Json side(std::int32_t serial, std::int32_t ldev, const char* device, const char* role,
          const char* state) {
  Json j = {{"serial", serial}, {"ldev", ldev}};
  if (device != nullptr) j["device"] = device;
  j["role"] = role;
  j["state"] = state;
  return j;
}

Json pair(const char* name, int mu, Json first, Json second) {
  return {
      {"name", name}, {"mu", mu}, {"sides", Json::array({std::move(first), std::move(second)})}};
}

Json pairs() {
  Json remote = {{"group", "VG01"}, {"copy", "remote"}, {"volumes", Json::array()}};
  // The boot volume is copied to an array at the remote site.
  remote["volumes"].push_back(pair("boot", 0, side(kSerialRb, 1234, "Harddisk1", "P-VOL", "PAIR"),
                                   side(kSerialModel, 2816, nullptr, "S-VOL", "PAIR")));
  // Both sides of this pair are disks of the host.
  remote["volumes"].push_back(pair("files", 0,
                                   side(kSerialSeven, 0x1A0, "Harddisk7", "P-VOL", "PAIR"),
                                   side(kSerialRb, 1300, "Harddisk5", "S-VOL", "PAIR")));
  // The remote side of MU#2 names another volume as its partner: the link check fails.
  Json broken = side(kSerialModel, 3000, nullptr, "S-VOL", "PSUE");
  broken["partner"] = {{"serial", kSerialSeven}, {"ldev", 0x1A1}};
  remote["volumes"].push_back(pair(
      "files_dr", 2, side(kSerialSeven, 0x1A0, "Harddisk7", "P-VOL", "PSUE"), std::move(broken)));

  Json local = {{"group", "SI01"}, {"copy", "local"}, {"volumes", Json::array()}};
  local["volumes"].push_back(pair("boot_bk", 1, side(kSerialRb, 1234, "Harddisk1", "P-VOL", "PAIR"),
                                  side(kSerialRb, 1240, nullptr, "S-VOL", "PAIR")));
  local["volumes"].push_back(pair("boot_old", 20, side(kSerialRb, 1100, nullptr, "P-VOL", "PSUS"),
                                  side(kSerialRb, 1234, "Harddisk1", "S-VOL", "SSUS")));
  local["volumes"].push_back(pair("snap3", 0, side(kSerialModel, 2570, nullptr, "P-VOL", "PAIR"),
                                  side(kSerialModel, 0x0A0B, "Harddisk3", "S-VOL", "PAIR")));
  local["volumes"].push_back(pair("exch0", 0,
                                  side(kSerialMarker, 0x20, "Harddisk6", "P-VOL", "COPY"),
                                  side(kSerialMarker, 0x21, nullptr, "S-VOL", "COPY")));
  local["volumes"].push_back(pair("exch1", 1,
                                  side(kSerialMarker, 0x20, "Harddisk6", "P-VOL", "PAIR"),
                                  side(kSerialMarker, 0x22, nullptr, "S-VOL", "PAIR")));
  return Json::array({std::move(remote), std::move(local)});
}

}  // namespace

Host make_example_host() {
  Host host;
  host.about =
      "The example host of voxmira. Regenerate with: cmake --build <build> --target example-host "
      "(see examples/README.md).";
  host.root = "root";
  host.disks = disks();
  host.dos_devices = dos_devices();
  host.volumes = volumes();
  host.mount_points = mount_points();
  host.pairs = pairs();
  return host;
}

}  // namespace vox::hostgen
