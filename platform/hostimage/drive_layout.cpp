#include "platform/hostimage/drive_layout.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/hostimage/layout_records.h"
#include "platform/hostimage/le_bytes.h"
#include "platform/hostimage/utf_text.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage {
namespace {

namespace L = layout;

constexpr std::uint8_t kTypeIfs = 0x07;
constexpr std::int64_t kSectorSize = 512;
// Integers beyond 2^53 lose digits in many JSON readers; such values are written as text.
constexpr std::uint64_t kExactJsonLimit = std::uint64_t{1} << 53;

// Windows counts a partition as recognized when a file system may live on it: any used
// type except the extended-partition containers.
std::uint8_t recognized(std::uint8_t type) {
  return (type != 0 && type != 0x05 && type != 0x0F) ? 1 : 0;
}

std::uint32_t hidden_sectors(const Partition& p) {
  if (p.hidden_sectors) return *p.hidden_sectors;
  if (p.offset <= 0) return 0;
  return static_cast<std::uint32_t>(
      std::min<std::int64_t>(p.offset / kSectorSize, std::numeric_limits<std::uint32_t>::max()));
}

// Offsets and lengths come from images and from SET records as they stand, negative
// ones included: sums are held at the 64-bit bounds instead of overflowing.
std::int64_t partition_end(const Partition& p) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  if (p.length > 0 && p.offset > kMax - p.length) return kMax;
  if (p.length < 0 && p.offset < kMin - p.length) return kMin;
  return p.offset + p.length;
}

std::int64_t usable_length(const DiskLayout& layout, std::int64_t usable_offset) {
  if (layout.usable_length) return *layout.usable_length;
  std::int64_t end = 0;
  for (const Partition& p : layout.partitions) end = std::max(end, partition_end(p));
  // end >= 0 here, so only a negative usable offset can carry the difference past the top.
  if (usable_offset < 0 && end > std::numeric_limits<std::int64_t>::max() + usable_offset) {
    return std::numeric_limits<std::int64_t>::max();
  }
  return std::max<std::int64_t>(0, end - usable_offset);
}

void put_guid(std::span<std::uint8_t> s, std::size_t at, const Guid& g) {
  std::copy(g.begin(), g.end(), s.begin() + static_cast<std::ptrdiff_t>(at));
}

Guid get_guid(std::span<const std::uint8_t> s, std::size_t at) {
  Guid g{};
  std::copy_n(s.begin() + static_cast<std::ptrdiff_t>(at), g.size(), g.begin());
  return g;
}

// True when `in` holds a header of `header` bytes and `count` entries of `entry` bytes.
bool holds(std::span<const std::uint8_t> in, std::size_t header, std::uint32_t count,
           std::size_t entry) {
  return in.size() >= header && (in.size() - header) / entry >= count;
}

const char* style_name(LayoutStyle style) {
  switch (style) {
    case LayoutStyle::gpt:
      return "gpt";
    case LayoutStyle::raw:
      return "raw";
    case LayoutStyle::mbr:
      break;
  }
  return "mbr";
}

}  // namespace

Bytes build_drive_layout(const DiskLayout& layout) {
  const bool mbr = layout.style == LayoutStyle::mbr;
  Bytes d(L::kHeaderSize + layout.partitions.size() * L::kEntrySize, 0);
  std::span<std::uint8_t> s(d);
  put_le<std::uint32_t>(s, L::kCount, static_cast<std::uint32_t>(layout.partitions.size()));
  put_le<std::uint32_t>(s, L::kSignature, mbr ? layout.signature : 0);
  for (std::size_t i = 0; i < layout.partitions.size(); ++i) {
    const Partition& p = layout.partitions[i];
    const std::size_t at = L::kHeaderSize + i * L::kEntrySize;
    const std::uint8_t type = mbr ? p.mbr_type : kTypeIfs;
    put_le<std::int64_t>(s, at + L::kStartingOffset, p.offset);
    put_le<std::int64_t>(s, at + L::kPartitionLength, p.length);
    put_le<std::uint32_t>(s, at + L::kHiddenSectors, mbr ? hidden_sectors(p) : 0);
    put_le<std::uint32_t>(s, at + L::kPartitionNumber, p.number);
    d[at + L::kPartitionType] = type;
    d[at + L::kBootIndicator] = (mbr && p.boot) ? 1 : 0;
    d[at + L::kRecognized] = recognized(type);
  }
  return d;
}

