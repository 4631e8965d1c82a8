#include "report/pair_table.h"

#include "report/text_format.h"

namespace vox {
namespace {

constexpr std::size_t kPairLineEntries = 13;  // the program path and 12 fields
constexpr std::size_t kWideNameFrom = 25;

// Where this side's keys, P/S and state stand: one place further right in the local copy
// layout, which shows the MU number in field 5.
struct PairFields {
  std::size_t key1, key2, role, state;
};
constexpr PairFields fields_for(bool local_copy) {
  return local_copy ? PairFields{6, 7, 8, 9} : PairFields{5, 6, 7, 8};
}
constexpr std::size_t kGroup = 1, kPairVolume = 2, kDevice = 4, kMu = 5, kPartnerKey1 = 10,
                      kPartnerKey2 = 11;

// A field the line does not have reads as empty.
std::string_view at(AnswerFields line, std::size_t k) {
  return k < line.size() ? line[k] : std::string_view();
}
std::string field(AnswerFields line, std::size_t k) {
  return std::string(at(line, k));
}
bool unknown(std::string_view value) {
  return !value.empty() && value.front() == '-';
}

}  // namespace

AnswerLine answer_line(const TokenLine& line) {
  AnswerLine words;
  if (line.count <= 0 || line.count > kTokenLineWords) return words;
  for (int i = 0; i < line.count; ++i) {
    words.emplace_back(line.words[i] != nullptr ? line.words[i] : "");
  }
  return words;
}

bool pair_line_complete(AnswerFields line) {
  return line.size() >= kPairLineEntries;
}

const char* pair_link_check(AnswerFields a, AnswerFields b, bool local_copy) {
  const PairFields f = fields_for(local_copy);
  const std::string_view a_key1 = at(a, f.key1), a_key2 = at(a, f.key2);
  const std::string_view b_key1 = at(b, f.key1), b_key2 = at(b, f.key2);
  if (unknown(a_key2) || unknown(b_key2)) return "NG";
  // A partner key given as "-" is not known on that side and is not compared.
  const std::string_view a_partner1 = at(a, kPartnerKey1), a_partner2 = at(a, kPartnerKey2);
  const std::string_view b_partner1 = at(b, kPartnerKey1), b_partner2 = at(b, kPartnerKey2);
  if (!unknown(b_partner1) && a_key1 != b_partner1) return "NG";
  if (!unknown(a_partner1) && b_key1 != a_partner1) return "NG";
  if (!unknown(b_partner2) && a_key2 != b_partner2) return "NG";
  if (!unknown(a_partner2) && b_key2 != a_partner2) return "NG";
  return "OK";
}

int pair_table_wide_layout(std::string_view shown, AnswerFields b) {
  return shown.size() >= kWideNameFrom || at(b, kDevice).size() >= kWideNameFrom ? 1 : 0;
}

std::string pair_table_header(int wide_layout) {
  const std::string gap1(wide_layout != 0 ? 49 : 4, ' ');
  const std::string gap2(wide_layout != 0 ? 52 : 4, ' ');
  return format_text("DEVICE_FILE%sM  Group    PairVol    P/S   Stat  R_DEVICE%sM  P/S   Stat LK\n",
                     gap1.c_str(), gap2.c_str());
}

std::string pair_table_row(std::string_view shown, std::string_view mu_label, AnswerFields a,
                           AnswerFields b, bool local_copy, int wide_layout) {
  const PairFields f = fields_for(local_copy);
  const std::string d(shown), label(mu_label);
  const std::string group = field(a, kGroup), volume = field(a, kPairVolume);
  const std::string a_role = field(a, f.role), a_state = field(a, f.state);
  const std::string b_device = field(b, kDevice);
  const std::string b_mu = local_copy ? field(b, kMu) : std::string("-");
  const std::string b_role = field(b, f.role), b_state = field(b, f.state);
  const char* link = pair_link_check(a, b, local_copy);
  return format_text(
      wide_layout != 0 ? "%-59s %-2s %-8s %-10s %-5s %-4s  %-59s %-2s %-5s %-4s %-2s\n"
                       : "%-14s %-2s %-8s %-10s %-5s %-4s  %-11s %-2s %-5s %-4s %-2s\n",
      d.c_str(), label.c_str(), group.c_str(), volume.c_str(), a_role.c_str(), a_state.c_str(),
      b_device.c_str(), b_mu.c_str(), b_role.c_str(), b_state.c_str(), link);
}

}  // namespace vox
