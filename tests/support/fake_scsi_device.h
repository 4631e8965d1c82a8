// A disk behind the SCSI pass-through for unit tests: answers the standard INQUIRY, VPD
// pages and the storage property queries as a Windows host does, and records the calls.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_backend.h"

namespace vox::test {

using Bytes = std::vector<std::uint8_t>;

class FakeScsiDevice : public FakeBackend {
 public:
  struct Answer {
    Bytes data, sense;
    std::uint8_t status = 0;
    std::uint32_t error = 0;  // the pass-through call itself fails with this code
  };
  std::uint32_t open_error = 0;
  Answer standard;
  std::map<std::uint8_t, Answer> pages;  // unlisted: CHECK CONDITION, key 5, ASC 0x24
  std::optional<Bytes> device_descriptor, id_descriptor;  // absent: the query fails (50)

  std::vector<std::string> opened;  // "path access share disposition flags"
  int open_handles = 0, closes = 0;
  std::vector<win::ScsiPassThroughDirect> sptds;
  std::vector<std::uint32_t> sizes;           // input and output size of each pass-through
  std::vector<std::uint32_t> property_calls;  // PropertyId of each query

  plat::Handle create_file(const char* path, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition, std::uint32_t flags) override {
    char line[300];
    std::snprintf(line, sizeof line, "%s %x %x %x %x", path, access, share, disposition, flags);
    opened.emplace_back(line);
    if (open_error != 0) return fail_handle(open_error);
    return ++open_handles, 7;
  }
  bool close_handle(plat::Handle) override { return ++closes, --open_handles, true; }

  bool device_io_control(plat::Handle, std::uint32_t code, const void* in, std::uint32_t in_size,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override {
    if (code == win::IOCTL_STORAGE_QUERY_PROPERTY) {
      win::StoragePropertyQuery q;
      std::memcpy(&q, in, sizeof q);
      property_calls.push_back(q.PropertyId);
      const auto& d =
          q.PropertyId == win::StorageDeviceProperty ? device_descriptor : id_descriptor;
      if (!d) return fail(win::ERROR_NOT_SUPPORTED);
      *returned = static_cast<std::uint32_t>(std::min<std::size_t>(d->size(), out_size));
      std::copy_n(d->begin(), *returned, static_cast<std::uint8_t*>(out));
      return true;
    }
    win::ScsiPassThroughDirect s;
    std::memcpy(&s, in, sizeof s);
    sptds.push_back(s);
    sizes.insert(sizes.end(), {in_size, out_size, in == out});
    const Answer unlisted{{}, {0x70, 0, 5, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24}, 2, 0};
    const auto page = pages.find(s.Cdb[2]);
    const Answer& a = !(s.Cdb[1] & 1) ? standard : page != pages.end() ? page->second : unlisted;
    if (a.error != 0) return fail(a.error);
    const std::size_t n = std::min<std::size_t>(
        {a.data.size(), s.DataTransferLength, std::size_t(s.Cdb[3] << 8 | s.Cdb[4])});
    std::copy_n(a.data.begin(), n, static_cast<std::uint8_t*>(s.DataBuffer));
    auto* block = static_cast<win::ScsiPassThroughBlock*>(out);
    block->sptd.ScsiStatus = a.status;
    std::copy_n(a.sense.begin(), std::min<std::size_t>(a.sense.size(), 255), block->sense);
    *returned = out_size;
    return true;
  }
};

// STORAGE_DEVICE_DESCRIPTOR: RawPropertiesLength at 32, then `raw` from 36.
inline Bytes device_descriptor(const Bytes& raw, std::uint32_t raw_length) {
  Bytes d(36 + raw.size());
  for (int k = 0; k < 4; ++k) d[32 + k] = static_cast<std::uint8_t>(raw_length >> (8 * k));
  std::copy(raw.begin(), raw.end(), d.begin() + 36);
  return d;
}

// STORAGE_DEVICE_ID_DESCRIPTOR with identifiers {code set, type, bytes} back to back.
inline Bytes id_descriptor(const std::vector<std::pair<std::uint16_t, Bytes>>& ids) {
  Bytes d(12);
  d[8] = static_cast<std::uint8_t>(ids.size());
  for (const auto& [set_type, id] : ids) {
    const std::size_t size = id.size(), next = 16 + size;
    // STORAGE_IDENTIFIER header: CodeSet u32, Type u32, IdentifierSize u16, NextOffset
    // u16, Association u32, then the bytes. Appended through resize: vector::insert of a
    // range trips a false -Warray-bounds of g++ 12 at -O2.
    const std::size_t at = d.size();
    d.resize(at + 16 + size);
    d[at + 0] = std::uint8_t(set_type >> 8);
    d[at + 4] = std::uint8_t(set_type);
    d[at + 8] = std::uint8_t(size);
    d[at + 9] = std::uint8_t(size >> 8);
    d[at + 10] = std::uint8_t(next);
    d[at + 11] = std::uint8_t(next >> 8);
    std::copy(id.begin(), id.end(), d.begin() + static_cast<std::ptrdiff_t>(at + 16));
  }
  return d;
}

}  // namespace vox::test
