// Helpers of the host-image tests: images from JSON text, temporary folders, a backend
// over an image, and the pass-through block as the transport fills it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostimage/host_image_backend.h"
#include "platform/hostimage/image_loader.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage::test {

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "voxplat-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  std::string write(const std::string& name, std::string_view text) const {
    std::ofstream(file(name), std::ios::binary) << text;
    return file(name);
  }
  std::string read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  std::filesystem::path path_;
};

inline HostImage load_image(std::string_view json) {
  HostImage image;
  std::string problem;
  EXPECT_TRUE(load_host_image_text(json, "/img", image, problem)) << problem;
  return image;
}

inline std::string load_problem(std::string_view json) {
  HostImage image;
  std::string problem;
  EXPECT_FALSE(load_host_image_text(json, "/img", image, problem)) << json;
  return problem;
}

inline std::unique_ptr<HostImageBackend> backend_for(std::string_view json) {
  return std::make_unique<HostImageBackend>(load_image(json));
}

inline Bytes bytes_of(std::initializer_list<int> values) {
  Bytes b;
  for (int v : values) b.push_back(static_cast<std::uint8_t>(v));
  return b;
}

// The pass-through block as the transport builds it: a 6-byte CDB, data from the
// device, the 256-byte sense area right after the record.
inline win::ScsiPassThroughBlock inquiry_block(std::initializer_list<int> cdb, void* data,
                                               std::uint32_t length, std::uint32_t timeout = 4) {
  win::ScsiPassThroughBlock block;
  std::memset(&block, 0, sizeof block);
  block.sptd.Length = sizeof(win::ScsiPassThroughDirect);
  block.sptd.CdbLength = static_cast<std::uint8_t>(cdb.size());
  block.sptd.SenseInfoLength = 255;
  block.sptd.DataIn = win::SCSI_IOCTL_DATA_IN;
  block.sptd.DataTransferLength = length;
  block.sptd.TimeOutValue = timeout;
  block.sptd.DataBuffer = data;
  block.sptd.SenseInfoOffset = sizeof(win::ScsiPassThroughDirect);
  std::size_t i = 0;
  for (int b : cdb) block.sptd.Cdb[i++] = static_cast<std::uint8_t>(b);
  return block;
}

}  // namespace vox::plat::hostimage::test
