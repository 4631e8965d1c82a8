#include "tools/capture/capture_cli.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "tools/capture/anonymize.h"
#include "tools/capture/capture_json.h"
#include "tools/capture/host_capture.h"

namespace vox::capture {

const char* const kCaptureUsage =
    "usage: voxmira-capture [-o FILE] [--anonymize] [-h|--help] [--version]\n"
    "Records this host's disks, DOS names, volumes and mount points as a host image,\n"
    "so that VOXMIRA_HOST=FILE voxmira ... prints elsewhere what voxmira prints here.\n"
    "  -o FILE       write the host image to FILE (default: standard output)\n"
    "  --anonymize   replace array serial numbers, WWNs, GUIDs and disk signatures\n"
    "                with made-up values, the same value always by the same one\n"
    "  -h, --help    show this text\n"
    "  --version     show the version\n";

const char* const kCaptureVersion = "0.1.0";

namespace {

int usage_error(std::FILE* err, const std::string& problem) {
  std::fprintf(err, "voxmira-capture: %s\n%s", problem.c_str(), kCaptureUsage);
  return 2;
}

std::uint64_t fresh_seed() {
  std::random_device device;
  std::seed_seq seq{
      device(), device(),
      static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count())};
  std::uint32_t words[2] = {};
  seq.generate(words, words + 2);
  return std::uint64_t{words[0]} << 32 | words[1];
}

// Writes `text` to `path` through "<path>.tmp", so that a failed write leaves an older
// file whole. False with the reason in `problem`.
bool write_file(const std::string& path, const std::string& text, std::string& problem) {
  const std::string temporary = path + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (f == nullptr) {
    problem = temporary + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const int write_errno = errno;
  const bool closed = std::fclose(f) == 0;
  std::error_code ec;
  if (!written || !closed) {
    problem = temporary + ": " + std::strerror(written ? errno : write_errno);
    std::filesystem::remove(temporary, ec);
    return false;
  }
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    problem = path + ": " + ec.message();
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace

int capture_main(int argc, const char* const* argv, std::FILE* out, std::FILE* err,
                 const CaptureSettings& settings) {
  std::string output;
  bool has_output = false;
  bool anonymized = false;
  for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kCaptureUsage, out);
      return std::fflush(out) == 0 ? 0 : 1;
    }
    if (arg == "--version") {
      std::fprintf(out, "voxmira-capture %s\n", kCaptureVersion);
      return std::fflush(out) == 0 ? 0 : 1;
    }
    if (arg == "--anonymize") {
      anonymized = true;
    } else if (arg == "-o") {
      if (has_output) return usage_error(err, "-o given twice");
      if (i + 1 >= argc || argv[i + 1] == nullptr || argv[i + 1][0] == '\0')
        return usage_error(err, "-o needs a file name");
      output = argv[++i];
      has_output = true;
    } else {
      return usage_error(err, "unknown argument: " + std::string(arg));
    }
  }
  if (settings.choose_backend && !plat::init_from_environment()) return 1;

  Capture cap = capture_host(err);
  std::string about = std::string("Recorded by voxmira-capture ") + kCaptureVersion +
                      "; replay with VOXMIRA_HOST=<this file> voxmira ...";
  std::fprintf(err, "captured %zu drives, %zu volumes, %zu names, %u errors\n",
               cap.image.disks.size(), cap.image.volumes.size(), cap.image.dos_devices.size(),
               cap.errors);
  if (anonymized) {
    const AnonymizeCounts n = anonymize(cap, settings.seed ? *settings.seed : fresh_seed());
    about += ". Anonymized: array serial numbers, WWNs, GUIDs and disk signatures are made up";
    std::fprintf(err, "anonymized %zu serial numbers, %zu WWNs, %zu GUIDs, %zu disk signatures\n",
                 n.serials, n.wwns, n.guids, n.signatures);
    if (n.serials_kept != 0) {
      std::fprintf(err,
                   "voxmira-capture: warning: %zu serial numbers kept: no other number fits "
                   "their notation\n",
                   n.serials_kept);
    }
  }
  std::fflush(err);

  const std::string text = capture_json_text(cap, about);
  if (!has_output || output == "-") {
    const bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (!ok || std::fflush(out) != 0) {
      std::fprintf(err, "voxmira-capture: cannot write standard output: %s\n",
                   std::strerror(errno));
      return 1;
    }
    return 0;
  }
  std::string problem;
  if (!write_file(output, text, problem)) {
    std::fprintf(err, "voxmira-capture: cannot write %s\n", problem.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vox::capture
