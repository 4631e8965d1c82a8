#include "driver/input_loop.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver/dispatch.h"
#include "driver/finish_run.h"
#include "driver/flags.h"
#include "driver/token_line.h"
#include "inquiry/dev_identity.h"
#include "inquiry/probe.h"
#include "layout/layout_cmd.h"
#include "report/reports.h"
#include "report/table_state.h"

namespace vox {

namespace {

// Everything the loop keeps for the whole run. The identity record, the name buffers and
// the token line are reused for every device and every line.
struct LoopState {
  LoopState(RunOptions& o, SortedUnits& s) : options(o), sorted(s) {}

  RunOptions& options;
  SortedUnits& sorted;
  DeviceSpace space;
  TableState table;
  WordCursor cursor;
  DevIdentity identity;
  std::array<char, kDisplayNameSize> display_name{};
  std::array<char, kDevicePathSize> device_path{};
  TokenLine line;
};

void report_store_failure(const char* name) {
  if (cli_mode) return;
  const int error = errno;
  std::fprintf(stderr, "%s -> ", name);
  errno = error;
  std::perror("malloc");
}

void dispatch_device(LoopState& s, const char* name, bool found) {
  RunOptions& o = s.options;
  bool store_failed = false;
  switch (choose_consumer(o, cli_mode, found)) {
    case Consumer::None:
      break;
    case Consumer::SortedInsert:
      if (s.sorted.sorted_insert(name, s.identity) != 0) {
        store_failed = true;
        report_store_failure(name);
      }
      break;
    case Consumer::LayoutCommand:
      run_layout_cmd(s.space, o.layout_cmd, name, s.identity, o.exit_error);
      break;
    case Consumer::DefaultReport:
      report_default(name, s.identity, o.find_mode, o.fmt_flags);
      break;
    case Consumer::CliReport:
      report_cli(name, s.identity, o.find_mode, o.fmt_flags, s.table, found ? 1 : 0);
      break;
    case Consumer::CliWwnReport:
      report_cli_wwn(name, s.identity, o.find_mode, o.fmt_flags, s.table, found ? 1 : 0,
                     o.cli_kind);
      break;
  }
  if (device_fails_run(o, found, store_failed)) o.exit_error = 1;
}

void expand_and_dispatch(LoopState& s, const WordPlan& plan) {
  s.cursor.state = plan.start;
  while (expand_device_word(s.space, s.cursor, plan.text, s.device_path.data(),
                            s.display_name.data(), s.display_name.size(),
                            s.options.fmt_flags) != -1) {
    const char* name = s.display_name.data();
    const DevIdentity* record =
        probe_device(name, s.identity, s.options.vpd_select, s.options.show_host_group);
    dispatch_device(s, name, record != nullptr);
  }
}

// One batch: the words of a line, or the arguments. Returns false when "quit" ends the
// run. `redirections` is null for a line, else it marks the words that were carried-out
// -z arguments.
bool run_batch(LoopState& s, const char* const* words, int count,
               const std::vector<bool>* redirections) {
  for (int i = 0; i < count; ++i) {
    const bool redirection = redirections && (*redirections)[static_cast<std::size_t>(i)];
    const WordPlan plan =
        plan_word(words[i], i == 0, redirection, s.options.name_filter, dvobj_char);
    switch (plan.action) {
      case WordAction::Quit:
        return false;
      case WordAction::SkipBatch:
        return true;
      case WordAction::SkipWord:
        break;
      case WordAction::Expand:
        expand_and_dispatch(s, plan);
        break;
    }
  }
  return true;
}

}  // namespace

WordPlan plan_word(const char* word, bool first, bool redirection, const char* name_filter,
                   char dvobj) {
  WordPlan plan;
  if (first && std::strcmp(word, "quit") == 0) {
    plan.action = WordAction::Quit;
    return plan;
  }
  if (first && word[0] == '#') {
    plan.action = WordAction::SkipBatch;
    return plan;
  }
  // A -z argument whose "=" was found is an option, not a device word: cut at its "=" it
  // still holds the digit of its stream, which would otherwise probe Harddisk0, 1 or 2.
  if (redirection) return plan;
  if (name_filter && std::strncmp(word, name_filter, std::strlen(name_filter)) != 0) {
    return plan;
  }
  plan.action = WordAction::Expand;
  if (word[0] == '$' || (word[0] != '\0' && word[0] == dvobj)) {
    plan.start = WordCursor::DosStart;
    plan.text = word + 1;
  } else {
    plan.start = WordCursor::NumberStart;
    plan.text = word;
  }
  return plan;
}

int run_input_loop(std::FILE* in, const char* program, int argc, char** argv,
                   const std::vector<bool>& redirections, RunOptions& options,
                   SortedUnits& sorted) {
  LoopState s(options, sorted);
  if (options.read_stdin) {
    while (read_token_line(in, program, s.line)) {
      if (!run_batch(s, s.line.words + 1, s.line.count - 1, nullptr)) break;
    }
  } else if (argc > 1) {
    // The arguments are one batch, options included: the fixed option words hold no digit
    // and yield no device, and the filter options are left out by the filter they set.
    std::vector<bool> marks(static_cast<std::size_t>(argc - 1), false);
    for (std::size_t i = 1; i < redirections.size() && i < static_cast<std::size_t>(argc); ++i) {
      marks[i - 1] = redirections[i];
    }
    run_batch(s, argv + 1, argc - 1, &marks);
  }
  return end_of_run(options, cli_mode, sorted, s.space);
}

}  // namespace vox
