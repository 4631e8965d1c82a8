// The backends behind platform.h and how they are made. Only platform/ includes this.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace vox::plat {

// A host image read from `path`. On failure returns null and sets `error` to one line
// (no line end) that names the file and what is wrong.
std::unique_ptr<Backend> make_host_image_backend(const std::string& path, std::string& error);
// A host without disks, DOS names or volumes (non-Windows systems without VOXMIRA_HOST).
std::unique_ptr<Backend> make_empty_host_backend();
#ifdef _WIN32
// The real Win32 calls.
std::unique_ptr<Backend> make_win32_backend();
#endif

}  // namespace vox::plat
