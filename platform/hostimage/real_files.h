// Ordinary files (paths not below "\\.\") on the real file system, with the Windows
// error codes a Windows host would give for their failures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vox::plat::hostimage {

// CreateFile dispositions besides CREATE_ALWAYS and OPEN_EXISTING.
inline constexpr std::uint32_t kCreateNew = 1;
inline constexpr std::uint32_t kOpenAlways = 4;
inline constexpr std::uint32_t kTruncateExisting = 5;

// The path for this system: on POSIX every backslash is a separator.
std::string native_file_path(std::string_view path);

// The Windows code of a C runtime errno for `native_path`: a missing file is 2 when
// its folder exists and 3 when the folder is missing too.
std::uint32_t windows_error_of_errno(int err, const std::string& native_path);

struct OpenedFile {
  std::FILE* file = nullptr;
  bool existed = false;  // the file was there before (CREATE_ALWAYS, OPEN_ALWAYS)
};
// Opens like CreateFile: 0 and the open file, or the Windows error code. An empty
// path is 3, a folder 5, an unknown disposition 87.
std::uint32_t open_real_file(std::string_view path, std::uint32_t access, std::uint32_t disposition,
                             OpenedFile& opened);
// ReadFile and WriteFile at the file's position: 0 or the Windows error code.
std::uint32_t read_real_file(std::FILE* file, void* buffer, std::uint32_t size, std::uint32_t& got);
std::uint32_t write_real_file(std::FILE* file, const void* buffer, std::uint32_t size);

// Replaces `file` by `text` as a whole: a new file is written beside it and moved into
// place, so a failure leaves the old file as it was. 0 or the Windows error code.
std::uint32_t replace_file_contents(const std::filesystem::path& file, const std::string& text);

}  // namespace vox::plat::hostimage

namespace vox::plat::hostimage {

// A stream of a temporary file, opened for reading and writing, removed when closed.
std::FILE* open_scratch_stream();

}  // namespace vox::plat::hostimage
