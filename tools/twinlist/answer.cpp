#include "tools/twinlist/answer.h"

#include <algorithm>
#include <cstdio>

namespace vox::twinlist {
namespace {

std::string number_text(const std::optional<std::int32_t>& value, bool hex) {
  if (!value) return "-";
  char text[16];
  std::snprintf(text, sizeof text, hex ? "%X" : "%d", *value);
  return text;
}

const char* copy_text(CopyKind kind) {
  return kind == CopyKind::local ? "local" : "remote";
}

std::vector<std::string> title_for(CopyKind kind, bool show_device) {
  std::vector<std::string> t = {"Group", "PairVol", "L/R"};
  if (show_device) t.push_back("Device");
  if (kind == CopyKind::local) {
    t.insert(t.end(), {"MU", "Serial", "LDEV", "P/S", "Status", "P-Serial", "P-LDEV", "Copy"});
  } else {
    t.insert(t.end(), {"Serial", "LDEV", "P/S", "Status", "Copy", "P-Serial", "P-LDEV", "MU"});
  }
  return t;
}

std::vector<std::string> side_fields(const PairGroup& group, const PairVolume& volume,
                                     const PairSide& side, const char* label, const Query& q) {
  std::vector<std::string> f = {group.name, volume.name, label};
  if (q.show_device) f.push_back(side.device.empty() ? "-" : side.device);
  const std::string serial = number_text(side.serial, false);
  const std::string ldev = number_text(side.ldev, q.hex);
  const std::string partner_serial = number_text(side.partner_serial, false);
  const std::string partner_ldev = number_text(side.partner_ldev, q.hex);
  const std::string mu = std::to_string(volume.mu);
  if (group.copy == CopyKind::local) {
    f.insert(f.end(), {mu, serial, ldev, side.role, side.state, partner_serial, partner_ldev,
                       copy_text(group.copy)});
  } else {
    f.insert(f.end(), {serial, ldev, side.role, side.state, copy_text(group.copy), partner_serial,
                       partner_ldev, mu});
  }
  return f;
}

int side_of(const PairVolume& volume, std::int32_t serial, std::int32_t ldev) {
  for (int i = 0; i < 2; ++i) {
    const PairSide& s = volume.sides[i];
    if (s.serial == serial && s.ldev == ldev) return i;
  }
  return -1;
}

}  // namespace

std::string format_lines(const std::vector<std::vector<std::string>>& rows,
                         const std::vector<std::string>& title, bool cli) {
  std::vector<std::size_t> widths(title.size(), 0);
  if (!cli) {
    for (std::size_t c = 0; c < title.size(); ++c) widths[c] = title[c].size();
    for (const auto& row : rows) {
      for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
        widths[c] = std::max(widths[c], row[c].size());
      }
    }
  }
  std::string text;
  auto put = [&](const std::vector<std::string>& fields) {
    for (std::size_t c = 0; c < fields.size(); ++c) {
      if (c > 0) text += ' ';
      text += fields[c];
      // The last field is not padded: no blanks at the end of a line.
      if (c + 1 < fields.size() && c < widths.size() && fields[c].size() < widths[c]) {
        text.append(widths[c] - fields[c].size(), ' ');
      }
    }
    text += '\n';
  };
  put(title);
  for (const auto& row : rows) put(row);
  return text;
}

Answer answer_query(const std::vector<PairGroup>& groups, const Query& query, CopyKind instance) {
  Answer answer;
  // Lines of one copy kind share a title; a change of kind starts a new table.
  std::vector<std::vector<std::string>> rows;
  CopyKind rows_kind = CopyKind::remote;
  auto flush = [&] {
    if (rows.empty()) return;
    answer.text += format_lines(rows, title_for(rows_kind, query.show_device), query.cli);
    rows.clear();
  };
  for (const PairGroup& group : groups) {
    if (query.group && *query.group != group.name) continue;
    // A lookup by volume sees the copies of this instance only: its MU numbers mean
    // nothing for the other kind.
    if (query.by_volume && group.copy != instance) continue;
    for (const PairVolume& volume : group.volumes) {
      int own = 0;
      if (query.by_volume) {
        if (!query.mus.empty() &&
            std::find(query.mus.begin(), query.mus.end(), volume.mu) == query.mus.end()) {
          continue;
        }
        own = side_of(volume, query.serial, query.ldev);
        if (own < 0) continue;
      }
      answer.found = true;
      if (!rows.empty() && rows_kind != group.copy) flush();
      rows_kind = group.copy;
      const int order[2] = {own, 1 - own};
      for (int k = 0; k < 2; ++k) {
        const PairSide& side = volume.sides[order[k]];
        const bool asked = query.by_volume && k == 0;
        if (query.local_only && !asked && side.device.empty()) continue;
        rows.push_back(side_fields(group, volume, side, k == 0 ? "L" : "R", query));
      }
    }
  }
  flush();
  return answer;
}

}  // namespace vox::twinlist