Bytes build_drive_layout_ex(const DiskLayout& layout) {
  Bytes d(L::kExHeaderSize + layout.partitions.size() * L::kExEntrySize, 0);
  std::span<std::uint8_t> s(d);
  const auto style = static_cast<std::uint32_t>(layout.style);
  put_le<std::uint32_t>(s, L::kExStyle, style);
  put_le<std::uint32_t>(s, L::kExCount, static_cast<std::uint32_t>(layout.partitions.size()));
  if (layout.style == LayoutStyle::mbr) {
    put_le<std::uint32_t>(s, L::kExMbrSignature, layout.signature);
  } else if (layout.style == LayoutStyle::gpt) {
    const std::int64_t first = layout.usable_offset.value_or(kDefaultUsableOffset);
    put_guid(s, L::kExGptDiskId, layout.disk_id);
    put_le<std::int64_t>(s, L::kExGptStartingUsableOffset, first);
    put_le<std::int64_t>(s, L::kExGptUsableLength, usable_length(layout, first));
    put_le<std::uint32_t>(s, L::kExGptMaxPartitionCount, L::kGptMaxPartitionCount);
  }
  for (std::size_t i = 0; i < layout.partitions.size(); ++i) {
    const Partition& p = layout.partitions[i];
    const std::size_t at = L::kExHeaderSize + i * L::kExEntrySize;
    put_le<std::uint32_t>(s, at + L::kExEntryStyle, style);
    put_le<std::int64_t>(s, at + L::kExEntryStartingOffset, p.offset);
    put_le<std::int64_t>(s, at + L::kExEntryLength, p.length);
    put_le<std::uint32_t>(s, at + L::kExEntryNumber, p.number);
    if (layout.style == LayoutStyle::mbr) {
      d[at + L::kExEntryMbrType] = p.mbr_type;
      d[at + L::kExEntryMbrBoot] = p.boot ? 1 : 0;
      d[at + L::kExEntryMbrRecognized] = recognized(p.mbr_type);
      put_le<std::uint32_t>(s, at + L::kExEntryMbrHiddenSectors, hidden_sectors(p));
      put_guid(s, at + L::kExEntryMbrPartitionId, p.id);
    } else if (layout.style == LayoutStyle::gpt) {
      put_guid(s, at + L::kExEntryGptType, p.gpt_type);
      put_guid(s, at + L::kExEntryGptId, p.id);
      put_le<std::uint64_t>(s, at + L::kExEntryGptAttributes, p.attributes);
      const std::size_t units = std::min(p.name.size(), L::kGptNameUnits);
      for (std::size_t k = 0; k < units; ++k) {
        put_le<std::uint16_t>(s, at + L::kExEntryGptName + 2 * k, p.name[k]);
      }
    }
  }
  return d;
}

std::uint32_t parse_drive_layout(std::span<const std::uint8_t> in, const DiskLayout& current,
                                 DiskLayout& result) {
  if (in.size() < L::kHeaderSize) return win::ERROR_INVALID_PARAMETER;
  const auto count = get_le<std::uint32_t>(in, L::kCount);
  if (!holds(in, L::kHeaderSize, count, L::kEntrySize)) return win::ERROR_INVALID_PARAMETER;
  DiskLayout t;
  t.style = LayoutStyle::mbr;
  t.signature = get_le<std::uint32_t>(in, L::kSignature);
  t.usable_offset = current.usable_offset;
  t.usable_length = current.usable_length;
  t.partitions.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = L::kHeaderSize + std::size_t{i} * L::kEntrySize;
    Partition& p = t.partitions[i];
    p.offset = get_le<std::int64_t>(in, at + L::kStartingOffset);
    p.length = get_le<std::int64_t>(in, at + L::kPartitionLength);
    p.hidden_sectors = get_le<std::uint32_t>(in, at + L::kHiddenSectors);
    p.number = get_le<std::uint32_t>(in, at + L::kPartitionNumber);
    p.mbr_type = in[at + L::kPartitionType];
    p.boot = in[at + L::kBootIndicator] != 0;
  }
  result = std::move(t);
  return 0;
}

