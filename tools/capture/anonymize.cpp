#include "tools/capture/anonymize.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "inquiry/byte_view.h"
#include "inquiry/family.h"
#include "inquiry/page83.h"
#include "inquiry/std_layout.h"
#include "tools/capture/fake_values.h"
#include "tools/capture/serial_fields.h"

namespace vox::capture {
namespace {

using Bytes = hi::Bytes;

constexpr int kSerialAttempts = 200;
constexpr std::uint8_t kTypeEui64 = 2;
constexpr std::uint8_t kTypeNaa = 3;
constexpr std::size_t kWwnSize = 8;

// Bits of a WWN that stay: the NAA format nibble, and for the IEEE registered formats
// (5 and 6) the maker's OUI after it.
unsigned naa_kept_bits(std::uint8_t first) {
  const unsigned naa = first >> 4;
  return naa == 5 || naa == 6 ? 28 : 4;
}
constexpr unsigned kEuiKeptBits = 24;  // the OUI of an EUI-64

// Replaces the WWN at `at` (as far as `bytes` reaches).
void replace_wwn(Bytes& bytes, std::size_t at, unsigned kept_bits, FakeValues& fakes) {
  if (at >= bytes.size()) return;
  const std::size_t n = std::min(kWwnSize, bytes.size() - at);
  Wwn real{};
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, real.begin());
  const Wwn fake = fakes.wwn(real, kept_bits);
  std::copy_n(fake.begin(), n, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// One designator's worth of identifier bytes: NAA (with the extension of format 6) and
// EUI-64.
void replace_designator(Bytes& bytes, std::size_t at, std::size_t length, unsigned type,
                        FakeValues& fakes) {
  if (length < kWwnSize || at >= bytes.size()) return;
  if (type == kTypeNaa) {
    replace_wwn(bytes, at, naa_kept_bits(bytes[at]), fakes);
    if ((bytes[at] >> 4) == 6 && length >= 2 * kWwnSize) replace_wwn(bytes, at + 8, 0, fakes);
  } else if (type == kTypeEui64) {
    replace_wwn(bytes, at, kEuiKeptBits, fakes);
  }
}

// The designators of a device-identification page, and the WWN place voxmira reads
// when the page does not describe it as a designator.
void replace_page83_wwns(Bytes& page, FakeValues& fakes) {
  std::set<std::size_t> replaced;
  const ByteView view(page);
  const std::size_t end = std::min<std::size_t>(page.size(), 4 + view.be16(2));
  for (std::size_t at = 4; at + 4 <= end;) {
    const std::size_t length = page[at + 3];
    const unsigned type = page[at + 1] & 0x0F;
    if (type == kTypeNaa || type == kTypeEui64) {
      replace_designator(page, at + 4, std::min(length, end - (at + 4)), type, fakes);
      replaced.insert(at + 4);
    }
    at += 4 + length;
  }
  const std::optional<Page83Row> row = find_page83_row(view);
  if (!row || !row->target_wwn) return;
  std::size_t slot = 0;
  if (view[37] >= 20 && view[3] >= 54) {
    slot = 38;
  } else if (view[37] >= 16 && view[3] >= 74) {
    slot = 58;
  }
  if (slot != 0 && replaced.count(slot) == 0 && slot < page.size()) {
    replace_wwn(page, slot, naa_kept_bits(page[slot]), fakes);
  }
}

// The host WWNs of standard data that voxmira reads them from.
void replace_std_wwns(Bytes& bytes, const Bytes& view, FakeValues& fakes) {
  if (!family_a_q_or_p(ByteView(view))) return;
  for (std::size_t at : {std_byte::kHostPortWwn, std_byte::kHostNodeWwn}) {
    if (at < bytes.size()) replace_wwn(bytes, at, naa_kept_bits(bytes[at]), fakes);
  }
}

void replace_disk_wwns(hi::Disk& d, FakeValues& fakes) {
  replace_std_wwns(d.inquiry, d.inquiry, fakes);
  if (d.device_property && d.device_property->size() >= 36) {
    Bytes view = *d.device_property;
    view[std_byte::kAdditionalLength] = static_cast<std::uint8_t>(view.size() - 5);
    replace_std_wwns(*d.device_property, view, fakes);
  }
  if (auto it = d.pages.find(0x83); it != d.pages.end())
    replace_page83_wwns(it->second.data, fakes);
  if (d.id_property) {
    for (hi::StorageIdentifier& id : *d.id_property) {
      if (id.type <= 0xFF)
        replace_designator(id.id, 0, id.id.size(), static_cast<unsigned>(id.type), fakes);
    }
  }
}

void replace_layout_ids(hi::DiskLayout& layout, FakeValues& fakes) {
  if (layout.style == hi::LayoutStyle::mbr) layout.signature = fakes.signature(layout.signature);
  if (layout.style == hi::LayoutStyle::gpt) layout.disk_id = fakes.guid(layout.disk_id);
  for (hi::Partition& p : layout.partitions) p.id = fakes.guid(p.id);
}

struct Place {
  std::size_t disk;
  SerialField field;
};

// True when every place shows `value` in its old notation.
bool reads_as(const std::vector<hi::Disk>& disks, const std::vector<Place>& places,
              std::int64_t value) {
  for (const Place& p : places) {
    bool found = false;
    for (const SerialField& f : find_serial_fields(disks[p.disk])) {
      if (f.same_place(p.field)) found = f.notation == p.field.notation && f.value == value;
    }
    if (!found) return false;
  }
  return true;
}

// Serial numbers as numbers: every place that shows one real number gets the same
// stand-in, drawn from the numbers that all its notations can show.
void replace_serials(std::vector<hi::Disk>& disks, FakeValues& fakes, AnonymizeCounts& counts) {
  std::map<std::int64_t, std::vector<Place>> by_value;
  for (std::size_t i = 0; i < disks.size(); ++i) {
    for (const SerialField& f : find_serial_fields(disks[i])) {
      if (f.value != 0) by_value[f.value].push_back(Place{i, f});
    }
  }
  std::set<std::int64_t> taken;  // real numbers and stand-ins given so far
  for (const auto& item : by_value) taken.insert(item.first);
  for (const auto& [value, places] : by_value) {
    std::int64_t low = places.front().field.low();
    std::int64_t high = places.front().field.high();
    for (const Place& p : places) {
      low = std::max(low, p.field.low());
      high = std::min(high, p.field.high());
    }
    bool replaced = false;
    for (int attempt = 0; attempt < kSerialAttempts && high > low && !replaced; ++attempt) {
      const std::int64_t fake = fakes.draw(low, high);
      if (taken.count(fake) != 0) continue;
      std::map<std::size_t, hi::Disk> before;
      for (const Place& p : places) before.emplace(p.disk, disks[p.disk]);
      for (const Place& p : places) write_serial(disks[p.disk], p.field, fake);
      replaced = reads_as(disks, places, fake);
      if (replaced) {
        taken.insert(fake);
      } else {
        for (auto& [index, disk] : before) disks[index] = std::move(disk);
      }
    }
    ++(replaced ? counts.serials : counts.serials_kept);
  }
}

}  // namespace

std::string cut_target(const std::string& target) {
  if (target.starts_with("\\Device\\Harddisk")) return target;
  std::size_t at = 0;
  for (int n = 0; n < 3; ++n) {
    at = target.find('\\', n == 0 ? 0 : at + 1);
    if (at == std::string::npos) return target;
  }
  return target.substr(0, at);
}

AnonymizeCounts anonymize(Capture& cap, std::uint64_t seed) {
  FakeValues fakes(seed);
  AnonymizeCounts counts;
  hi::HostImage& image = cap.image;
  replace_serials(image.disks, fakes, counts);
  for (hi::Disk& d : image.disks) {
    replace_disk_wwns(d, fakes);
    replace_layout_ids(d.layout, fakes);
  }
  for (hi::DosDevice& d : image.dos_devices) {
    d.name = fakes.guids_in_text(d.name);
    for (std::string& t : d.targets) t = fakes.guids_in_text(cut_target(t));
  }
  for (hi::Volume& v : image.volumes) v.target = fakes.guids_in_text(v.target);
  if (image.mountvol_output) image.mountvol_output = fakes.guids_in_text(*image.mountvol_output);
  for (std::string& n : cap.notes) n = fakes.guids_in_text(n);
  for (auto& [disk, notes] : cap.disk_notes) {
    for (std::string& n : notes) n = fakes.guids_in_text(n);
  }
  counts.wwns = fakes.wwn_count();
  counts.guids = fakes.guid_count();
  counts.signatures = fakes.signature_count();
  return counts;
}

}  // namespace vox::capture
