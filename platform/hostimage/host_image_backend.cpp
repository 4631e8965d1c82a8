#include "platform/hostimage/host_image_backend.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

#include "platform/backends.h"
#include "platform/crt_system.h"
#include "platform/hostimage/command_line.h"
#include "platform/hostimage/dos_devices.h"
#include "platform/hostimage/drive_layout.h"
#include "platform/hostimage/hex_text.h"
#include "platform/hostimage/image_loader.h"
#include "platform/hostimage/mountvol_text.h"
#include "platform/hostimage/real_files.h"
#include "platform/hostimage/scsi_device.h"
#include "platform/hostimage/storage_property.h"
#include "platform/hostimage/system_messages.h"
#include "platform/hostimage/volume_extents.h"
#include "platform/win_defs.h"

namespace vox::plat::hostimage {
namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";
// Bits 14 and 15 of a control code: the access the handle needs for it.
constexpr std::uint32_t kNeedsRead = 0x1;
constexpr std::uint32_t kNeedsWrite = 0x2;

std::string result_text(std::uint32_t error) {
  return error == 0 ? " -> ok" : " -> error " + std::to_string(error);
}

ObjectKind object_kind(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::disk:
      return ObjectKind::disk;
    case DeviceKind::volume:
      return ObjectKind::volume;
    case DeviceKind::other:
      break;
  }
  return ObjectKind::device;
}

}  // namespace

HostImageBackend::HostImageBackend(HostImage image) : image_(std::move(image)) {}

bool HostImageBackend::settle(std::uint32_t code) {
  if (code != 0) last_error_ = code;
  return code == 0;
}

Handle HostImageBackend::create_file(const char* path, std::uint32_t access, std::uint32_t,
                                     std::uint32_t disposition, std::uint32_t) {
  const std::string shown = path != nullptr ? path : "";
  std::uint32_t error = 0;
  Handle h = kInvalidHandle;
  if (shown.starts_with(kDevicePrefix)) {
    DeviceTarget target;
    error = resolve_device(image_, std::string_view(shown).substr(kDevicePrefix.size()), target);
    if (error == 0)
      h = handles_.add(OpenObject{object_kind(target.kind), shown, access, target.index, nullptr});
    last_error_ = error;
  } else {
    OpenedFile opened;
    error = open_real_file(shown, access, disposition, opened);
    if (error == 0) {
      h = handles_.add(OpenObject{ObjectKind::file, shown, access, 0, opened.file});
      const bool replaced =
          opened.existed && (disposition == win::CREATE_ALWAYS || disposition == kOpenAlways);
      last_error_ = replaced ? kErrorAlreadyExists : 0;
    } else {
      last_error_ = error;
    }
  }
  trace_.line("CreateFile " + shown + " access=" + hex32(access) + result_text(error));
  return h;
}

bool HostImageBackend::close_handle(Handle h) {
  return handles_.close(h) || settle(win::ERROR_INVALID_HANDLE);
}

bool HostImageBackend::read_file(Handle h, void* buffer, std::uint32_t size, std::uint32_t* got) {
  if (got != nullptr) *got = 0;
  OpenObject* object = handles_.find(h);
  std::uint32_t n = 0;
  std::uint32_t error = 0;
  if (object == nullptr) {
    error = win::ERROR_INVALID_HANDLE;
  } else if (object->kind != ObjectKind::file) {
    error = kErrorInvalidFunction;
  } else if (!access_allows_read(object->access)) {
    error = win::ERROR_ACCESS_DENIED;
  } else {
    error = read_real_file(object->file, buffer, size, n);
  }
  const std::string head =
      "ReadFile " + (object ? object->path : std::string("?")) + " " + std::to_string(size);
  trace_.line(error == 0 ? head + " -> ok " + std::to_string(n) : head + result_text(error));
  if (got != nullptr) *got = n;
  return settle(error);
}

bool HostImageBackend::write_file(Handle h, const void* buffer, std::uint32_t size,
                                  std::uint32_t* written) {
  if (written != nullptr) *written = 0;
  OpenObject* object = handles_.find(h);
  std::uint32_t error = 0;
  if (object == nullptr) {
    error = win::ERROR_INVALID_HANDLE;
  } else if (object->kind != ObjectKind::file) {
    error = kErrorInvalidFunction;
  } else if (!access_allows_write(object->access)) {
    error = win::ERROR_ACCESS_DENIED;
  } else {
    error = write_real_file(object->file, buffer, size);
  }
  trace_.line("WriteFile " + (object ? object->path : std::string("?")) + " " +
              std::to_string(size) + result_text(error));
  if (error == 0 && written != nullptr) *written = size;
  return settle(error);
}

