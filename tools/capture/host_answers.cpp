#include "tools/capture/host_answers.h"

#include <algorithm>

#include "platform/hostimage/drive_layout.h"
#include "platform/hostimage/layout_records.h"
#include "platform/hostimage/le_bytes.h"
#include "platform/win_defs.h"

namespace vox::capture {
namespace {

namespace L = plat::hostimage::layout;
using plat::hostimage::get_le;

constexpr std::uint8_t kCheckCondition = 2;
constexpr std::uint8_t kIllegalRequest = 5;
constexpr std::uint8_t kInvalidFieldInCdb = 0x24;
constexpr std::size_t kSenseKey = 2;
constexpr std::size_t kSenseAsc = 12;
constexpr std::size_t kMaxIdentifiers = 1024;

// Little-endian fields of a returned descriptor; bytes past its end read as zero, as the
// transport reads them.
template <typename T>
T field(std::span<const std::uint8_t> bytes, std::size_t at) {
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    if (at + i < bytes.size()) value |= static_cast<T>(T{bytes[at + i]} << (8 * i));
  }
  return value;
}

// `count` bytes from `at`, zero where `bytes` ends.
hi::Bytes zero_filled(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count) {
  hi::Bytes out(count, 0);
  if (at < bytes.size()) {
    const std::size_t n = std::min(count, bytes.size() - at);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, out.begin());
  }
  return out;
}

template <typename Unit>
std::vector<std::basic_string<Unit>> split_multi(std::span<const Unit> units) {
  std::vector<std::basic_string<Unit>> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i] != Unit{0}) continue;
    if (i == start) break;  // the empty name closes the list
    out.emplace_back(units.data() + start, i - start);
    start = i + 1;
  }
  return out;
}

// Length of the valid UTF-8 sequence at `at`, or 0.
std::size_t utf8_sequence(std::string_view s, std::size_t at) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(at);
  if (c < 0x80) return 1;
  std::size_t n = 0;
  std::uint32_t min = 0;
  std::uint32_t cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, min = 0x80, cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, min = 0x800, cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  if (s.size() - at < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(at + i) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (b(at + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

hi::Bytes moved_data(std::span<const std::uint8_t> buffer, std::uint32_t reported) {
  std::size_t n = std::min<std::size_t>(reported, buffer.size());
  for (std::size_t i = buffer.size(); i > n; --i) {
    if (buffer[i - 1] != 0) {
      n = i;
      break;
    }
  }
  return hi::Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
}

hi::Bytes stored_sense(std::span<const std::uint8_t> sense, std::uint32_t reported) {
  std::size_t n = std::min<std::size_t>(reported, sense.size());
  while (n > 0 && sense[n - 1] == 0) --n;
  return hi::Bytes(sense.begin(), sense.begin() + static_cast<std::ptrdiff_t>(n));
}

bool is_unlisted_page(const hi::PageAnswer& page) {
  return page.error == 0 && page.status == kCheckCondition && page.sense.size() > kSenseAsc &&
         (page.sense[kSenseKey] & 0x0F) == kIllegalRequest &&
         page.sense[kSenseAsc] == kInvalidFieldInCdb;
}

hi::Bytes raw_device_properties(std::span<const std::uint8_t> descriptor) {
  if (descriptor.size() < win::kDeviceDescriptorRawOffset) return {};
  std::uint32_t length = field<std::uint32_t>(descriptor, win::kDeviceDescriptorRawLengthOffset);
  // The transport sees only whether the length reaches 36 and its low byte.
  if (length > kMaxRawProperties) length = kMaxRawProperties - 256 + (length & 0xFF);
  if (length < 36) {
    length = static_cast<std::uint32_t>(
        std::min<std::size_t>(length, descriptor.size() - win::kDeviceDescriptorRawOffset));
  }
  return zero_filled(descriptor, win::kDeviceDescriptorRawOffset, length);
}

std::vector<hi::StorageIdentifier> device_identifiers(std::span<const std::uint8_t> descriptor) {
  std::vector<hi::StorageIdentifier> ids;
  const std::uint32_t count = field<std::uint32_t>(descriptor, win::kIdDescriptorCountOffset);
  std::size_t at = win::kIdDescriptorFirstOffset;
  for (std::size_t k = 0; k < count && k < kMaxIdentifiers; ++k) {
    if (k >= 2 && at + win::kIdentifierHeaderSize > descriptor.size()) break;
    hi::StorageIdentifier id;
    id.code_set = field<std::uint32_t>(descriptor, at);
    id.type = field<std::uint32_t>(descriptor, at + 4);
    const std::uint16_t size = field<std::uint16_t>(descriptor, at + 8);
    id.association = field<std::uint32_t>(descriptor, at + 12);
    id.id = zero_filled(descriptor, at + win::kIdentifierHeaderSize, size);
    ids.push_back(std::move(id));
    at += field<std::uint16_t>(descriptor, at + 10);
  }
  return ids;
}

std::vector<std::uint32_t> extent_disks(std::span<const std::uint8_t> extents) {
  std::vector<std::uint32_t> disks;
  if (extents.size() < win::kDiskExtentsHeaderSize) return disks;
  const std::uint32_t count = field<std::uint32_t>(extents, 0);
  const std::size_t fit = (extents.size() - win::kDiskExtentsHeaderSize) / win::kDiskExtentSize;
  const std::size_t n = std::min({std::size_t{count}, fit, win::kMaxDiskExtents});
  for (std::size_t i = 0; i < n; ++i) {
    disks.push_back(
        field<std::uint32_t>(extents, win::kDiskExtentsHeaderSize + i * win::kDiskExtentSize));
  }
  return disks;
}

bool layout_from_ex(std::span<const std::uint8_t> record, hi::DiskLayout& layout) {
  hi::DiskLayout read;
  if (hi::parse_drive_layout_ex(record, hi::DiskLayout{}, read) != 0) return false;
  if (read.style == hi::LayoutStyle::gpt) {
    read.usable_offset = get_le<std::int64_t>(record, L::kExGptStartingUsableOffset);
    read.usable_length = get_le<std::int64_t>(record, L::kExGptUsableLength);
  }
  layout = std::move(read);
  return true;
}

bool layout_from_legacy(std::span<const std::uint8_t> record, hi::DiskLayout& layout) {
  return hi::parse_drive_layout(record, hi::DiskLayout{}, layout) == 0;
}

std::vector<std::u16string> split_name_list(std::span<const char16_t> units) {
  return split_multi(units);
}

std::vector<std::string> split_targets(std::span<const char> chars) {
  return split_multi(chars);
}

std::string narrow_name(std::u16string_view name) {
  std::string out(name.size(), '?');
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] <= 0x7F) out[i] = static_cast<char>(name[i]);
  }
  return out;
}

std::string valid_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = utf8_sequence(text, i);
    if (n == 0) {
      out.push_back('?');
      ++i;
    } else {
      out.append(text.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::optional<std::uint32_t> physical_drive_number(std::string_view name) {
  constexpr std::string_view kPrefix = "physicaldrive";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 10) return std::nullopt;
  for (std::size_t i = 0; i < kPrefix.size(); ++i) {
    const char c = name[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kPrefix[i])
      return std::nullopt;
  }
  const std::string_view digits = name.substr(kPrefix.size());
  if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
  std::uint64_t n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (n > kMaxDiskNumber) return std::nullopt;
  return static_cast<std::uint32_t>(n);
}

bool is_volume_target(std::string_view target) {
  return target.starts_with("\\Device\\HarddiskVolume") ||
         target.starts_with("\\Device\\HarddiskDmVolumes");
}

}  // namespace vox::capture
