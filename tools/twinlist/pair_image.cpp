#include "tools/twinlist/pair_image.h"

#include <limits>

namespace vox::twinlist {
namespace {

using nlohmann::json;

// The reader of one entry: remembers where it is for the error text.
struct Reader {
  std::string& error;

  bool fail(const std::string& where, const std::string& what) {
    error = where + ": " + what;
    return false;
  }

  // Words of the pair-status output: not empty, no blanks, so that every field stays one
  // word of the line.
  bool word(const json& object, const char* key, const std::string& where, std::string& out,
            const char* fallback) {
    const std::string at = where + "." + key;
    if (!object.contains(key) || object[key].is_null()) {
      if (fallback == nullptr) return fail(at, "missing");
      out = fallback;
      return true;
    }
    if (!object[key].is_string()) return fail(at, "a text expected");
    out = object[key].get<std::string>();
    if (out.empty()) return fail(at, "empty");
    for (const char c : out) {
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0') {
        return fail(at, "a single word expected");
      }
    }
    return true;
  }

  // A whole number within 32 bits; absent or null: not known.
  bool number(const json& object, const char* key, const std::string& where,
              std::optional<std::int32_t>& out) {
    out.reset();
    if (!object.contains(key) || object[key].is_null()) return true;
    const json& v = object[key];
    const std::string at = where + "." + key;
    if (!v.is_number_integer()) return fail(at, "a whole number expected");
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    if (v.is_number_unsigned()) {
      if (v.get<std::uint64_t>() > static_cast<std::uint64_t>(kMax)) return fail(at, "too large");
      out = static_cast<std::int32_t>(v.get<std::uint64_t>());
      return true;
    }
    const std::int64_t n = v.get<std::int64_t>();
    if (n < kMin || n > kMax) return fail(at, "out of range");
    out = static_cast<std::int32_t>(n);
    return true;
  }

  bool side(const json& s, const std::string& where, PairSide& out) {
    if (!s.is_object()) return fail(where, "an object expected");
    if (!number(s, "serial", where, out.serial) || !number(s, "ldev", where, out.ldev))
      return false;
    if (s.contains("device") && !s["device"].is_null()) {
      if (!word(s, "device", where, out.device, nullptr)) return false;
    }
    if (!word(s, "role", where, out.role, "-") || !word(s, "state", where, out.state, "-")) {
      return false;
    }
    return true;
  }

  // The partner keys of a side: those its entry names, else the other side's own keys.
  bool partner(const json& s, const std::string& where, const PairSide& other, PairSide& out) {
    if (!s.contains("partner")) {
      out.partner_serial = other.serial;
      out.partner_ldev = other.ldev;
      return true;
    }
    const json& p = s["partner"];
    const std::string at = where + ".partner";
    if (p.is_null()) {
      out.partner_serial.reset();
      out.partner_ldev.reset();
      return true;
    }
    if (!p.is_object()) return fail(at, "an object expected");
    return number(p, "serial", at, out.partner_serial) && number(p, "ldev", at, out.partner_ldev);
  }

  bool volume(const json& v, const std::string& where, PairVolume& out) {
    if (!v.is_object()) return fail(where, "an object expected");
    if (!word(v, "name", where, out.name, nullptr)) return false;
    std::optional<std::int32_t> mu;
    if (!number(v, "mu", where, mu)) return false;
    if (mu && (*mu < 0 || *mu > 63)) return fail(where + ".mu", "0 to 63 expected");
    out.mu = mu.value_or(0);
    if (!v.contains("sides") || !v["sides"].is_array() || v["sides"].size() != 2) {
      return fail(where + ".sides", "an array of two sides expected");
    }
    const json& sides = v["sides"];
    for (int i = 0; i < 2; ++i) {
      if (!side(sides[i], where + ".sides[" + std::to_string(i) + "]", out.sides[i])) return false;
    }
    for (int i = 0; i < 2; ++i) {
      const std::string at = where + ".sides[" + std::to_string(i) + "]";
      if (!partner(sides[i], at, out.sides[1 - i], out.sides[i])) return false;
    }
    return true;
  }

  bool group(const json& g, const std::string& where, PairGroup& out) {
    if (!g.is_object()) return fail(where, "an object expected");
    if (!word(g, "group", where, out.name, nullptr)) return false;
    std::string copy;
    if (!word(g, "copy", where, copy, "remote")) return false;
    if (copy == "remote") {
      out.copy = CopyKind::remote;
    } else if (copy == "local") {
      out.copy = CopyKind::local;
    } else {
      return fail(where + ".copy", "\"remote\" or \"local\" expected");
    }
    if (!g.contains("volumes") || g["volumes"].is_null()) return true;
    if (!g["volumes"].is_array()) return fail(where + ".volumes", "an array expected");
    const json& volumes = g["volumes"];
    out.volumes.resize(volumes.size());
    for (std::size_t i = 0; i < volumes.size(); ++i) {
      const std::string at = where + ".volumes[" + std::to_string(i) + "]";
      if (!volume(volumes[i], at, out.volumes[i])) return false;
      if (out.copy == CopyKind::remote && out.volumes[i].mu > 3) {
        return fail(at + ".mu", "0 to 3 expected for a remote copy");
      }
    }
    return true;
  }
};

}  // namespace

bool load_pairs(const json& image, std::vector<PairGroup>& groups, std::string& error) {
  groups.clear();
  Reader reader{error};
  if (!image.is_object()) return reader.fail("host image", "an object expected");
  if (!image.contains("pairs") || image["pairs"].is_null()) return true;
  const json& pairs = image["pairs"];
  if (!pairs.is_array()) return reader.fail("pairs", "an array of groups expected");
  groups.resize(pairs.size());
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (!reader.group(pairs[i], "pairs[" + std::to_string(i) + "]", groups[i])) {
      groups.clear();
      return false;
    }
  }
  return true;
}

}  // namespace vox::twinlist
