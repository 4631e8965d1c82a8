// The -findc pair table: one row per pair, built from the answer lines of the pair-status
// tool ("<tool> -d SERIAL LDEV MU -fd -CLI").
//
// An answer holds a title line and two pair lines, the volume's own side (A) first and its
// partner (B) second. Field k of a line is its k-th blank-separated word, counted from 1:
//   1 group, 2 pair volume, 4 device, 10/11 the partner's keys as this side knows them;
//   remote copy: 5/6 this side's keys, 7 P/S, 8 state;
//   local copy:  5 MU, 6/7 this side's keys, 8 P/S, 9 state.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driver/token_line.h"

namespace vox {

// The words of an answer line: entry 0 is the program path, entry k is field k.
using AnswerLine = std::vector<std::string_view>;
using AnswerFields = std::span<const std::string_view>;

// The entries of a token line (a count outside 0..100 is taken as no entries).
AnswerLine answer_line(const TokenLine& line);
// True when the line has the 12 fields a pair row reads.
bool pair_line_complete(AnswerFields line);

// "OK" when the two pair lines name each other, else "NG". `local_copy`: the fields of
// the local copy layout.
const char* pair_link_check(AnswerFields a, AnswerFields b, bool local_copy);

// 1 when the shown name or B's device has 25 or more characters.
int pair_table_wide_layout(std::string_view shown, AnswerFields b);
std::string pair_table_header(int wide_layout);
// Both lines must be complete.
std::string pair_table_row(std::string_view shown, std::string_view mu_label, AnswerFields a,
                           AnswerFields b, bool local_copy, int wide_layout);

}  // namespace vox
