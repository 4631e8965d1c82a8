// A platform backend for unit tests: every call fails with ERROR_NOT_SUPPORTED unless a
// test overrides it. Install it with plat::set_backend; it records the last error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/win_defs.h"

namespace vox::test {

class FakeBackend : public plat::Backend {
 public:
  plat::Handle create_file(const char*, std::uint32_t, std::uint32_t, std::uint32_t,
                           std::uint32_t) override {
    return fail_handle();
  }
  bool close_handle(plat::Handle) override { return true; }
  bool read_file(plat::Handle, void*, std::uint32_t, std::uint32_t*) override { return fail(); }
  bool write_file(plat::Handle, const void*, std::uint32_t, std::uint32_t*) override {
    return fail();
  }
  bool device_io_control(plat::Handle, std::uint32_t, const void*, std::uint32_t, void*,
                         std::uint32_t, std::uint32_t*) override {
    return fail();
  }
  std::uint32_t query_dos_device_a(const char*, char*, std::uint32_t) override {
    fail();
    return 0;
  }
  std::uint32_t query_dos_device_list_w(char16_t*, std::uint32_t) override {
    fail();
    return 0;
  }
  std::uint32_t get_last_error() override { return last_error; }
  void set_last_error(std::uint32_t code) override { last_error = code; }
  std::string format_message(std::uint32_t code) override {
    return "message " + std::to_string(code) + "\n";
  }
  std::FILE* popen(const char*, const char*) override { return nullptr; }
  int pclose(std::FILE* f) override { return f ? std::fclose(f) : -1; }
  int system(const char*) override { return -1; }

  std::uint32_t last_error = 0;

 protected:
  bool fail(std::uint32_t code = win::ERROR_NOT_SUPPORTED) {
    last_error = code;
    return false;
  }
  plat::Handle fail_handle(std::uint32_t code = win::ERROR_FILE_NOT_FOUND) {
    last_error = code;
    return plat::kInvalidHandle;
  }
};

}  // namespace vox::test
