#include "layout/layout_file_path.h"

#include <array>
#include <cstdio>
#include <cstdlib>

#include "driver/flags.h"
#include "platform/platform.h"
#include "transport/string_printf.h"

namespace vox {

const char* layout_folder_variable(bool use_temp_present) {
  return use_temp_present ? "TEMP" : "windir";
}

std::string layout_file_name(std::string_view folder, std::int32_t serial, std::int32_t ldev) {
  return std::string(folder) + string_printf("\\VOL%d_%d.ini", serial, ldev);
}

std::string layout_file_path(std::int32_t serial, std::int32_t ldev) {
  const char* variable = layout_folder_variable(std::getenv("VEXAM_USE_TEMP") != nullptr);
  std::array<char, kLayoutFolderSize> folder{};
  const std::uint32_t got =
      plat::GetEnvironmentVariableA(variable, folder.data(), kLayoutFolderSize);
  if (got == 0) return {};
  if (got >= kLayoutFolderSize) {
    // The result is the size the value needs, its string end included.
    if (!cli_mode) {
      std::fprintf(stderr,
                   "%s : value of %u characters is too long for a layout file folder (at most "
                   "%u)\n",
                   variable, static_cast<unsigned>(got - 1),
                   static_cast<unsigned>(kLayoutFolderSize - 1));
    }
    return {};
  }
  return layout_file_name(std::string_view(folder.data(), got), serial, ldev);
}

}  // namespace vox
