// Reading a disk's partition layout when the disk answers anything: the used span
// (-gplba, -gplbaex) with the partition dump of -inqdump, and the save to a layout file
// (-gvinf, -gvinfex). The input is the record the GET control code returns, and the byte
// count the disk claims for it, which may be more than it wrote or than the buffer holds.
//
// Input: byte 0 options, bytes 1..4 the claimed byte count, then the record.
//   options bit 0  the ex form
//           bit 1  -inqdump
//           bit 2  cli_mode
//           bit 3  save (-gvinf) rather than the span (-gplba)
//           bit 4  the GET fails
//           bit 5  the disk claims the count of bytes 1..4 instead of what it wrote
//
// Checked: the span counts no more entries than the record holds whole, and its start
// and end are zero when it counts none; a save writes the 200-byte header and then
// exactly the bytes the disk returned, no more than the buffer holds; every handle is
// closed; the exit status says whether the command failed.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "devices/device_space.h"
#include "driver/flags.h"
#include "fuzz_input.h"
#include "layout/layout_cmd.h"
#include "layout/layout_records.h"
#include "layout/partition_dump.h"
#include "layout/usable_range.h"
#include "support/fake_backend.h"

namespace {

using vox::fuzz::Bytes;

constexpr const char* kDevPath = "\\\\.\\PhysicalDrive1";
constexpr vox::plat::Handle kDiskHandle = 21, kFileHandle = 22;

class LayoutDisk : public vox::test::FakeBackend {
 public:
  Bytes record;
  bool get_fails = false, claims = false;
  std::uint32_t claimed = 0;
  std::uint32_t got_room = 0;  // the buffer size the caller offered
  int open_handles = 0, gets = 0;
  std::string file_name;
  Bytes file;

  vox::plat::Handle create_file(const char* path, std::uint32_t, std::uint32_t, std::uint32_t,
                                std::uint32_t) override {
    if (std::strcmp(path, kDevPath) == 0) return ++open_handles, kDiskHandle;
    file_name = path;
    file.clear();
    return ++open_handles, kFileHandle;
  }
  bool close_handle(vox::plat::Handle h) override {
    VOX_FUZZ_CHECK(h == kDiskHandle || h == kFileHandle);
    return --open_handles, true;
  }
  bool write_file(vox::plat::Handle h, const void* in, std::uint32_t size,
                  std::uint32_t* written) override {
    VOX_FUZZ_CHECK(h == kFileHandle);
    const auto* b = static_cast<const std::uint8_t*>(in);
    file.assign(b, b + size);
    *written = size;
    return true;
  }
  bool device_io_control(vox::plat::Handle h, std::uint32_t code, const void*, std::uint32_t,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override {
    VOX_FUZZ_CHECK(h == kDiskHandle);
    VOX_FUZZ_CHECK(code == vox::win::IOCTL_DISK_GET_DRIVE_LAYOUT ||
                   code == vox::win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX);
    ++gets;
    got_room = out_size;
    if (get_fails) return fail(vox::win::ERROR_NOT_READY);
    const std::size_t n = std::min<std::size_t>(record.size(), out_size);
    if (n != 0) std::memcpy(out, record.data(), n);
    *returned = claims ? claimed : static_cast<std::uint32_t>(n);
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  return vox::fuzz::use_layout_folder_t();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vox::fuzz::FuzzInput in(data, size);
  const std::uint8_t options = in.u8();
  const bool ex = (options & 0x01) != 0;
  const bool save = (options & 0x08) != 0;
  auto owned = std::make_unique<LayoutDisk>();
  LayoutDisk& disk = *owned;
  disk.claimed = in.u32();
  disk.record = in.rest();
  disk.get_fails = (options & 0x10) != 0;
  disk.claims = (options & 0x20) != 0;
  vox::plat::set_backend(std::move(owned));
  vox::inqdump_mode = (options & 0x02) ? 1 : 0;
  vox::cli_mode = (options & 0x04) ? 1 : 0;

  vox::DeviceSpace space;
  int failed = 0;
  const int command = save ? (ex ? 2 : 1) : (ex ? 4 : 3);
  vox::run_layout_cmd(space, command, "Harddisk1",
                      vox::fuzz::layout_identity(kDevPath, 64015, 1234), failed);

  VOX_FUZZ_CHECK(disk.open_handles == 0);
  VOX_FUZZ_CHECK(disk.gets == 1);
  VOX_FUZZ_CHECK(failed == (disk.get_fails ? 1 : 0));
  const vox::LayoutForm form = ex ? vox::LayoutForm::Ex : vox::LayoutForm::Basic;
  if (disk.get_fails) {
    VOX_FUZZ_CHECK(disk.file_name.empty());
  } else if (save) {
    const std::size_t n =
        std::min<std::size_t>(disk.claims ? disk.claimed : disk.record.size(), disk.got_room);
    VOX_FUZZ_CHECK(disk.file_name == "T:\\VOL64015_1234.ini");
    VOX_FUZZ_CHECK(disk.file.size() == 200 + n);
    const std::size_t copied = std::min(n, disk.record.size());
    VOX_FUZZ_CHECK(
        std::equal(disk.record.begin(), disk.record.begin() + copied, disk.file.begin() + 200));
    VOX_FUZZ_CHECK(std::all_of(disk.file.begin() + 200 + copied, disk.file.end(),
                               [](std::uint8_t b) { return b == 0; }));
  } else {
    // The same reading of the record by itself.
    const std::size_t n = std::min<std::size_t>(disk.claims ? disk.claimed : disk.record.size(),
                                                vox::layout_buffer_size(form));
    Bytes returned(n, 0);
    std::copy_n(disk.record.begin(), std::min(n, disk.record.size()), returned.begin());
    const vox::UsableRange range = vox::compute_usable_range(returned, form);
    VOX_FUZZ_CHECK(range.count <= vox::layout_entry_count(returned, form));
    if (range.count == 0) VOX_FUZZ_CHECK(range.start == 0 && range.end == 0);
    (void)vox::format_partition_dump(returned, form);
  }

  vox::plat::set_backend(nullptr);
  vox::inqdump_mode = 0;
  vox::cli_mode = 0;
  return 0;
}
