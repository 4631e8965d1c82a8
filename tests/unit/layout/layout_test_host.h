// In-memory disks and files for the layout tests. Disks answer the GET layout codes with
// canned records and keep every SET; every call is logged in order ("open <path>",
// "create <path>", "ioctl <path> 0x<code> <in size>", "read|write <path> <size>",
// "close <path>").
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "driver/flags.h"
#include "layout/layout_records.h"
#include "support/fake_backend.h"

namespace vox::test {

using Bytes = std::vector<std::uint8_t>;

struct FakeDisk {
  Bytes layout, layout_ex;  // answers of the two GET codes
  std::uint32_t open_error = 0, get_error = 0, set_error = 0;
  std::vector<std::pair<std::uint32_t, Bytes>> sets;
};

class LayoutTestHost : public FakeBackend {
 public:
  std::map<std::string, FakeDisk> disks;
  std::map<std::string, Bytes> files;
  std::uint32_t create_error = 0, read_error = 0, write_error = 0, short_write = 0;
  std::vector<std::string> log;
  std::map<plat::Handle, std::string> open;

  plat::Handle create_file(const char* path, std::uint32_t, std::uint32_t, std::uint32_t how,
                           std::uint32_t) override {
    const std::string p = path;
    const bool create = how == win::CREATE_ALWAYS && !disks.count(p);
    log.push_back((create ? "create " : "open ") + p);
    if (disks.count(p) && disks[p].open_error) return fail_handle(disks[p].open_error);
    if (p.empty()) return fail_handle(win::ERROR_PATH_NOT_FOUND);
    if (create && create_error) return fail_handle(create_error);
    if (create) files[p].clear();
    if (!disks.count(p) && !files.count(p)) return fail_handle(win::ERROR_FILE_NOT_FOUND);
    open[++last_] = p;
    return last_;
  }
  bool close_handle(plat::Handle h) override {
    log.push_back("close " + open.at(h));
    open.erase(h);
    return true;
  }
  bool read_file(plat::Handle h, void* out, std::uint32_t size, std::uint32_t* got) override {
    log.push_back("read " + open.at(h) + " " + std::to_string(size));
    if (read_error) return fail(read_error);
    const Bytes& data = files.at(open.at(h));
    *got = static_cast<std::uint32_t>(std::min<std::size_t>(size, data.size()));
    if (*got) std::memcpy(out, data.data(), *got);
    return true;
  }
  bool write_file(plat::Handle h, const void* in, std::uint32_t size,
                  std::uint32_t* written) override {
    log.push_back("write " + open.at(h) + " " + std::to_string(size));
    if (write_error) return fail(write_error);
    *written = short_write ? short_write : size;
    files[open.at(h)].assign(static_cast<const std::uint8_t*>(in),
                             static_cast<const std::uint8_t*>(in) + *written);
    return true;
  }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void* in, std::uint32_t in_size,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, " 0x%08x ", static_cast<unsigned>(code));
    log.push_back("ioctl " + open.at(h) + hex + std::to_string(in_size));
    FakeDisk& disk = disks.at(open.at(h));
    if (code == win::IOCTL_DISK_GET_DRIVE_LAYOUT || code == win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX) {
      if (disk.get_error) return fail(disk.get_error);
      const Bytes& src = code == win::IOCTL_DISK_GET_DRIVE_LAYOUT ? disk.layout : disk.layout_ex;
      *returned = static_cast<std::uint32_t>(std::min<std::size_t>(src.size(), out_size));
      if (*returned) std::memcpy(out, src.data(), *returned);
      return true;
    }
    if (disk.set_error) return fail(disk.set_error);
    const auto* b = static_cast<const std::uint8_t*>(in);
    disk.sets.emplace_back(code, Bytes(b, b + in_size));
    return true;
  }

 private:
  plat::Handle last_ = 100;
};

inline void put_le(Bytes& b, std::size_t at, std::uint64_t value, std::size_t size) {
  if (b.size() < at + size) b.resize(at + size);
  for (std::size_t i = 0; i < size; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct CannedEntry {
  std::int64_t offset, length;
  std::uint32_t number;
  std::uint8_t mbr_type = 0x07;
  std::uint32_t style = kStyleMbr;  // ex form only
  Guid id{};                        // ex form, GPT
  std::uint64_t attributes = 0;     // ex form, GPT
};

// DRIVE_LAYOUT_INFORMATION with PartitionCount `count` (default: the entries given).
inline Bytes basic_layout(std::uint32_t signature, const std::vector<CannedEntry>& entries,
                          std::int64_t count = -1) {
  Bytes b(8 + 32 * entries.size());
  put_le(b, 0, count < 0 ? entries.size() : static_cast<std::uint64_t>(count), 4);
  put_le(b, 4, signature, 4);
  for (std::size_t i = 0, at = 8; i < entries.size(); ++i, at += 32) {
    put_le(b, at, static_cast<std::uint64_t>(entries[i].offset), 8);
    put_le(b, at + 8, static_cast<std::uint64_t>(entries[i].length), 8);
    put_le(b, at + 20, entries[i].number, 4);
    b[at + 24] = entries[i].mbr_type;
  }
  return b;
}

// DRIVE_LAYOUT_INFORMATION_EX; the union holds the GPT disk id or the MBR signature.
inline Bytes ex_layout(std::uint32_t style, std::uint32_t signature, const Guid& disk_id,
                       const std::vector<CannedEntry>& entries) {
  Bytes b(48 + 144 * entries.size());
  put_le(b, 0, style, 4);
  put_le(b, 4, entries.size(), 4);
  put_le(b, 8, signature, 4);
  if (style == kStyleGpt) std::copy(disk_id.begin(), disk_id.end(), b.begin() + 8);
  for (std::size_t i = 0, at = 48; i < entries.size(); ++i, at += 144) {
    const CannedEntry& e = entries[i];
    put_le(b, at, e.style, 4);
    put_le(b, at + 8, static_cast<std::uint64_t>(e.offset), 8);
    put_le(b, at + 16, static_cast<std::uint64_t>(e.length), 8);
    put_le(b, at + 24, e.number, 4);
    b[at + 32] = e.mbr_type;
    if (e.style == kStyleGpt) std::copy(e.id.begin(), e.id.end(), b.begin() + at + 48);
    if (e.style == kStyleGpt) put_le(b, at + 64, e.attributes, 8);
  }
  return b;
}

// Text "00112233-4455-6677-8899-AABBCCDDEEFF": Data1..Data3 are stored little-endian.
inline const Guid kGuid{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                        0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

// Sets (or, for null, removes) an environment variable.
inline void set_env(const char* name, const char* value) {
  if (value) {
    ::setenv(name, value, 1);
  } else {
    ::unsetenv(name);
  }
}

}  // namespace vox::test
