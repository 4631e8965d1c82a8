// In-memory disks and files for the layout tests. Disks answer the two GET layout codes
// with canned records and keep every SET; every call is logged in order ("open|create
// <path>", "ioctl <path> 0x<code> <in size>", "read|write <path> <size>", "close <path>").
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
  std::vector<Bytes> sets;
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
    const bool disk = disks.count(p), create = how == win::CREATE_ALWAYS && !disk;
    log.push_back((create ? "create " : "open ") + p);
    if (disk && disks[p].open_error) return fail_handle(disks[p].open_error);
    if (p.empty()) return fail_handle(win::ERROR_PATH_NOT_FOUND);
    if (create && create_error) return fail_handle(create_error);
    if (create) files[p].clear();
    if (!disk && !files.count(p)) return fail_handle(win::ERROR_FILE_NOT_FOUND);
    open[++last_] = p;
    return last_;
  }
  bool close_handle(plat::Handle h) override {
    log.push_back("close " + open.at(h));
    return open.erase(h);
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
                  std::uint32_t* done) override {
    log.push_back("write " + open.at(h) + " " + std::to_string(size));
    if (write_error) return fail(write_error);
    *done = short_write ? short_write : size;
    const auto* b = static_cast<const std::uint8_t*>(in);
    files[open.at(h)].assign(b, b + *done);
    return true;
  }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void* in, std::uint32_t in_size,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, " 0x%08x ", static_cast<unsigned>(code));
    log.push_back("ioctl " + open.at(h) + hex + std::to_string(in_size));
    FakeDisk& disk = disks.at(open.at(h));
    const bool basic = code == win::IOCTL_DISK_GET_DRIVE_LAYOUT;
    if (basic || code == win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX) {
      if (disk.get_error) return fail(disk.get_error);
      const Bytes& src = basic ? disk.layout : disk.layout_ex;
      *returned = static_cast<std::uint32_t>(std::min<std::size_t>(src.size(), out_size));
      if (*returned) std::memcpy(out, src.data(), *returned);
      return true;
    }
    if (disk.set_error) return fail(disk.set_error);
    disk.sets.emplace_back(static_cast<const std::uint8_t*>(in),
                           static_cast<const std::uint8_t*>(in) + in_size);
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

// Text "00112233-4455-6677-8899-AABBCCDDEEFF": Data1..Data3 are stored little-endian.
inline const Guid kGuid{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                        0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

// DRIVE_LAYOUT_INFORMATION (basic) or DRIVE_LAYOUT_INFORMATION_EX, whose union holds the
// GPT disk id or the MBR signature.
inline Bytes canned_layout(LayoutForm form, std::uint32_t signature,
                           const std::vector<CannedEntry>& entries, std::uint32_t style = kStyleMbr,
                           const Guid& disk_id = {}) {
  const bool ex = form == LayoutForm::Ex;
  const std::size_t head = ex ? 48 : 8, size = ex ? 144 : 32;
  Bytes b(head + size * entries.size());
  put_le(b, 0, ex ? style : entries.size(), 4);
  put_le(b, 4, ex ? entries.size() : signature, 4);
  if (ex) put_le(b, 8, signature, 4);
  if (ex && style == kStyleGpt) std::copy(disk_id.begin(), disk_id.end(), b.begin() + 8);
  for (std::size_t i = 0, at = head; i < entries.size(); ++i, at += size) {
    const CannedEntry& e = entries[i];
    if (ex) put_le(b, at, e.style, 4);
    put_le(b, at + (ex ? 8 : 0), static_cast<std::uint64_t>(e.offset), 8);
    put_le(b, at + (ex ? 16 : 8), static_cast<std::uint64_t>(e.length), 8);
    put_le(b, at + (ex ? 24 : 20), e.number, 4);
    b[at + (ex ? 32 : 24)] = e.mbr_type;
    if (ex && e.style == kStyleGpt) std::copy(e.id.begin(), e.id.end(), b.begin() + at + 48);
    if (ex && e.style == kStyleGpt) put_le(b, at + 64, e.attributes, 8);
  }
  return b;
}

// Sets (or, for null, removes) an environment variable.
inline void set_env(const char* name, const char* value) {
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

}  // namespace vox::test
