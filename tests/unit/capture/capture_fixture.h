// Helpers of the capture tests: hosts from JSON text, a capture run over one, and a
// dump of everything a host answers to the calls voxmira makes, to compare two hosts.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/hostimage/hex_text.h"
#include "platform/hostimage/host_image_backend.h"
#include "platform/hostimage/image_loader.h"
#include "platform/platform.h"
#include "platform/win_defs.h"
#include "tools/capture/capture_json.h"
#include "tools/capture/host_capture.h"

namespace vox::capture::test {

namespace hi = plat::hostimage;

inline hi::HostImage load(std::string_view json) {
  hi::HostImage image;
  std::string problem;
  EXPECT_TRUE(hi::load_host_image_text(json, "/img", image, problem)) << problem;
  return image;
}

inline void use_host(std::string_view json) {
  plat::set_backend(std::make_unique<hi::HostImageBackend>(load(json)));
}

// The file a capture of `json` writes.
inline std::string recaptured(std::string_view json) {
  use_host(json);
  return capture_json_text(capture_host(nullptr), "test");
}

// What a stream received.
inline std::string contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  char chunk[4096];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
  return text;
}

// One line per call and answer, for drives 0..`last_drive`, every name of `names`,
// the name list and mountvol, made through the current backend with voxmira's sizes.
inline std::string answers(std::uint32_t last_drive, const hi::HostImage& names) {
  using namespace win;
  std::string out;
  auto put = [&](const std::string& what, bool ok, const void* data, std::size_t n) {
    out += what +
           (ok ? " ok " + hi::hex_lower({static_cast<const std::uint8_t*>(data), n})
               : " error " + std::to_string(plat::GetLastError())) +
           "\n";
  };
  for (std::uint32_t d = 0; d <= last_drive; ++d) {
    const std::string path = "\\\\.\\PhysicalDrive" + std::to_string(d);
    plat::UniqueHandle h(plat::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 3,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    put(path, h.valid(), nullptr, 0);
    if (!h.valid()) continue;
    const std::uint8_t cdbs[3][6] = {
        {0x12, 0, 0, 0, 0xFF, 0}, {0x12, 1, 0x83, 0, 0xFF, 0}, {0x12, 1, 0xE2, 2, 0xFF, 0}};
    for (const auto& cdb : cdbs) {
      std::uint8_t data[256] = {};
      ScsiPassThroughBlock block;
      std::memset(&block, 0, sizeof block);
      block.sptd.Length = sizeof block.sptd;
      block.sptd.SenseInfoOffset = offsetof(ScsiPassThroughBlock, sense);
      block.sptd.SenseInfoLength = 255;
      block.sptd.CdbLength = 6;
      std::memcpy(block.sptd.Cdb, cdb, 6);
      block.sptd.DataIn = SCSI_IOCTL_DATA_IN;
      block.sptd.DataTransferLength = cdb[1] == 0 ? 256 : 255;
      block.sptd.DataBuffer = data;
      std::uint32_t n = 0;
      const bool ok = plat::DeviceIoControl(h.get(), IOCTL_SCSI_PASS_THROUGH_DIRECT, &block.sptd,
                                            sizeof block.sptd, &block, sizeof block, &n);
      put(" inquiry", ok, data, sizeof data);
      if (ok) put("  status " + std::to_string(block.sptd.ScsiStatus), true, block.sense, 255);
    }
    for (std::uint32_t property : {StorageDeviceProperty, StorageDeviceIdProperty}) {
      StoragePropertyQuery q{property, PropertyStandardQuery, {}};
      std::uint8_t d512[512] = {};
      std::uint32_t n = 0;
      const bool ok = plat::DeviceIoControl(h.get(), IOCTL_STORAGE_QUERY_PROPERTY, &q, sizeof q,
                                            d512, sizeof d512, &n);
      put(" property", ok, d512, n);
    }
    for (auto [code, size] : {std::pair{IOCTL_DISK_GET_DRIVE_LAYOUT, kLayoutBufferSize},
                              std::pair{IOCTL_DISK_GET_DRIVE_LAYOUT_EX, kLayoutExBufferSize}}) {
      std::string buffer(size, '\0');
      std::uint32_t n = 0;
      const bool ok = plat::DeviceIoControl(h.get(), code, nullptr, 0, buffer.data(),
                                            static_cast<std::uint32_t>(size), &n);
      put(" layout", ok, buffer.data(), n);
    }
  }
  for (const hi::DosDevice& d : names.dos_devices) {
    char target[1024] = {};
    const std::uint32_t n = plat::QueryDosDeviceA(d.name.c_str(), target, sizeof target);
    put(d.name, n != 0, target, n);
    const std::string path = "\\\\.\\" + d.name;
    plat::UniqueHandle h(plat::CreateFileA(path.c_str(), 0, 3, OPEN_EXISTING, 0x80));
    if (!h.valid()) {
      put(" open", false, nullptr, 0);
      continue;
    }
    std::string extents(kDiskExtentsBufferSize, '\0');
    std::uint32_t got = 0;
    const bool ok = plat::DeviceIoControl(h.get(), IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                          extents.data(), kDiskExtentsBufferSize, &got);
    put(" extents", ok, extents.data(), got);
  }
  char16_t list[65536] = {};
  const std::uint32_t units = plat::QueryDosDeviceListW(list, 65536);
  put("list", units != 0, list, units * 2);
  if (std::FILE* p = plat::popen("mountvol.exe 2>NUL", "rt")) {
    out += "mountvol " + contents(p);
    plat::pclose(p);
  }
  return out;
}

// The first line in which two answer dumps differ, cut short; empty when they agree.
inline std::string first_difference(const std::string& a, const std::string& b) {
  std::size_t start = 0;
  for (std::size_t line = 1;; ++line) {
    const std::size_t ea = a.find('\n', start);
    const std::size_t eb = b.find('\n', start);
    const std::string la = a.substr(start, ea == std::string::npos ? ea : ea - start);
    const std::string lb = b.substr(start, eb == std::string::npos ? eb : eb - start);
    if (la != lb) {
      return "line " + std::to_string(line) + ":\n  " + la.substr(0, 160) + "\n  " +
             lb.substr(0, 160);
    }
    if (ea == std::string::npos) return {};
    start = ea + 1;
  }
}

}  // namespace vox::capture::test
