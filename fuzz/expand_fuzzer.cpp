// Device words as standard input brings them, expanded against the example host and
// every device probed: the input is the text of the lines after byte 0.
//
// Byte 0: bit 0 Volume{GUID} names (-fv), bit 1 cli_mode, bit 2 '%' as the second
// prefix character.
//
// Checked: every display name is terminated inside its buffer; a number word yields
// "Harddisk<n>" for its result n; a word is followed for 16 devices at most, since a
// range or a pattern may stand for far more devices than any check needs.
#include <cstring>
#include <memory>
#include <string>

#include "devices/device_space.h"
#include "driver/flags.h"
#include "driver/input_loop.h"
#include "driver/run_options.h"
#include "driver/token_line.h"
#include "fuzz_input.h"
#include "inquiry/probe.h"
#include "platform/backends.h"
#include "platform/platform.h"

namespace {

constexpr int kDevicesPerWord = 16;

void expand_word(vox::DeviceSpace& space, const char* word, bool first, unsigned fmt_flags) {
  const vox::WordPlan plan = vox::plan_word(word, first, false, nullptr, vox::dvobj_char);
  if (plan.action != vox::WordAction::Expand) return;
  vox::WordCursor cursor;
  cursor.state = plan.start;
  char device_path[vox::kDevicePathSize];
  char display_name[vox::kDisplayNameSize];
  for (int n = 0; n < kDevicesPerWord; ++n) {
    std::memset(display_name, 'x', sizeof display_name);
    const int result = vox::expand_device_word(space, cursor, plan.text, device_path, display_name,
                                               sizeof display_name, fmt_flags);
    if (result == -1) break;
    VOX_FUZZ_CHECK(result >= -2);
    VOX_FUZZ_CHECK(std::memchr(display_name, '\0', sizeof display_name) != nullptr);
    if (plan.start == vox::WordCursor::NumberStart && result >= 0) {
      VOX_FUZZ_CHECK(std::string(display_name) == "Harddisk" + std::to_string(result));
    }
    vox::DevIdentity record;
    vox::probe_device(display_name, record, 0, 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string error;
  auto backend = vox::plat::make_host_image_backend(VOX_SOURCE_DIR "/examples/host.json", error);
  if (!backend) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
  }
  vox::plat::set_backend(std::move(backend));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vox::fuzz::FuzzInput in(data, size);
  const std::uint8_t options = in.u8();
  const unsigned fmt_flags = (options & 1) ? vox::FMT_VOLGUID : 0;
  vox::cli_mode = (options & 2) ? 1 : 0;
  vox::dvobj_char = (options & 4) ? '%' : '$';
  std::string text = in.rest_text();
  std::FILE* stream = vox::fuzz::stream_over(text);
  if (stream == nullptr) return 0;
  static const auto line = std::make_unique<vox::TokenLine>();
  vox::DeviceSpace space;
  while (vox::read_token_line(stream, "voxmira", *line)) {
    for (int i = 1; i < line->count; ++i) expand_word(space, line->words[i], i == 1, fmt_flags);
  }
  std::fclose(stream);
  vox::cli_mode = 0;
  vox::dvobj_char = '$';
  return 0;
}
