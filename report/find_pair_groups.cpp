#include <cerrno>
#include <cstdio>
#include <memory>

#include "driver/token_line.h"
#include "platform/platform.h"
#include "report/find_commands.h"
#include "report/lookups.h"
#include "report/names.h"
#include "report/output.h"
#include "report/pair_states.h"
#include "report/pair_table.h"
#include "report/reports.h"

namespace vox {
namespace {

// Line k of an answer goes to buffer k mod 3: after the last line, buffer 1 holds the
// volume's own pair line and buffer 2 its partner's. 25 KB each, so they live on the heap.
struct AnswerBuffers {
  TokenLine lines[3];
};

// Reads the tool's answer to its end; the result is the number of complete lines (counted
// up to 4: more than 3 is all that matters). A last line without a line feed is not
// counted but stays in its buffer.
int read_answer(std::FILE* pipe, AnswerBuffers& answer) {
  for (TokenLine& line : answer.lines) line.count = 0;
  std::size_t lines = 0;
  while (read_token_line(pipe, "twinlist", answer.lines[lines % 3])) ++lines;
  return lines > 4 ? 4 : static_cast<int>(lines);
}

}  // namespace

void find_pair_groups(const char* name, const DevIdentity& record, int quiet, TableState& table) {
  const std::string_view shown = shown_name(name);
  const bool local_copy = local_copy_instance();
  const MuStateArray states = mu_state_array(record);
  const MuRange range = mu_range(local_copy);
  std::unique_ptr<AnswerBuffers> answer;
  for (int i = range.first; i <= range.last; ++i) {
    if (states[i] == 0) continue;
    if (!answer) answer = std::make_unique<AnswerBuffers>();
    const std::string label = mu_label(i);
    const std::string command = pair_command(record, mu_number(i));
    std::fflush(stdout);
    errno = 0;
    std::FILE* pipe = plat::popen(command.c_str(), "rt");
    if (pipe == nullptr) {
      if (quiet == 0) std::perror("popen()");
      continue;
    }
    const int lines = read_answer(pipe, *answer);
    const int status = plat::pclose(pipe);
    if (status != 0 || lines > 3) {
      if (quiet == 0) std::fprintf(stderr, "%s[%s] -> No such on the group\n", name, label.c_str());
      continue;
    }
    const AnswerLine own = answer_line(answer->lines[1]);
    const AnswerLine partner = answer_line(answer->lines[2]);
    if (!pair_line_complete(own) || !pair_line_complete(partner)) continue;
    if (table.header_done == 0) {
      table.wide_layout = pair_table_wide_layout(shown, partner);
      put_text(pair_table_header(table.wide_layout));
      table.header_done = 1;
    }
    put_text(pair_table_row(shown, label, own, partner, local_copy, table.wide_layout));
  }
}

}  // namespace vox
