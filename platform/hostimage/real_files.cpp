#include "platform/hostimage/real_files.h"

#include <cerrno>
#include <system_error>

#include "platform/hostimage/handle_table.h"
#include "platform/hostimage/io_result.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kErrorReadFault = 30;
constexpr std::uint32_t kErrorWriteFault = 29;

std::uint32_t missing_error(const std::string& native_path) {
  fs::path parent = fs::path(native_path).parent_path();
  if (parent.empty()) return win::ERROR_FILE_NOT_FOUND;
  std::error_code ec;
  return fs::is_directory(parent, ec) ? win::ERROR_FILE_NOT_FOUND : win::ERROR_PATH_NOT_FOUND;
}

int errno_of(const std::error_code& ec) {
  const std::error_condition cond = ec.default_error_condition();
  return cond.category() == std::generic_category() ? cond.value() : EIO;
}

}  // namespace

std::string native_file_path(std::string_view path) {
  std::string native(path);
#ifndef _WIN32
  for (char& c : native)
    if (c == '\\') c = '/';
#endif
  return native;
}

std::uint32_t windows_error_of_errno(int err, const std::string& native_path) {
  switch (err) {
    case ENOENT:
      return missing_error(native_path);
    case ENOTDIR:
      return win::ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return win::ERROR_ACCESS_DENIED;
    case EEXIST:
      return kErrorFileExists;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOSPC:
      return kErrorDiskFull;
    case EBUSY:
      return kErrorSharingViolation;
    case EINVAL:
      return kErrorInvalidName;
    case ENOMEM:
      return win::ERROR_NOT_ENOUGH_MEMORY;
    default:
      return kErrorGenFailure;
  }
}

std::uint32_t open_real_file(std::string_view path, std::uint32_t access, std::uint32_t disposition,
                             OpenedFile& opened) {
  opened = OpenedFile{};
  if (path.empty()) return win::ERROR_PATH_NOT_FOUND;
  const std::string native = native_file_path(path);
  std::error_code ec;
  const fs::file_status st = fs::status(native, ec);
  const bool exists = fs::exists(st);
  if (exists && fs::is_directory(st)) return win::ERROR_ACCESS_DENIED;
  const bool write = access_allows_write(access);
  const char* mode = nullptr;
  switch (disposition) {
    case kCreateNew:
      if (exists) return kErrorFileExists;
      mode = "w+b";
      break;
    case win::CREATE_ALWAYS:
      mode = "w+b";
      break;
    case win::OPEN_EXISTING:
      if (!exists) return missing_error(native);
      mode = write ? "r+b" : "rb";
      break;
    case kOpenAlways:
      mode = exists ? (write ? "r+b" : "rb") : "w+b";
      break;
    case kTruncateExisting:
      if (!write) return win::ERROR_INVALID_PARAMETER;
      if (!exists) return missing_error(native);
      mode = "w+b";
      break;
    default:
      return win::ERROR_INVALID_PARAMETER;
  }
  errno = 0;
  std::FILE* f = std::fopen(native.c_str(), mode);
  if (f == nullptr) return windows_error_of_errno(errno, native);
  opened.file = f;
  opened.existed = exists;
  return 0;
}

std::uint32_t read_real_file(std::FILE* file, void* buffer, std::uint32_t size,
                             std::uint32_t& got) {
  got = 0;
  if (size == 0) return 0;
  if (buffer == nullptr) return kErrorNoAccess;
  std::fseek(file, 0, SEEK_CUR);  // a read may follow a write
  errno = 0;
  const std::size_t n = std::fread(buffer, 1, size, file);
  if (n < size && std::ferror(file)) {
    const int err = errno;
    std::clearerr(file);
    return err == EISDIR || err == EACCES ? win::ERROR_ACCESS_DENIED : kErrorReadFault;
  }
  std::clearerr(file);  // end of file is no error for ReadFile
  got = static_cast<std::uint32_t>(n);
  return 0;
}

std::uint32_t write_real_file(std::FILE* file, const void* buffer, std::uint32_t size) {
  if (size == 0) return 0;
  if (buffer == nullptr) return kErrorNoAccess;
  std::fseek(file, 0, SEEK_CUR);  // a write may follow a read
  errno = 0;
  const std::size_t n = std::fwrite(buffer, 1, size, file);
  if (n < size || std::fflush(file) != 0) {
    const int err = errno;
    std::clearerr(file);
    return err == ENOSPC ? kErrorDiskFull : kErrorWriteFault;
  }
  return 0;
}

std::uint32_t replace_file_contents(const fs::path& file, const std::string& text) {
  fs::path fresh = file;
  fresh += ".new";
  const std::string fresh_text = fresh.string();
  errno = 0;
  std::FILE* f = std::fopen(fresh_text.c_str(), "wb");
  if (f == nullptr) return windows_error_of_errno(errno, fresh_text);
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool flushed = std::fflush(f) == 0;
  const int err = errno;
  const bool closed = std::fclose(f) == 0;
  std::error_code ec;
  if (!written || !flushed || !closed) {
    fs::remove(fresh, ec);
    return err == ENOSPC ? kErrorDiskFull : kErrorWriteFault;
  }
  const fs::file_status old = fs::status(file, ec);
  if (!ec && fs::exists(old)) fs::permissions(fresh, old.permissions(), ec);
  ec.clear();
  fs::rename(fresh, file, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(fresh, ignored);
    return windows_error_of_errno(errno_of(ec), file.string());
  }
  return 0;
}

}  // namespace vox::plat::hostimage
