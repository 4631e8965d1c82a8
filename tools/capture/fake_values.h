// Made-up stand-ins for the values that identify a site: the same real value always
// gets the same stand-in within one run, two real values never share one, and a
// stand-in is drawn at random, so that nothing leads back from it to the real value.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <string_view>

#include "platform/hostimage/guid_text.h"

namespace vox::capture {

using Wwn = std::array<std::uint8_t, 8>;

class FakeValues {
 public:
  explicit FakeValues(std::uint64_t seed) : rng_(seed) {}

  // A number from `low` to `high`, both included (low <= high).
  std::int64_t draw(std::int64_t low, std::int64_t high);

  // A WWN (or EUI-64) keeping its first `kept_bits` bits, the part that names the maker
  // and the address format. All zero stays all zero.
  Wwn wwn(const Wwn& real, unsigned kept_bits);
  // A GUID of version 4; the zero GUID stays zero.
  plat::hostimage::Guid guid(const plat::hostimage::Guid& real);
  // An MBR disk signature; 0 (no signature) stays 0.
  std::uint32_t signature(std::uint32_t real);
  // `text` with every GUID written in it ("xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", not
  // part of a longer run of hex digits) replaced, in the case it was written in.
  std::string guids_in_text(std::string_view text);

  std::size_t wwn_count() const { return wwns_.size(); }
  std::size_t guid_count() const { return guids_.size(); }
  std::size_t signature_count() const { return signatures_.size(); }

 private:
  std::mt19937_64 rng_;
  std::map<Wwn, Wwn> wwns_;
  std::set<Wwn> wwn_fakes_;
  std::map<plat::hostimage::Guid, plat::hostimage::Guid> guids_;
  std::set<plat::hostimage::Guid> guid_fakes_;
  std::map<std::uint32_t, std::uint32_t> signatures_;
  std::set<std::uint32_t> signature_fakes_;
};

}  // namespace vox::capture
