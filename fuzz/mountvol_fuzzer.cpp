// The mount-point table from whatever "mountvol.exe" prints: the input is the output of
// the child. Then the table is used as the expansion uses it: every entry walked, every
// path looked up again, and CreateFileA through the mount-point translation.
//
// Checked: the child is started once, whatever the number of look-ups; every entry is in
// the list of its path's drive letter, its path at most 255 and its volume at most 127
// characters; a path looks up to a volume; a translated open names "\\.\" + a volume.
#include <memory>
#include <string>
#include <vector>

#include "devices/device_space.h"
#include "devices/mount_table.h"
#include "fuzz_input.h"
#include "support/fake_backend.h"

namespace {

class MountvolHost : public vox::test::FakeBackend {
 public:
  explicit MountvolHost(std::string output) : output_(std::move(output)) {}
  std::FILE* popen(const char* command, const char*) override {
    ++started;
    VOX_FUZZ_CHECK(std::string(command) == "mountvol.exe 2>NUL");
    return vox::fuzz::stream_over(output_);
  }
  vox::plat::Handle create_file(const char* path, std::uint32_t, std::uint32_t, std::uint32_t,
                                std::uint32_t) override {
    opened.emplace_back(path);
    return fail_handle();
  }
  int started = 0;
  std::vector<std::string> opened;

 private:
  std::string output_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto owned =
      std::make_unique<MountvolHost>(std::string(reinterpret_cast<const char*>(data), size));
  MountvolHost& host = *owned;
  vox::plat::set_backend(std::move(owned));

  vox::MountTable table;
  std::vector<std::string> paths;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    for (std::size_t slot = vox::next_mount_point(table, letter, vox::kNoMountPoint);
         slot != vox::kNoMountPoint; slot = vox::next_mount_point(table, letter, slot)) {
      const vox::MountPoint& entry = table.list(letter).at(slot);
      VOX_FUZZ_CHECK(!entry.path.empty() && entry.path[0] == letter);
      VOX_FUZZ_CHECK(entry.path.size() <= vox::kMountPathMax);
      VOX_FUZZ_CHECK(entry.volume.size() <= vox::kMountVolumeMax);
      paths.push_back(entry.path);
    }
  }
  VOX_FUZZ_CHECK(table.list('a').empty() && table.list('\0').empty());
  for (const std::string& path : paths) {
    VOX_FUZZ_CHECK(vox::mount_point_volume(table, path) != nullptr);
  }
  VOX_FUZZ_CHECK(vox::mount_point_volume(table, "") == nullptr);
  VOX_FUZZ_CHECK(host.started == 1);

  // The same output through the device space: an open of each mount point (and of the
  // longest path the space takes) goes to its volume or to the path itself.
  vox::DeviceSpace space;
  paths.push_back("C:\\" + std::string(500, 'x'));
  for (const std::string& path : paths) {
    const std::string device = "\\\\.\\" + path;
    host.opened.clear();
    const vox::plat::Handle h = vox::open_device(space, device.c_str(), 0, 0, 0, 0);
    VOX_FUZZ_CHECK(h == vox::plat::kInvalidHandle);
    VOX_FUZZ_CHECK(host.opened.size() == 1 && host.opened[0].starts_with("\\\\.\\"));
  }
  VOX_FUZZ_CHECK(host.started == 2);

  vox::plat::set_backend(nullptr);
  return 0;
}
