// Writing a layout file back to a disk (-svinf, -svinfex) when the file holds anything.
// The input is the file; a fake disk records every SET it is handed.
//
// Input: byte 0 options, bytes 1..4 the device's serial, bytes 5..8 its LDEV, then the
// file's bytes.
//   options bit 0  the ex form
//           bit 1  cli_mode
//           bit 2  through run_layout_cmd (result lines, exit status) rather than the
//                  restore call alone
//           bit 3  reading the file fails
//           bit 4  opening the disk fails
//           bit 5  the SET fails
//           bit 6  the serial and LDEV are taken from the file (so that they match)
//
// Checked: a SET is issued only when the file holds its whole 200-byte header and the
// serial and LDEV at offsets 192 and 196 are the device's, and then it is issued, with
// the form's control code and exactly the file's bytes after the header (at most the
// image size); the result says whether the SET was made; the disk tag is a string of at
// most 36 characters; every handle is closed. The bytes handed over are then read back
// as the host-image backend reads them.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "devices/device_space.h"
#include "driver/flags.h"
#include "fuzz_input.h"
#include "layout/layout_cmd.h"
#include "layout/layout_file_format.h"
#include "layout/layout_files.h"
#include "platform/hostimage/drive_layout.h"
#include "support/fake_backend.h"

namespace {

using vox::fuzz::Bytes;

constexpr const char* kDevPath = "\\\\.\\PhysicalDrive1";
constexpr vox::plat::Handle kFileHandle = 11, kDiskHandle = 12;

class RestoreHost : public vox::test::FakeBackend {
 public:
  std::string file_name;
  Bytes file;
  bool read_fails = false, open_disk_fails = false, set_fails = false;
  int open_handles = 0;
  struct Set {
    std::uint32_t code;
    Bytes bytes;
  };
  std::vector<Set> sets;

  vox::plat::Handle create_file(const char* path, std::uint32_t, std::uint32_t, std::uint32_t,
                                std::uint32_t) override {
    if (path == file_name) return ++open_handles, kFileHandle;
    if (std::strcmp(path, kDevPath) == 0 && !open_disk_fails) return ++open_handles, kDiskHandle;
    return fail_handle(vox::win::ERROR_FILE_NOT_FOUND);
  }
  bool close_handle(vox::plat::Handle h) override {
    VOX_FUZZ_CHECK(h == kFileHandle || h == kDiskHandle);
    return --open_handles, true;
  }
  bool read_file(vox::plat::Handle h, void* out, std::uint32_t size, std::uint32_t* got) override {
    VOX_FUZZ_CHECK(h == kFileHandle);
    if (read_fails) return fail(23);
    *got = static_cast<std::uint32_t>(std::min<std::size_t>(size, file.size()));
    if (*got != 0) std::memcpy(out, file.data(), *got);
    return true;
  }
  bool device_io_control(vox::plat::Handle h, std::uint32_t code, const void* in,
                         std::uint32_t in_size, void*, std::uint32_t, std::uint32_t*) override {
    VOX_FUZZ_CHECK(h == kDiskHandle);
    const auto* b = static_cast<const std::uint8_t*>(in);
    sets.push_back(Set{code, Bytes(b, b + in_size)});
    return set_fails ? fail(vox::win::ERROR_INVALID_PARAMETER) : true;
  }
};

std::uint32_t le32(const Bytes& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(b[at + k]) << (8 * k);
  return v;
}

// The host-image backend reads a SET's bytes back into a partition table.
void read_back(const RestoreHost::Set& set, bool ex) {
  vox::plat::hostimage::DiskLayout current, result;
  const std::span<const std::uint8_t> bytes(set.bytes);
  const std::uint32_t error =
      ex ? vox::plat::hostimage::parse_drive_layout_ex(bytes, current, result)
         : vox::plat::hostimage::parse_drive_layout(bytes, current, result);
  VOX_FUZZ_CHECK(error == 0 || error == vox::win::ERROR_INVALID_PARAMETER);
  if (error == 0) {
    const Bytes again = ex ? vox::plat::hostimage::build_drive_layout_ex(result)
                           : vox::plat::hostimage::build_drive_layout(result);
    VOX_FUZZ_CHECK(again.size() >= 8);
    (void)vox::plat::hostimage::layout_to_json(result).dump();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return vox::fuzz::use_layout_folder_t();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vox::fuzz::FuzzInput in(data, size);
  const std::uint8_t options = in.u8();
  const bool ex = (options & 1) != 0;
  std::int32_t serial = static_cast<std::int32_t>(in.u32());
  std::int32_t ldev = static_cast<std::int32_t>(in.u32());
  Bytes file = in.rest();
  if ((options & 0x40) && file.size() >= 200) {
    serial = static_cast<std::int32_t>(le32(file, 192));
    ldev = static_cast<std::int32_t>(le32(file, 196));
  }

  auto owned = std::make_unique<RestoreHost>();
  RestoreHost& host = *owned;
  host.file_name = "T:\\VOL" + std::to_string(serial) + "_" + std::to_string(ldev) + ".ini";
  host.file = file;
  host.read_fails = (options & 0x08) != 0;
  host.open_disk_fails = (options & 0x10) != 0;
  host.set_fails = (options & 0x20) != 0;
  vox::plat::set_backend(std::move(owned));
  vox::cli_mode = (options & 0x02) ? 1 : 0;

  vox::DeviceSpace space;
  int failed = 0;
  vox::DiskTag tag{};
  tag.fill('x');
  if (options & 0x04) {
    vox::run_layout_cmd(space, ex ? 6 : 5, "Harddisk1",
                        vox::fuzz::layout_identity(kDevPath, serial, ldev), failed);
  } else {
    failed = ex ? vox::restore_layout_ex(space, kDevPath, serial, ldev, tag)
                : vox::restore_layout(space, kDevPath, serial, ldev, tag);
    VOX_FUZZ_CHECK(std::memchr(tag.data(), '\0', tag.size()) != nullptr);
  }

  const std::size_t image =
      vox::layout_file_image_size(ex ? vox::LayoutForm::Ex : vox::LayoutForm::Basic);
  const bool volume_matches = !host.read_fails && file.size() >= 200 &&
                              le32(file, 192) == static_cast<std::uint32_t>(serial) &&
                              le32(file, 196) == static_cast<std::uint32_t>(ldev);
  const bool set_expected = volume_matches && !host.open_disk_fails;
  VOX_FUZZ_CHECK(host.sets.size() == (set_expected ? 1u : 0u));
  VOX_FUZZ_CHECK(failed == (set_expected && !host.set_fails ? 0 : 1));
  if (set_expected) {
    const auto& set = host.sets[0];
    VOX_FUZZ_CHECK(set.code == (ex ? vox::win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX
                                   : vox::win::IOCTL_DISK_SET_DRIVE_LAYOUT));
    const std::size_t n = std::min(file.size(), image) - 200;
    VOX_FUZZ_CHECK(set.bytes.size() == n);
    VOX_FUZZ_CHECK(std::equal(set.bytes.begin(), set.bytes.end(), file.begin() + 200));
    read_back(set, ex);
  }
  VOX_FUZZ_CHECK(host.open_handles == 0);

  vox::plat::set_backend(nullptr);
  vox::cli_mode = 0;
  return 0;
}
