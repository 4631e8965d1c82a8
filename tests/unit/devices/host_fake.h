// A Windows host for the device-naming tests: DOS names with their targets, volumes with
// their disks, and what mountvol prints. Records what the code asked of it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "driver/flags.h"
#include "support/fake_backend.h"

namespace vox::test {

struct FakeVolume {
  std::vector<std::uint32_t> disks{};
  std::uint32_t open_error = 0, extents_error = 0;
};

// A VOLUME_DISK_EXTENTS answer: the count (`count`, or the number of disks), 4 bytes of
// padding, then a 24-byte record per disk.
inline std::vector<std::uint8_t> extents_answer(const std::vector<std::uint32_t>& disks,
                                                long long count = -1) {
  std::vector<std::uint8_t> out(8 + 24 * disks.size(), 0xEE);
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, static_cast<std::uint32_t>(count < 0 ? static_cast<long long>(disks.size()) : count));
  put(4, 0);
  for (std::size_t i = 0; i < disks.size(); ++i) put(8 + 24 * i, disks[i]);
  return out;
}

class HostFake : public FakeBackend {
 public:
  std::u16string dos_list;  // each name followed by a 0 unit; the closing 0 is added
  std::map<std::string, std::string> targets;
  std::map<std::string, FakeVolume> volumes;  // by the path CreateFile is given
  std::uint32_t list_error = 0;
  bool mountvol_runs = true;
  std::string mountvol;
  std::vector<std::uint32_t> list_sizes;
  std::vector<std::string> commands, opened;
  int open_handles = 0;

  void add(const std::string& name, const std::string& target = "") {
    dos_list.append(name.begin(), name.end());
    dos_list.push_back(u'\0');
    if (!target.empty()) targets[name] = target;
  }
  std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) override {
    list_sizes.push_back(size);
    const auto n = static_cast<std::uint32_t>(dos_list.size() + 1);
    if (list_error != 0 || n > size) return fail(list_error ? list_error : 122), 0u;
    std::copy(dos_list.begin(), dos_list.end(), buffer);
    buffer[n - 1] = u'\0';
    return n;
  }
  std::uint32_t query_dos_device_a(const char* name, char* buffer, std::uint32_t size) override {
    const auto it = targets.find(name);
    if (it == targets.end() || it->second.size() + 2 > size) return fail(2), 0u;
    std::memcpy(buffer, it->second.c_str(), it->second.size() + 1);
    buffer[it->second.size() + 1] = '\0';
    return static_cast<std::uint32_t>(it->second.size() + 2);
  }
  plat::Handle create_file(const char* path, std::uint32_t access, std::uint32_t share,
                           std::uint32_t, std::uint32_t) override {
    opened.emplace_back(path);
    EXPECT_EQ(access, 0u);
    EXPECT_EQ(share, 3u);
    const auto it = volumes.find(path);
    if (it == volumes.end() || it->second.open_error) {
      return fail_handle(it == volumes.end() ? 2 : it->second.open_error);
    }
    ++open_handles;
    handles_.push_back(&it->second);
    return static_cast<plat::Handle>(handles_.size());
  }
  bool close_handle(plat::Handle) override { return --open_handles, true; }
  bool device_io_control(plat::Handle h, std::uint32_t code, const void*, std::uint32_t, void* out,
                         std::uint32_t out_size, std::uint32_t* returned) override {
    EXPECT_EQ(code, 0x560000u);
    const FakeVolume& v = *handles_.at(static_cast<std::size_t>(h) - 1);
    if (v.extents_error != 0) return fail(v.extents_error);
    const std::vector<std::uint8_t> answer = extents_answer(v.disks);
    *returned = static_cast<std::uint32_t>(std::min<std::size_t>(answer.size(), out_size));
    std::memcpy(out, answer.data(), *returned);
    return true;
  }
  std::FILE* popen(const char* command, const char* mode) override {
    commands.push_back(std::string(command) + "|" + mode);
    if (!mountvol_runs) return nullptr;
    std::FILE* f = std::tmpfile();
    std::fputs(mountvol.c_str(), f);
    std::rewind(f);
    return f;
  }

 private:
  std::vector<const FakeVolume*> handles_;
};

// A fresh HostFake per test (and per call of reset()), cli_mode 0.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { cli_mode = 0; }
  void reset() {
    auto fake = std::make_unique<HostFake>();
    host = fake.get();
    plat::set_backend(std::move(fake));
    cli_mode = 0;
  }
  HostFake* host = nullptr;
};

}  // namespace vox::test
