#include "tools/capture/fake_values.h"

#include <algorithm>

namespace vox::capture {
namespace {

namespace hi = plat::hostimage;

constexpr std::size_t kGuidTextLength = 36;

bool is_hex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" at the start of `s`.
bool guid_shape(std::string_view s) {
  if (s.size() < kGuidTextLength) return false;
  for (std::size_t i = 0; i < kGuidTextLength; ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? s[i] != '-' : !is_hex(s[i])) return false;
  }
  return true;
}

template <typename Value, typename Make>
Value remember(std::map<Value, Value>& map, std::set<Value>& fakes, const Value& real, Make make) {
  if (const auto it = map.find(real); it != map.end()) return it->second;
  Value fake = make();
  // Two real values never share a stand-in, and a stand-in never repeats its value.
  while (fake == real || fakes.count(fake) != 0) fake = make();
  fakes.insert(fake);
  map.emplace(real, fake);
  return fake;
}

}  // namespace

std::int64_t FakeValues::draw(std::int64_t low, std::int64_t high) {
  return std::uniform_int_distribution<std::int64_t>(low, high)(rng_);
}

Wwn FakeValues::wwn(const Wwn& real, unsigned kept_bits) {
  if (std::all_of(real.begin(), real.end(), [](std::uint8_t b) { return b == 0; })) return real;
  kept_bits = std::min(kept_bits, 60u);  // at least a few bits to vary
  const std::uint64_t keep_mask = kept_bits == 0 ? 0 : ~std::uint64_t{0} << (64 - kept_bits);
  std::uint64_t value = 0;
  for (std::uint8_t b : real) value = value << 8 | b;
  return remember(wwns_, wwn_fakes_, real, [&] {
    const std::uint64_t fake = (value & keep_mask) | (rng_() & ~keep_mask);
    Wwn out{};
    for (std::size_t i = 0; i < out.size(); ++i)
      out[i] = static_cast<std::uint8_t>(fake >> (8 * (out.size() - 1 - i)));
    return out;
  });
}

hi::Guid FakeValues::guid(const hi::Guid& real) {
  if (hi::guid_is_zero(real)) return real;
  return remember(guids_, guid_fakes_, real, [&] {
    hi::Guid g{};
    for (std::uint8_t& b : g) b = static_cast<std::uint8_t>(rng_());
    g[7] = static_cast<std::uint8_t>((g[7] & 0x0F) | 0x40);  // version 4 (Data3, little-endian)
    g[8] = static_cast<std::uint8_t>((g[8] & 0x3F) | 0x80);  // variant 10xx
    return g;
  });
}

std::uint32_t FakeValues::signature(std::uint32_t real) {
  if (real == 0) return 0;
  return remember(signatures_, signature_fakes_, real, [&] {
    std::uint32_t s = 0;
    while (s == 0) s = static_cast<std::uint32_t>(rng_());
    return s;
  });
}

std::string FakeValues::guids_in_text(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i + kGuidTextLength <= out.size(); ++i) {
    const std::string_view at = std::string_view(out).substr(i);
    if (!guid_shape(at) || (i > 0 && is_hex(out[i - 1])) ||
        (at.size() > kGuidTextLength && is_hex(at[kGuidTextLength]))) {
      continue;
    }
    hi::Guid real{};
    if (!hi::parse_guid_text(at.substr(0, kGuidTextLength), real)) continue;
    std::string fake = hi::format_guid_text(guid(real));
    const bool lower = std::any_of(at.begin(), at.begin() + kGuidTextLength,
                                   [](char c) { return c >= 'a' && c <= 'f'; });
    if (lower) {
      for (char& c : fake)
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    }
    out.replace(i, kGuidTextLength, fake);
    i += kGuidTextLength - 1;
  }
  return out;
}

}  // namespace vox::capture
