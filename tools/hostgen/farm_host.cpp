#include "tools/hostgen/farm_host.h"

#include <limits>

#include "tools/hostgen/array_pages.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::hostgen {
namespace {

enum class Family { rb, mv, pl, marker };

Family family_of(int array) {
  return static_cast<Family>(array % 4);
}

// The serial the array's volumes decode to.
std::int32_t decoded_serial(const FarmSpec& spec, int array) {
  const std::int32_t serial = spec.first_serial + array;
  return family_of(array) == Family::pl ? 70000000 + serial % 1000000 : serial;
}

constexpr std::uint8_t kRaidLevels[] = {0x05, 0x01, 0x06, 0x11, 0x12, 0x10, 0x00, 0x0A};

Disk farm_disk(const FarmSpec& spec, int path, int array, int ldev, std::uint32_t number) {
  const Family family = family_of(array);
  const std::int32_t serial = decoded_serial(spec, array);
  const std::string port = port_table_name(path);
  const char cluster = port[2];
  const char letter = port[4];

  StdInquiryBuilder b;
  b.additional_length(0xF3)
      .bytes(2, {0x06, 0x02})
      .vendor("TARVELO")
      .product(ldev == 0 ? "DISK-1-CM" : "DISK-1");
  b.text(32, "8301").ldev_text(ldev_text(ldev)).port(cluster, letter);
  switch (family) {
    case Family::rb:
    case Family::mv:
      b.serial_text(group_a_serial_text(serial));
      break;
    case Family::pl:
      b.serial_text(decimal_serial_text(serial));
      break;
    case Family::marker:
      b.serial_text(decimal_serial_text(serial)).pl_marker();
      break;
  }
  const std::uint8_t local = static_cast<std::uint8_t>(ldev % 4);  // NONE, SMPL, P-VOL, S-VOL
  b.pair_states(static_cast<std::uint8_t>((ldev / 4) % 4), local, 0, 0);
  const std::uint8_t level = kRaidLevels[ldev % 8];
  b.raid({static_cast<std::uint8_t>(ldev >> 8), static_cast<std::uint8_t>(ldev), level, 0x00,
          static_cast<std::uint8_t>(array + 1), 0x00,
          static_cast<std::uint8_t>(ldev % 5 == 0 ? 0xFF : ldev % 128)});
  // Two HBAs take the paths in turn: port WWN 1000..., node WWN 2000... .
  const std::uint64_t hba = 0x00005a1b2c3d0000 | static_cast<std::uint64_t>(path % 2 + 1);
  b.host_wwns(0x1000000000000000 | hba, 0x2000000000000000 | hba)
      .host_group(static_cast<std::uint16_t>(path))
      .sl_cl(0, static_cast<std::uint8_t>(path % 16 + 1));
  std::array<std::uint8_t, 8> remote{};
  std::array<std::uint8_t, 64> local_states{};
  remote[0] = static_cast<std::uint8_t>((ldev / 4) % 4);
  local_states[0] = local;
  b.mu_tables(remote, local_states);
  for (std::size_t k = 0; k < 5; ++k)
    b.bitmap_page(k, static_cast<std::uint32_t>((ldev + 1) * (k + 1)));

  Disk d;
  d.number = number;
  d.inquiry = std_data(b.build());
  const std::uint64_t target = 0x50012ab000000000 | (static_cast<std::uint64_t>(array) << 8) |
                               static_cast<std::uint64_t>(path);
  const auto lun = static_cast<std::uint16_t>(0x4000 | (ldev & 0x3FFF));
  switch (family) {
    case Family::rb: {
      Page83Builder p = rb_page("N16", serial, ldev, cluster, letter);
      d.pages[0x83] =
          PageAnswer{page_data(target_port_first(p, target, lun, 0xE8).build()), {}, {}, {}};
      break;
    }
    case Family::mv: {
      Page83Builder p = mv_page("TARVELO N17", serial, ldev, path);
      d.pages[0x83] =
          PageAnswer{page_data(target_port_second(p, target, lun, 0x01).build()), {}, {}, {}};
      break;
    }
    case Family::pl:
      d.pages[0x83] = PageAnswer{
          page_data(pl_page("TARVELO 7", serial, ldev, cluster, letter).build()), {}, {}, {}};
      break;
    case Family::marker:
      break;  // identity from the standard data
  }
  return d;
}

}  // namespace

bool check_farm(const FarmSpec& spec, std::string& error) {
  auto out_of_range = [&](const char* what, long long low, long long high) {
    error =
        std::string(what) + " must be from " + std::to_string(low) + " to " + std::to_string(high);
    return false;
  };
  if (spec.arrays < 1 || spec.arrays > 1000) return out_of_range("arrays", 1, 1000);
  if (spec.ldevs < 1 || spec.ldevs > 10000) return out_of_range("ldevs", 1, 10000);
  if (spec.paths < 1 || spec.paths > 256) return out_of_range("paths", 1, 256);
  // [RB] serials are 8 decimal digits, [MV] serials 5 hex digits.
  const long long last_serial = static_cast<long long>(spec.first_serial) + spec.arrays - 1;
  if (spec.first_serial < 1 || last_serial > 0xFFFFF)
    return out_of_range("serial numbers", 1, 0xFFFFF);
  const long long disks = static_cast<long long>(spec.arrays) * spec.ldevs * spec.paths;
  const long long last_disk = static_cast<long long>(spec.first_disk) + disks - 1;
  if (last_disk > std::numeric_limits<std::int32_t>::max()) {
    return out_of_range("disk numbers", 0, std::numeric_limits<std::int32_t>::max());
  }
  return true;
}

Host make_farm_host(const FarmSpec& spec) {
  Host host;
  host.about = "A load-run host: " + std::to_string(spec.arrays) + " arrays x " +
               std::to_string(spec.ldevs) + " LDEVs x " + std::to_string(spec.paths) + " paths.";
  std::uint32_t number = spec.first_disk;
  for (int path = 0; path < spec.paths; ++path) {
    for (int array = 0; array < spec.arrays; ++array) {
      for (int ldev = 0; ldev < spec.ldevs; ++ldev) {
        host.disks.push_back(farm_disk(spec, path, array, ldev, number));
        if (spec.dos_names) {
          const std::string k = std::to_string(number);
          host.dos_devices.push_back({"PhysicalDrive" + k, "\\Device\\Harddisk" + k + "\\DR" + k});
        }
        ++number;
      }
    }
  }
  return host;
}

}  // namespace vox::hostgen
