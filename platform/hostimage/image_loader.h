// Reading a host image: JSON text to HostImage, with every value checked, so that a
// broken image is reported once, precisely, before the program does anything.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/hostimage/image_model.h"

namespace vox::plat::hostimage {

// Parses and checks `text`; `base` is the folder that a relative `root` starts from.
// On failure returns false with `problem` = "<where>: <what>", for example
// "disks[2].inquiry: bad hex digit at position 7" or "line 4, column 9: syntax error ...".
bool load_host_image_text(std::string_view text, const std::filesystem::path& base,
                          HostImage& image, std::string& problem);

// Reads the file and loads it. On failure returns false with `error` = the whole
// report line (no line end): "voxmira: host image '<path>': <problem>".
bool load_host_image_file(const std::string& path, HostImage& image, std::string& error);

}  // namespace vox::plat::hostimage
