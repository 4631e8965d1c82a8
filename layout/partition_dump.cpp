#include "layout/partition_dump.h"

#include <cinttypes>

#include "transport/string_printf.h"

namespace vox {

namespace {

std::string mbr_head(const PartitionEntry& e) {
  return string_printf("[MBR_PNO = %03d]:[Atr = %02x]:\n", static_cast<int>(e.partition_number),
                       static_cast<unsigned>(e.mbr_type));
}

std::string head_line(const PartitionEntry& e, LayoutForm form) {
  if (form == LayoutForm::Basic || e.style == kStyleMbr) return mbr_head(e);
  if (e.style == kStyleGpt) {
    // The unique partition GUID is shown, not the type GUID.
    return string_printf("[GPT_PNO = %03d]:[Atr = %016" PRIx64 "]: %s\n",
                         static_cast<int>(e.partition_number), e.gpt_attributes,
                         guid_text(e.gpt_id).data());
  }
  return string_printf("[RAW_PNO = %03d]:\n", static_cast<int>(e.partition_number));
}

}  // namespace

std::string format_partition_entry(const PartitionEntry& entry, LayoutForm form,
                                   std::size_t index) {
  const int i = static_cast<int>(index);
  return head_line(entry, form) +
         string_printf("ST[%03d] -> %016" PRIx64 "\n", i,
                       static_cast<std::uint64_t>(entry.starting_offset)) +
         string_printf("LN[%03d] -> %016" PRIx64 "\n", i,
                       static_cast<std::uint64_t>(entry.partition_length));
}

std::string format_partition_dump(std::span<const std::uint8_t> layout, LayoutForm form) {
  std::string text;
  const std::size_t n = layout_entry_count(layout, form);
  for (std::size_t i = 0; i < n; ++i) {
    text += format_partition_entry(layout_entry(layout, form, i), form, i);
  }
  return text;
}

}  // namespace vox
