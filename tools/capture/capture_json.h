// A capture as the text of a host-image file, laid out like the shipped example: one
// member per line where a value is long, inquiry data as hex rows of sixteen bytes.
#pragma once

#include <string>

#include "platform/hostimage/image_model.h"
#include "tools/capture/capture_model.h"

namespace vox::capture {

// The document; `about` becomes its "_note". Every value is written only where it
// differs from what a host image assumes when the key is missing, except the layout,
// which is written whole.
hi::Json capture_document(const Capture& cap, const std::string& about);

// The file: the laid-out document and a final line feed.
std::string capture_json_text(const Capture& cap, const std::string& about);

}  // namespace vox::capture
