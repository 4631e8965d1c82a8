// Host images: the input is the JSON file. It is loaded as VOXMIRA_HOST would load it,
// and an image that loads is then asked what a run asks: its DOS names, volumes and
// mount points through the word expansion, every disk probed in each route, the drive
// layouts read in both forms.
//
// Only calls that stay inside the image are made: no layout is written back (that
// rewrites the file) and no program other than mountvol is started.
//
// Checked: a refused image says why in one line naming the file; the expansion yields
// terminated display names.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "devices/device_space.h"
#include "driver/flags.h"
#include "fuzz_input.h"
#include "inquiry/probe.h"
#include "layout/usable_range.h"
#include "platform/backends.h"
#include "platform/platform.h"

namespace {

std::string& image_path() {
  static std::string path;
  return path;
}

// A word is followed for this many devices at most: ranges and DOS-name patterns may
// stand for far more devices than any check needs.
constexpr int kDevicesPerWord = 16;

void expand_and_probe(vox::DeviceSpace& space, const char* text, bool dos_word) {
  vox::WordCursor cursor;
  cursor.state = dos_word ? vox::WordCursor::DosStart : vox::WordCursor::NumberStart;
  char device_path[vox::kDevicePathSize];
  char display_name[vox::kDisplayNameSize];
  for (int n = 0; n < kDevicesPerWord; ++n) {
    std::memset(display_name, 'x', sizeof display_name);
    if (vox::expand_device_word(space, cursor, text, device_path, display_name, sizeof display_name,
                                0) == -1) {
      break;
    }
    VOX_FUZZ_CHECK(std::memchr(display_name, '\0', sizeof display_name) != nullptr);
    vox::DevIdentity record;
    vox::probe_device(display_name, record, static_cast<std::uint8_t>(n % 3 == 1 ? 0xE2 : 0),
                      n & 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  unsetenv("VOXMIRA_TRACE");
  const char* dir = std::getenv("TMPDIR");
  image_path() = std::string(dir && *dir ? dir : "/tmp") + "/voxmira-fuzz-host-" +
                 std::to_string(getpid()) + ".json";
  std::atexit([] { std::remove(image_path().c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = image_path();
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    std::fclose(f);
    if (!written) return 0;
  }
  std::string error;
  std::unique_ptr<vox::plat::Backend> backend = vox::plat::make_host_image_backend(path, error);
  if (!backend) {
    VOX_FUZZ_CHECK(error.starts_with("voxmira: host image '" + path + "': "));
    // One line, whatever the image spells inside its keys and names.
    VOX_FUZZ_CHECK(error.find_first_of("\r\n") == std::string::npos);
    return 0;
  }
  vox::plat::set_backend(std::move(backend));
  vox::cli_mode = 0;

  {
    vox::DeviceSpace space;
    for (const char* word : {"LETALL", "Phys", "Volume", "C:", "D:\\mnt", "PhysicalDrive1"}) {
      expand_and_probe(space, word, true);
    }
    expand_and_probe(space, "hd0-7", false);
    vox::inqdump_mode = 1;
    expand_and_probe(space, "hd1", false);
    vox::inqdump_mode = 0;
    for (int disk = 0; disk < 4; ++disk) {
      const std::string dev = "\\\\.\\PhysicalDrive" + std::to_string(disk);
      vox::UsableRange range;
      vox::get_usable_range(space, dev.c_str(), range);
      vox::get_usable_range_ex(space, dev.c_str(), range);
    }
  }
  vox::plat::set_backend(nullptr);
  return 0;
}
