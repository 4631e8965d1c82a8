#include "tools/twinlist/query.h"

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string_view>

namespace vox::twinlist {
namespace {

// A whole number of 32 bits: decimal with an optional sign, or hexadecimal after "0x".
bool read_number(std::string_view text, std::int32_t& out) {
  if (text.empty()) return false;
  std::size_t pos = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') pos = 1;
  int base = 10;
  if (text.size() > pos + 2 && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  if (pos >= text.size()) return false;
  std::int64_t value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    value = value * base + digit;
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

bool is_mu(std::string_view text, int& mu) {
  if (text.empty() || text.size() > 2) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  mu = std::atoi(std::string(text).c_str());
  return mu <= 63;
}

}  // namespace

const char* const kUsage =
    "usage: twinlist -d SERIAL LDEV [MU ...] [-g GROUP] [-l] [-fd] [-fx] [-CLI]\n"
    "       twinlist -g GROUP [-l] [-fd] [-fx] [-CLI]\n"
    "  -d SERIAL LDEV [MU ...]  the pairs of the volume LDEV of the array SERIAL\n"
    "                           (LDEV decimal, or hexadecimal after 0x), of the MUs given\n"
    "  -g GROUP                 the pairs of the group GROUP\n"
    "  -l                       only the volumes of this host\n"
    "  -fd                      show the host device of each volume\n"
    "  -fx                      show LDEV numbers in hexadecimal\n"
    "  -CLI                     fields separated by one blank, without alignment\n"
    "Exit status: 0 when pairs were found, 1 when none, 2 on errors.\n";

bool parse_query(std::span<const char* const> args, Query& query, std::string& error) {
  query = Query{};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i] != nullptr ? args[i] : "";
    if (arg == "-d") {
      if (i + 2 >= args.size() || args[i + 1] == nullptr || args[i + 2] == nullptr) {
        error = "-d needs a serial number and an LDEV number";
        return false;
      }
      if (!read_number(args[i + 1], query.serial)) {
        error = "bad serial number: " + std::string(args[i + 1]);
        return false;
      }
      if (!read_number(args[i + 2], query.ldev)) {
        error = "bad LDEV number: " + std::string(args[i + 2]);
        return false;
      }
      query.by_volume = true;
      query.mus.clear();
      i += 2;
      int mu = 0;
      while (i + 1 < args.size() && args[i + 1] != nullptr && is_mu(args[i + 1], mu)) {
        query.mus.push_back(mu);
        ++i;
      }
    } else if (arg == "-g") {
      if (i + 1 >= args.size() || args[i + 1] == nullptr || args[i + 1][0] == '\0') {
        error = "-g needs a group name";
        return false;
      }
      query.group = args[++i];
    } else if (arg == "-l") {
      query.local_only = true;
    } else if (arg == "-fd") {
      query.show_device = true;
    } else if (arg == "-fx") {
      query.hex = true;
    } else if (arg == "-fdx" || arg == "-fxd") {
      query.show_device = true;
      query.hex = true;
    } else if (arg == "-CLI") {
      query.cli = true;
    } else if (arg == "-h") {
      query.help = true;
    } else {
      error = "unknown option: " + std::string(arg);
      return false;
    }
  }
  if (!query.help && !query.by_volume && !query.group) {
    error = "-d SERIAL LDEV or -g GROUP is needed";
    return false;
  }
  return true;
}

}  // namespace vox::twinlist
