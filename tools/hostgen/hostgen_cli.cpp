#include "tools/hostgen/hostgen_cli.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>

#include "tools/hostgen/example_host.h"
#include "tools/hostgen/farm_host.h"
#include "tools/hostgen/host_json.h"

namespace vox::hostgen {

const char* const kHostgenUsage =
    "usage: hostgen example [-o FILE]\n"
    "       hostgen farm ARRAYS LDEVS PATHS [--first-serial N] [--first-disk N]\n"
    "                    [--no-dos-names] [-o FILE]\n"
    "  example        the example host of examples/host.json\n"
    "  farm           ARRAYS arrays x LDEVS LDEVs x PATHS paths, one disk per path\n"
    "  -o FILE        write the host image to FILE instead of standard output\n";

namespace {

int usage_error(std::FILE* err, const std::string& message) {
  std::fprintf(err, "hostgen: %s\n%s", message.c_str(), kHostgenUsage);
  return 2;
}

// A decimal number without sign within [low, high].
bool read_number(std::string_view text, long long low, long long high, long long& value) {
  if (text.empty() || text.size() > 12) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= low && value <= high;
}

// Writes `text` to `path` through a temporary file beside it, so that a failed write
// leaves an existing file whole.
bool write_file(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
      error = temporary + ": " + std::strerror(errno);
      return false;
    }
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
      error = temporary + ": write failed";
      std::filesystem::remove(temporary);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    error = path + ": " + ec.message();
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace

int hostgen_main(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  if (argc < 2 || argv[1] == nullptr) return usage_error(err, "what to generate is missing");
  const std::string_view what = argv[1];
  if (what == "-h" || what == "--help") {
    std::fputs(kHostgenUsage, out);
    return 0;
  }
  FarmSpec spec;
  int next = 2;
  if (what == "farm") {
    long long n[3] = {};
    const char* names[3] = {"ARRAYS", "LDEVS", "PATHS"};
    for (int k = 0; k < 3; ++k) {
      if (next >= argc || argv[next] == nullptr)
        return usage_error(err, std::string(names[k]) + " is missing");
      if (!read_number(argv[next], 1, std::numeric_limits<int>::max(), n[k])) {
        return usage_error(err, std::string("bad ") + names[k] + ": " + argv[next]);
      }
      ++next;
    }
    spec.arrays = static_cast<int>(n[0]);
    spec.ldevs = static_cast<int>(n[1]);
    spec.paths = static_cast<int>(n[2]);
  } else if (what != "example") {
    return usage_error(err, "unknown host: " + std::string(what));
  }
  std::string output;
  for (; next < argc; ++next) {
    const std::string_view arg = argv[next] != nullptr ? argv[next] : "";
    const bool has_value = next + 1 < argc && argv[next + 1] != nullptr;
    long long value = 0;
    if (arg == "-o" && has_value && argv[next + 1][0] != '\0') {
      output = argv[++next];
    } else if (what == "farm" && arg == "--first-serial" && has_value &&
               read_number(argv[next + 1], 1, std::numeric_limits<std::int32_t>::max(), value)) {
      spec.first_serial = static_cast<std::int32_t>(value);
      ++next;
    } else if (what == "farm" && arg == "--first-disk" && has_value &&
               read_number(argv[next + 1], 0, std::numeric_limits<std::int32_t>::max(), value)) {
      spec.first_disk = static_cast<std::uint32_t>(value);
      ++next;
    } else if (what == "farm" && arg == "--no-dos-names") {
      spec.dos_names = false;
    } else {
      return usage_error(err, "bad argument: " + std::string(arg));
    }
  }
  Host host;
  if (what == "farm") {
    std::string problem;
    if (!check_farm(spec, problem)) return usage_error(err, problem);
    host = make_farm_host(spec);
  } else {
    host = make_example_host();
  }
  const std::string text = write_host_json(host);
  if (output.empty()) {
    std::fwrite(text.data(), 1, text.size(), out);
    return std::fflush(out) == 0 ? 0 : 1;
  }
  std::string problem;
  if (!write_file(output, text, problem)) {
    std::fprintf(err, "hostgen: %s\n", problem.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vox::hostgen
