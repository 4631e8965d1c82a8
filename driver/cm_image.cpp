#include "driver/cm_image.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace vox {

namespace {

// A text field of a record up to its string end, or the whole field when a record
// arrives without one.
template <std::size_t N>
std::string_view bounded_text(const char (&field)[N]) {
  const void* end = std::memchr(field, '\0', N);
  return {field, end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : N};
}

}  // namespace

std::string cm_image_header() {
  return "VEXAM_CMD\n"
         "#dev_name               dev_name                dev_name\n";
}

const GroupEntries* best_command_group(const SerialNode& node) {
  int best_count = 0;
  const GroupEntries* best = nullptr;
  for (const auto& [ldev, entries] : node.groups) {
    int count = 0;
    for (const UnitEntry& entry : entries) {
      if (entry.record.is_cmddev) ++count;
    }
    if (count > best_count) {
      best_count = count;
      best = &entries;
    }
  }
  return best;
}

std::string cm_image_unit(int unit, std::int32_t serial, const GroupEntries& group) {
  char line[64];
  std::snprintf(line, sizeof line, "#UnitID %d (Serial# %d)\n", unit, static_cast<int>(serial));
  std::string out = line;
  for (const UnitEntry& entry : group) {
    if (!entry.record.is_cmddev) continue;
    const std::string_view path = bounded_text(entry.record.dev_path);
    out += path;
    if (path.size() < 23) out.append(23 - path.size(), ' ');
    out += ' ';
  }
  out += '\n';
  return out;
}

}  // namespace vox