bool HostImageBackend::device_io_control(Handle h, std::uint32_t code, const void* in,
                                         std::uint32_t in_size, void* out, std::uint32_t out_size,
                                         std::uint32_t* returned) {
  if (returned != nullptr) *returned = 0;
  if (in == nullptr) in_size = 0;
  if (out == nullptr) out_size = 0;
  OpenObject* object = handles_.find(h);
  std::string line =
      "DeviceIoControl " + (object ? object->path : std::string("?")) + " " + hex32(code);
  const bool pass_through = code == win::IOCTL_SCSI_PASS_THROUGH_DIRECT;
  if (pass_through) {
    const PassThroughView view = view_pass_through(in, in_size);
    if (view.readable) {
      line += " cdb=" + hex_lower(std::span(view.cdb.data(), view.cdb_length)) +
              " length=" + std::to_string(view.transfer_length) +
              " timeout=" + std::to_string(view.timeout);
    }
  }
  const IoResult r = control(object, code, in, in_size, out, out_size);
  line += result_text(r.error);
  if (r.error == 0 && pass_through) line += " status=" + std::to_string(r.scsi_status);
  trace_.line(line);
  if (r.error == 0 && returned != nullptr) *returned = r.returned;
  return settle(r.error);
}

IoResult HostImageBackend::control(OpenObject* object, std::uint32_t code, const void* in,
                                   std::uint32_t in_size, void* out, std::uint32_t out_size) {
  if (object == nullptr) return io_error(win::ERROR_INVALID_HANDLE);
  const std::uint32_t needs = (code >> 14) & 0x3;
  if (((needs & kNeedsRead) && !access_allows_read(object->access)) ||
      ((needs & kNeedsWrite) && !access_allows_write(object->access))) {
    return io_error(win::ERROR_ACCESS_DENIED);
  }
  if (object->kind == ObjectKind::volume) {
    if (code != win::IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS) return io_error(kErrorInvalidFunction);
    return volume_disk_extents(image_.volumes[object->index], out, out_size);
  }
  if (object->kind != ObjectKind::disk) return io_error(kErrorInvalidFunction);
  Disk& disk = image_.disks[object->index];
  switch (code) {
    case win::IOCTL_SCSI_PASS_THROUGH_DIRECT:
      return run_pass_through(disk, in, in_size, out, out_size);
    case win::IOCTL_STORAGE_QUERY_PROPERTY:
      return query_storage_property(disk, in, in_size, out, out_size);
    case win::IOCTL_DISK_GET_DRIVE_LAYOUT:
      return get_layout(disk, false, out, out_size);
    case win::IOCTL_DISK_GET_DRIVE_LAYOUT_EX:
      return get_layout(disk, true, out, out_size);
    case win::IOCTL_DISK_SET_DRIVE_LAYOUT:
      return set_layout(disk, false, in, in_size);
    case win::IOCTL_DISK_SET_DRIVE_LAYOUT_EX:
      return set_layout(disk, true, in, in_size);
    default:
      return io_error(kErrorInvalidFunction);
  }
}

IoResult HostImageBackend::get_layout(const Disk& disk, bool ex, void* out,
                                      std::uint32_t out_size) {
  if (disk.layout_error != 0) return io_error(disk.layout_error);
  const Bytes record = ex ? build_drive_layout_ex(disk.layout) : build_drive_layout(disk.layout);
  if (out == nullptr || out_size < record.size()) return io_error(win::ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, record.data(), record.size());
  IoResult r;
  r.returned = static_cast<std::uint32_t>(record.size());
  return r;
}

IoResult HostImageBackend::set_layout(Disk& disk, bool ex, const void* in, std::uint32_t in_size) {
  if (disk.set_layout_error != 0) return io_error(disk.set_layout_error);
  const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(in), in_size);
  DiskLayout fresh;
  const std::uint32_t error = ex ? parse_drive_layout_ex(bytes, disk.layout, fresh)
                                 : parse_drive_layout(bytes, disk.layout, fresh);
  if (error != 0) return io_error(error);
  if (!image_.file.empty()) {
    Json document = image_.document;
    document["disks"][disk.json_index]["layout"] = layout_to_json(fresh);
    const std::string text =
        document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    if (const std::uint32_t written = replace_file_contents(image_.file, text); written != 0) {
      return io_error(written);
    }
    image_.document = std::move(document);
  }
  disk.layout = std::move(fresh);
  return IoResult{};
}

