// Helpers of the host-image tests: images from JSON text, temporary folders, backend
// calls that answer with the Windows error code, byte records, the pass-through block.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/backends.h"
#include "platform/hostimage/host_image_backend.h"
#include "platform/hostimage/image_loader.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage::test {

inline constexpr std::uint32_t kRW = win::GENERIC_READ | win::GENERIC_WRITE;

struct TempDir {
  std::filesystem::path path;
  std::error_code ignored;
  TempDir() {
    std::string p = (std::filesystem::temp_directory_path() / "voxplat-XXXXXX").string();
    if (::mkdtemp(p.data()) != nullptr) path = p;
  }
  ~TempDir() { std::filesystem::remove_all(path, ignored); }
  std::string file(const std::string& name) const { return (path / name).string(); }
  std::string write(const std::string& name, std::string_view text) const {
    std::ofstream(file(name), std::ios::binary) << text;
    return file(name);
  }
  std::string read(const std::string& name) const {
    std::ostringstream s;
    s << std::ifstream(file(name), std::ios::binary).rdbuf();
    return s.str();
  }
};

// The image of `json`; with ok false, the loader's one-line problem in `problem`.
inline HostImage load_image(std::string_view json, bool ok = true, std::string* problem = nullptr) {
  HostImage image;
  std::string text;
  EXPECT_EQ(load_host_image_text(json, "/img", image, text), ok) << json << text;
  if (problem != nullptr) *problem = text;
  return image;
}

inline Handle open(Backend& b, const std::string& path, std::uint32_t access = kRW,
                   std::uint32_t disposition = win::OPEN_EXISTING) {
  return b.create_file(path.c_str(), access, 3, disposition, 0x80);
}

// DeviceIoControl: 0 on success, else the error code.
inline std::uint32_t ioctl(Backend& b, Handle h, std::uint32_t code, const void* in,
                           std::uint32_t in_size, void* out, std::uint32_t out_size,
                           std::uint32_t* returned = nullptr) {
  const bool ok = b.device_io_control(h, code, in, in_size, out, out_size, returned);
  return ok ? 0 : b.get_last_error();
}

// Expected records written independently of the code under test: "offset:size=value"
// little-endian fields and "offset:count*byte" runs (decimal or 0x hex) over n zero bytes.
inline std::vector<std::uint8_t> record(std::size_t n, const std::string& fields) {
  std::vector<std::uint8_t> b(n, 0);
  std::istringstream in(fields);
  in.unsetf(std::ios::basefield);
  std::size_t at = 0, size = 0;
  std::uint64_t v = 0;
  char colon = 0, op = 0;
  while (in >> at >> colon >> size >> op >> v)
    for (std::size_t i = 0; i < size && at + i < n; ++i)
      b[at + i] = std::uint8_t(op == '*' ? v : v >> (8 * i));
  EXPECT_TRUE(in.eof()) << fields;
  return b;
}

// The pass-through block as the transport builds it, the sense area right after it.
inline win::ScsiPassThroughBlock inquiry_block(std::initializer_list<int> cdb, void* data,
                                               std::uint32_t length, std::uint32_t timeout = 4) {
  win::ScsiPassThroughBlock block{};
  const std::uint16_t n = sizeof block.sptd;
  const auto size = std::uint8_t(cdb.size());
  block.sptd = {n, 0, 0, 0, 0, size, 255, win::SCSI_IOCTL_DATA_IN, length, timeout, data, n, {0}};
  std::copy(cdb.begin(), cdb.end(), block.sptd.Cdb);
  return block;
}

}  // namespace vox::plat::hostimage::test
