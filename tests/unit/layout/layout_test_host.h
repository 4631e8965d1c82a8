// Canned layout records and the environment for the layout tests.
#pragma once

#include <cstdlib>
#include <vector>

#include "layout/layout_records.h"

namespace vox::test {

using Bytes = std::vector<std::uint8_t>;

inline void put_le(Bytes& b, std::size_t at, std::uint64_t value, std::size_t size) {
  if (b.size() < at + size) b.resize(at + size);
  for (std::size_t i = 0; i < size; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct CannedEntry {
  std::int64_t offset, length;
  std::uint32_t number;
  std::uint8_t mbr_type = 0x07;
  std::uint32_t style = kStyleMbr;  // ex form only
};

// Text "00112233-4455-6677-8899-AABBCCDDEEFF": Data1..Data3 are stored little-endian.
inline const Guid kGuid{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                        0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

// DRIVE_LAYOUT_INFORMATION (basic) or DRIVE_LAYOUT_INFORMATION_EX, whose union holds the
// GPT disk id or the MBR signature; GPT entries take kGuid as their id.
inline Bytes canned_layout(LayoutForm form, std::uint32_t signature,
                           const std::vector<CannedEntry>& entries,
                           std::uint32_t style = kStyleMbr) {
  const bool ex = form == LayoutForm::Ex;
  const std::size_t head = ex ? 48 : 8, size = ex ? 144 : 32;
  Bytes b(head + size * entries.size());
  put_le(b, 0, ex ? style : entries.size(), 4);
  put_le(b, 4, ex ? entries.size() : signature, 4);
  if (ex) put_le(b, 8, signature, 4);
  if (ex && style == kStyleGpt) std::copy(kGuid.begin(), kGuid.end(), b.begin() + 8);
  for (std::size_t i = 0, at = head; i < entries.size(); ++i, at += size) {
    const CannedEntry& e = entries[i];
    if (ex) put_le(b, at, e.style, 4);
    put_le(b, at + (ex ? 8 : 0), static_cast<std::uint64_t>(e.offset), 8);
    put_le(b, at + (ex ? 16 : 8), static_cast<std::uint64_t>(e.length), 8);
    put_le(b, at + (ex ? 24 : 20), e.number, 4);
    b[at + (ex ? 32 : 24)] = e.mbr_type;
    if (ex && e.style == kStyleGpt) std::copy(kGuid.begin(), kGuid.end(), b.begin() + at + 48);
  }
  return b;
}

// Sets (or, for null, removes) an environment variable.
inline void set_env(const char* name, const char* value) {
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

}  // namespace vox::test