std::uint32_t HostImageBackend::query_dos_device_a(const char* name, char* buffer,
                                                   std::uint32_t size) {
  if (buffer == nullptr) size = 0;
  IoResult r;
  std::string line;
  if (name == nullptr) {
    r = query_dos_list_narrow(image_, buffer, size);
    line = "QueryDosDevice * size=" + std::to_string(size);
  } else {
    r = query_dos_name(image_, name, buffer, size);
    line = std::string("QueryDosDevice ") + name;
  }
  trace_.line(line + (r.error == 0 ? " -> " + std::to_string(r.returned) : result_text(r.error)));
  return settle(r.error) ? r.returned : 0;
}

std::uint32_t HostImageBackend::query_dos_device_list_w(char16_t* buffer, std::uint32_t size) {
  if (buffer == nullptr) size = 0;
  const IoResult r = query_dos_list_wide(image_, buffer, size);
  trace_.line("QueryDosDevice * size=" + std::to_string(size) +
              (r.error == 0 ? " -> " + std::to_string(r.returned) : result_text(r.error)));
  return settle(r.error) ? r.returned : 0;
}

std::string HostImageBackend::format_message(std::uint32_t code) {
  return system_message(code);
}

std::string HostImageBackend::translated(const char* command) const {
  std::filesystem::path root = image_.root;
  root.make_preferred();
  return translate_command(command, root.string(), kNativeShell);
}

std::FILE* HostImageBackend::popen(const char* command, const char* mode) {
  if (command == nullptr || mode == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  trace_.line(std::string("popen ") + command);
  if (is_mountvol_command(command)) {
    if (mode[0] != 'r') {
      errno = EINVAL;
      return nullptr;
    }
    std::FILE* stream = open_scratch_stream();
    if (stream == nullptr) return nullptr;
    const std::string text = mountvol_listing(image_);
    std::fwrite(text.data(), 1, text.size(), stream);
    std::rewind(stream);
    answered_.insert(stream);
    return stream;
  }
  // What the program printed so far comes before anything the child prints.
  std::fflush(stdout);
  std::fflush(stderr);
  const std::string line = translated(command);
#ifdef _WIN32
  std::FILE* stream = ::_popen(line.c_str(), mode);
#else
  std::string posix_mode;  // the POSIX call knows no text or binary mode
  for (const char* m = mode; *m != '\0'; ++m)
    if (*m != 't' && *m != 'b') posix_mode.push_back(*m);
  std::FILE* stream = ::popen(line.c_str(), posix_mode.c_str());
#endif
  if (stream != nullptr) children_.insert(stream);
  return stream;
}

int HostImageBackend::pclose(std::FILE* stream) {
  if (answered_.erase(stream) != 0) {
    std::fclose(stream);
    return 0;
  }
  if (children_.erase(stream) != 0) {
#ifdef _WIN32
    return ::_pclose(stream);
#else
    return ::pclose(stream);
#endif
  }
  errno = EINVAL;
  return -1;
}

int HostImageBackend::system(const char* command) {
  if (command == nullptr) return std::system(nullptr);
  trace_.line(std::string("system ") + command);
  if (is_mountvol_command(command)) {
    const std::string text = mountvol_listing(image_);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  return crt_system(translated(command).c_str());
}

}  // namespace vox::plat::hostimage

namespace vox::plat {

std::unique_ptr<Backend> make_host_image_backend(const std::string& path, std::string& error) {
  hostimage::HostImage image;
  if (!hostimage::load_host_image_file(path, image, error)) return nullptr;
  auto backend = std::make_unique<hostimage::HostImageBackend>(std::move(image));
  const char* trace = std::getenv("VOXMIRA_TRACE");
  if (trace != nullptr && *trace != '\0') {
    std::string problem;
    if (!backend->trace_to(trace, problem)) {
      error =
          std::string("voxmira: trace file '") + trace + "': cannot be opened (" + problem + ")";
      return nullptr;
    }
  }
  return backend;
}

std::unique_ptr<Backend> make_empty_host_backend() {
  hostimage::HostImage image;
  std::error_code ec;
  image.root = std::filesystem::current_path(ec);
  auto backend = std::make_unique<hostimage::HostImageBackend>(std::move(image));
  const char* trace = std::getenv("VOXMIRA_TRACE");
  if (trace != nullptr && *trace != '\0') {
    std::string ignored;  // the empty host has no way to report; it simply runs untraced
    backend->trace_to(trace, ignored);
  }
  return backend;
}

}  // namespace vox::plat
