// Helpers of the capture tests: hosts from JSON text and what a stream received.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/hostimage/host_image_backend.h"
#include "platform/hostimage/image_loader.h"
#include "tools/capture/capture_json.h"
#include "tools/capture/host_capture.h"

namespace vox::capture::test {

inline hi::HostImage load(std::string_view json) {
  hi::HostImage image;
  std::string problem;
  EXPECT_TRUE(hi::load_host_image_text(json, "/img", image, problem)) << problem;
  return image;
}

inline void use_host(std::string_view json) {
  plat::set_backend(std::make_unique<hi::HostImageBackend>(load(json)));
}

inline std::string contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
  return text;
}

}  // namespace vox::capture::test
