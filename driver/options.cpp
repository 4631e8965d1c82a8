#include "driver/options.h"

#include <cstring>

#include "driver/crt_calls.h"
#include "driver/flags.h"
#include "driver/usage.h"

namespace vox {

namespace {

// Vendor page selectors of the letters r and e.
constexpr std::uint8_t kVpdRealId = 0xE2;
constexpr std::uint8_t kVpdExchange = 0xF2;

// The CLI forms: table output, and the diagnostics marked as such are left out.
void set_cli(RunOptions& o, int kind) {
  cli_mode = 1;
  o.cli_kind = kind;
}

struct ExactOption {
  const char* word;  // the argument without its dash
  void (*apply)(RunOptions&);
};

// Whole-word options in the order they are tested. -find and -findc come before the
// one-letter -f prefix of the letter scan; -CLIWP and -CLIWN are tested before -CLIW,
// which, being exact, could not take them anyway.
constexpr ExactOption kExactOptions[] = {
    {"find", [](RunOptions& o) { o.find_mode = 1; }},
    {"findc", [](RunOptions& o) { o.find_mode = 2; }},
    {"export", [](RunOptions& o) { o.find_mode = 3; }},
    {"inqdump", [](RunOptions&) { inqdump_mode = 1; }},
    {"pin", [](RunOptions& o) { o.fmt_flags |= FMT_PIN; }},
};

constexpr ExactOption kExactOptionsAfterLetters[] = {
    {"CLI", [](RunOptions& o) { set_cli(o, 0); }},
    {"CLIB", [](RunOptions& o) { set_cli(o, 4); }},
    {"CLIWP", [](RunOptions& o) { set_cli(o, 2); }},
    {"CLIWN", [](RunOptions& o) { set_cli(o, 3); }},
    {"CLIW", [](RunOptions& o) { set_cli(o, 1); }},
    {"sort", [](RunOptions& o) { o.sort_mode = 1; }},
    {"CM", [](RunOptions& o) { o.cm_image = 1; }},
    {"gplba", [](RunOptions& o) { o.layout_cmd = 3; }},
    {"gplbaex", [](RunOptions& o) { o.layout_cmd = 4; }},
    {"gvinf", [](RunOptions& o) { o.layout_cmd = 1; }},
    {"gvinfex", [](RunOptions& o) { o.layout_cmd = 2; }},
    {"svinf", [](RunOptions& o) { o.layout_cmd = 5; }},
    {"svinfex", [](RunOptions& o) { o.layout_cmd = 6; }},
};

struct FilterOption {
  const char* prefix;  // the argument without its dash, up to and with the "="
  int layout_cmd;      // 0: layout_cmd unchanged
};

constexpr FilterOption kFilterOptions[] = {
    {"svinf=", 5},
    {"svinfex=", 6},
    {"grep=", 0},
};

bool starts_with(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

template <std::size_t N>
bool apply_exact(const ExactOption (&table)[N], const char* word, RunOptions& options) {
  for (const ExactOption& option : table) {
    if (std::strcmp(word, option.word) == 0) {
      option.apply(options);
      return true;
    }
  }
  return false;
}

// -z, digit, mode, "=", path: the digit names the standard stream (0 input, 1 output,
// anything else error). Returns false when the argument holds no "=".
bool apply_redirection(char* argument) {
  char* equals = std::strchr(argument, '=');
  if (!equals) return false;
  *equals = '\0';
  const char digit = argument[2];
  const int fd = digit == '0' ? 0 : digit == '1' ? 1 : 2;
  // A failed open is silent: the run goes on with the stream it had.
  redirect_descriptor(fd, equals + 1, argument + 3);
  return true;
}

}  // namespace

void apply_format_letters(const char* letters, RunOptions& options) {
  for (const char* p = letters; *p; ++p) {
    switch (*p) {
      case 'x':
        options.fmt_flags |= FMT_HEX;
        break;
      case 'v':
        options.fmt_flags |= FMT_VOLGUID;
        break;
      case 'p':
        options.fmt_flags |= FMT_HARD;
        break;
      case 'l':
        options.fmt_flags |= FMT_FENCOR;
        break;
      case 'w':
        options.fmt_flags |= FMT_WIDE;
        break;
      case 'c':
        options.fmt_flags |= FMT_CYL;
        break;
      case 'h':
        options.fmt_flags |= FMT_BITMAP;
        break;
      case 'n':
        options.fmt_flags |= FMT_NICNAME;
        break;
      case 'r':
        options.fmt_flags |= FMT_REALID;
        options.vpd_select = kVpdRealId;
        break;
      case 'e':
        options.fmt_flags &= ~FMT_REALID;
        options.vpd_select = kVpdExchange;
        break;
      case 'g':
        options.show_host_group = 1;
        break;
      default:
        break;  // other letters mean nothing
    }
  }
}

void parse_options(int argc, char** argv, RunOptions& options, std::vector<bool>& redirections) {
  redirections.assign(argc > 0 ? static_cast<std::size_t>(argc) : 0, false);
  for (int i = 1; i < argc; ++i) {
    char* argument = argv[i];
    const bool dash = argument[0] == '-';
    const char* word = dash ? argument + 1 : argument;

    if ((dash && std::strcmp(word, "h") == 0) || std::strcmp(argument, "h") == 0) {
      print_usage(argv[0]);
      options.read_stdin = 0;
      continue;
    }
    if (dash) {
      if (apply_exact(kExactOptions, word, options)) continue;
      if (word[0] == 'f') {
        apply_format_letters(word + 1, options);
        continue;
      }
      if (apply_exact(kExactOptionsAfterLetters, word, options)) continue;
      bool filtered = false;
      for (const FilterOption& filter : kFilterOptions) {
        if (starts_with(word, filter.prefix)) {
          if (filter.layout_cmd) options.layout_cmd = filter.layout_cmd;
          options.name_filter = word + std::strlen(filter.prefix);
          filtered = true;
          break;
        }
      }
      if (filtered) continue;
      if (word[0] == 'z' && (word[1] == '0' || word[1] == '1' || word[1] == '2') &&
          apply_redirection(argument)) {
        redirections[static_cast<std::size_t>(i)] = true;
        continue;
      }
    }
    // Not an option: a device word, so the words come from the arguments.
    options.read_stdin = 0;
  }
}

}  // namespace vox
