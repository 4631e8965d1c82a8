// The command line of voxmira-capture.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace vox::capture {

extern const char* const kCaptureUsage;
extern const char* const kCaptureVersion;  // "0.1.0"

struct CaptureSettings {
  // Choose the backend from VOXMIRA_HOST or the OS first (tests set their own).
  bool choose_backend = true;
  // The stand-ins of --anonymize come from this seed; none: a fresh random one.
  std::optional<std::uint64_t> seed;
};

// Runs voxmira-capture: 0 when the image was written, 1 when it could not be (or the
// host image behind VOXMIRA_HOST is broken), 2 for a usage error. The image goes to
// `out` unless -o names a file; progress, the summary and messages go to `err`.
int capture_main(int argc, const char* const* argv, std::FILE* out, std::FILE* err,
                 const CaptureSettings& settings = {});

}  // namespace vox::capture
