#include "layout/layout_records.h"

#include <algorithm>
#include <cstdio>

namespace vox {

namespace {

// Byte `i` after `offset`, or zero past the end; offset + i is never formed when it could
// pass the end, so no offset wraps around.
std::uint8_t byte_at(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t i) {
  return offset < bytes.size() && i < bytes.size() - offset ? bytes[offset + i] : 0;
}

std::uint64_t read_le(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t n) {
  std::uint64_t value = 0;
  for (std::size_t i = n; i-- > 0;) value = value << 8 | byte_at(bytes, offset, i);
  return value;
}

}  // namespace

std::uint8_t read_u8(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return byte_at(bytes, offset, 0);
}

std::uint16_t read_le16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(read_le(bytes, offset, 2));
}

std::uint32_t read_le32(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(read_le(bytes, offset, 4));
}

std::uint64_t read_le64(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return read_le(bytes, offset, 8);
}

Guid read_guid(std::span<const std::uint8_t> bytes, std::size_t offset) {
  Guid guid{};
  for (std::size_t i = 0; i < guid.size(); ++i) guid[i] = byte_at(bytes, offset, i);
  return guid;
}

void write_le32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4 && offset < bytes.size() && i < bytes.size() - offset; ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

std::size_t layout_buffer_size(LayoutForm form) {
  return form == LayoutForm::Ex ? win::kLayoutExBufferSize : win::kLayoutBufferSize;
}

std::uint32_t layout_partition_count(std::span<const std::uint8_t> layout, LayoutForm form) {
  return read_le32(layout, form == LayoutForm::Ex ? kLayoutExCountOffset : kLayoutCountOffset);
}

std::size_t layout_entry_count(std::span<const std::uint8_t> layout, LayoutForm form) {
  const bool ex = form == LayoutForm::Ex;
  const std::size_t first = ex ? kLayoutExEntriesOffset : kLayoutEntriesOffset;
  const std::size_t size = ex ? kExEntrySize : kEntrySize;
  const std::size_t whole = layout.size() > first ? (layout.size() - first) / size : 0;
  return std::min({static_cast<std::size_t>(layout_partition_count(layout, form)), whole,
                   kMaxPartitionEntries});
}

PartitionEntry layout_entry(std::span<const std::uint8_t> layout, LayoutForm form,
                            std::size_t index) {
  PartitionEntry e;
  if (form == LayoutForm::Basic) {
    const std::size_t at = kLayoutEntriesOffset + index * kEntrySize;
    e.starting_offset = static_cast<std::int64_t>(read_le64(layout, at + kEntryStartOffset));
    e.partition_length = static_cast<std::int64_t>(read_le64(layout, at + kEntryLengthOffset));
    e.hidden_sectors = read_le32(layout, at + kEntryHiddenOffset);
    e.partition_number = read_le32(layout, at + kEntryNumberOffset);
    e.mbr_type = read_u8(layout, at + kEntryTypeOffset);
    e.boot_indicator = read_u8(layout, at + kEntryBootOffset);
    e.recognized = read_u8(layout, at + kEntryRecognizedOffset);
    e.rewrite = read_u8(layout, at + kEntryRewriteOffset);
    return e;
  }
  const std::size_t at = kLayoutExEntriesOffset + index * kExEntrySize;
  e.style = read_le32(layout, at + kExEntryStyleOffset);
  e.starting_offset = static_cast<std::int64_t>(read_le64(layout, at + kExEntryStartOffset));
  e.partition_length = static_cast<std::int64_t>(read_le64(layout, at + kExEntryLengthOffset));
  e.partition_number = read_le32(layout, at + kExEntryNumberOffset);
  // The union holds either the MBR fields or the GPT fields; both readings are taken and
  // the caller picks by style.
  e.mbr_type = read_u8(layout, at + kExEntryMbrTypeOffset);
  e.gpt_type = read_guid(layout, at + kExEntryGptTypeOffset);
  e.gpt_id = read_guid(layout, at + kExEntryGptIdOffset);
  e.gpt_attributes = read_le64(layout, at + kExEntryGptAttrOffset);
  return e;
}

std::array<char, kGuidTextSize> guid_text(const Guid& g) {
  const std::span<const std::uint8_t> bytes(g);
  std::array<char, kGuidTextSize> text{};
  std::snprintf(text.data(), text.size(), "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                static_cast<unsigned>(read_le32(bytes, 0)),
                static_cast<unsigned>(read_le16(bytes, 4)),
                static_cast<unsigned>(read_le16(bytes, 6)), g[8], g[9], g[10], g[11], g[12], g[13],
                g[14], g[15]);
  return text;
}

}  // namespace vox
