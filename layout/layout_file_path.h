// The name of a layout file: "%s\VOL%d_%d.ini" in the folder that TEMP or windir names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vox {

// The folder value is read into this many characters; a value of 256 characters or
// more does not fit and is unusable.
inline constexpr std::uint32_t kLayoutFolderSize = 256;

// "TEMP" when VEXAM_USE_TEMP is present (any value, the empty one included), else
// "windir".
const char* layout_folder_variable(bool use_temp_present);
// "<folder>\VOL<serial>_<ldev>.ini", both numbers in signed decimal.
std::string layout_file_name(std::string_view folder, std::int32_t serial, std::int32_t ldev);

// The layout file of an array volume. The empty text when the folder variable is absent
// or empty (the file operations then fail with their own reports), or when its value is
// 256 characters or longer; the latter is also said on stderr unless cli_mode:
// "TEMP : value of 300 characters is too long for a layout file folder (at most 255)".
std::string layout_file_path(std::int32_t serial, std::int32_t ldev);

}  // namespace vox
