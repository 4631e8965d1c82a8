// The host-image backend: every platform call answered from a HostImage, as the
// Windows host it describes would answer, with an optional trace of the calls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "platform/hostimage/handle_table.h"
#include "platform/hostimage/image_model.h"
#include "platform/hostimage/io_result.h"
#include "platform/hostimage/trace_log.h"
#include "platform/platform.h"

namespace vox::plat::hostimage {

class HostImageBackend final : public Backend {
 public:
  explicit HostImageBackend(HostImage image);

  // Traces every call to `path` from now on; false with the reason when it cannot be
  // opened.
  bool trace_to(const std::string& path, std::string& problem) {
    return trace_.open(path, problem);
  }
  const HostImage& image() const { return image_; }

  Handle create_file(const char* path, std::uint32_t access, std::uint32_t share,
                     std::uint32_t disposition, std::uint32_t flags) override;
  bool close_handle(Handle h) override;
  bool read_file(Handle h, void* buffer, std::uint32_t size, std::uint32_t* got) override;
  bool write_file(Handle h, const void* buffer, std::uint32_t size,
                  std::uint32_t* written) override;
  bool device_io_control(Handle h, std::uint32_t code, const void* in, std::uint32_t in_size,
                         void* out, std::uint32_t out_size, std::uint32_t* returned) override;
  std::uint32_t query_dos_device_a(const char* name, char* buffer, std::uint32_t size) override;
  std::uint32_t query_dos_device_list_w(char16_t* buffer, std::uint32_t size) override;
  std::uint32_t get_last_error() override { return last_error_; }
  void set_last_error(std::uint32_t code) override { last_error_ = code; }
  std::string format_message(std::uint32_t code) override;
  std::FILE* popen(const char* command, const char* mode) override;
  int pclose(std::FILE* stream) override;
  int system(const char* command) override;

 private:
  IoResult control(OpenObject* object, std::uint32_t code, const void* in, std::uint32_t in_size,
                   void* out, std::uint32_t out_size);
  IoResult get_layout(const Disk& disk, bool ex, void* out, std::uint32_t out_size);
  IoResult set_layout(Disk& disk, bool ex, const void* in, std::uint32_t in_size);
  std::string translated(const char* command) const;
  // Sets the last error from `code` (when nonzero) and returns whether it is 0.
  bool settle(std::uint32_t code);

  HostImage image_;
  HandleTable handles_;
  TraceLog trace_;
  std::uint32_t last_error_ = 0;
  std::set<std::FILE*> answered_;  // streams of answered programs (mountvol)
  std::set<std::FILE*> children_;  // pipes of started programs
};

}  // namespace vox::plat::hostimage