std::uint32_t parse_drive_layout_ex(std::span<const std::uint8_t> in, const DiskLayout& current,
                                    DiskLayout& result) {
  if (in.size() < L::kExHeaderSize) return win::ERROR_INVALID_PARAMETER;
  const auto style = get_le<std::uint32_t>(in, L::kExStyle);
  const auto count = get_le<std::uint32_t>(in, L::kExCount);
  if (style > static_cast<std::uint32_t>(LayoutStyle::raw) ||
      !holds(in, L::kExHeaderSize, count, L::kExEntrySize)) {
    return win::ERROR_INVALID_PARAMETER;
  }
  DiskLayout t;
  t.style = static_cast<LayoutStyle>(style);
  t.usable_offset = current.usable_offset;
  t.usable_length = current.usable_length;
  if (t.style == LayoutStyle::mbr) t.signature = get_le<std::uint32_t>(in, L::kExMbrSignature);
  if (t.style == LayoutStyle::gpt) t.disk_id = get_guid(in, L::kExGptDiskId);
  t.partitions.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = L::kExHeaderSize + std::size_t{i} * L::kExEntrySize;
    Partition& p = t.partitions[i];
    p.offset = get_le<std::int64_t>(in, at + L::kExEntryStartingOffset);
    p.length = get_le<std::int64_t>(in, at + L::kExEntryLength);
    p.number = get_le<std::uint32_t>(in, at + L::kExEntryNumber);
    if (t.style == LayoutStyle::mbr) {
      p.mbr_type = in[at + L::kExEntryMbrType];
      p.boot = in[at + L::kExEntryMbrBoot] != 0;
      p.hidden_sectors = get_le<std::uint32_t>(in, at + L::kExEntryMbrHiddenSectors);
      p.id = get_guid(in, at + L::kExEntryMbrPartitionId);
    } else if (t.style == LayoutStyle::gpt) {
      p.gpt_type = get_guid(in, at + L::kExEntryGptType);
      p.id = get_guid(in, at + L::kExEntryGptId);
      p.attributes = get_le<std::uint64_t>(in, at + L::kExEntryGptAttributes);
      for (std::size_t k = 0; k < L::kGptNameUnits; ++k) {
        const auto unit = get_le<std::uint16_t>(in, at + L::kExEntryGptName + 2 * k);
        if (unit == 0) break;
        p.name.push_back(static_cast<char16_t>(unit));
      }
    }
  }
  result = std::move(t);
  return 0;
}

Json layout_to_json(const DiskLayout& layout) {
  Json j = Json::object();
  j["style"] = style_name(layout.style);
  if (layout.style == LayoutStyle::mbr) j["signature"] = layout.signature;
  if (layout.style == LayoutStyle::gpt) j["disk_id"] = format_guid_text(layout.disk_id);
  if (layout.usable_offset) j["usable_offset"] = *layout.usable_offset;
  if (layout.usable_length) j["usable_length"] = *layout.usable_length;
  Json parts = Json::array();
  for (const Partition& p : layout.partitions) {
    Json e = Json::object();
    e["number"] = p.number;
    e["offset"] = p.offset;
    e["length"] = p.length;
    if (layout.style == LayoutStyle::mbr) {
      e["type"] = p.mbr_type;
      e["boot"] = p.boot;
      e["hidden_sectors"] = hidden_sectors(p);
      if (!guid_is_zero(p.id)) e["id"] = format_guid_text(p.id);
    } else if (layout.style == LayoutStyle::gpt) {
      e["type"] = format_guid_text(p.gpt_type);
      e["id"] = format_guid_text(p.id);
      if (p.attributes < kExactJsonLimit) {
        e["attributes"] = p.attributes;
      } else {
        char text[24];
        std::snprintf(text, sizeof text, "0x%016llx",
                      static_cast<unsigned long long>(p.attributes));
        e["attributes"] = text;
      }
      if (!p.name.empty()) e["name"] = utf16_to_utf8(p.name);
    }
    parts.push_back(std::move(e));
  }
  j["partitions"] = std::move(parts);
  return j;
}

}  // namespace vox::plat::hostimage
