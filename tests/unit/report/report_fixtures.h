// Records and output capture shared by the report tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "inquiry/dev_identity.h"

namespace vox::test {

template <std::size_t N>
void set_text(char (&field)[N], const char* text) {
  std::memset(field, 0, N);
  std::memcpy(field, text, strnlen(text, N - 1));
}

// The volume of the worked examples (harddisk1: CL1-A of array 64015, LDEV 1234), changed
// by a row's edit.
using Edit = void (*)(DevIdentity&);
inline DevIdentity sample(Edit edit = nullptr) {
  DevIdentity r;
  set_text(r.port_name, "CL1-A");
  set_text(r.vendor_id, "TARVELO ");
  set_text(r.product_id, "DISK-1          ");
  r.serial = 64015, r.ldev = 1234, r.sl_id = 0xFF, r.cl_id = 0xFF;
  if (edit != nullptr) edit(r);
  return r;
}

// What a body printed: stdout, then stderr.
using Out = std::pair<std::string, std::string>;
inline Out capture(const std::function<void()>& body) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  body();
  std::fflush(stdout);
  std::fflush(stderr);
  std::string out = testing::internal::GetCapturedStdout();
  return {out, testing::internal::GetCapturedStderr()};
}

}  // namespace vox::test
