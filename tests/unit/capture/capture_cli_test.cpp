// The command line of voxmira-capture: usage errors, help, version, the file it writes,
// its summary, and write failures.
#include "tools/capture/capture_cli.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "unit/capture/capture_fixture.h"
#include "unit/capture/edge_host.h"

namespace vox::capture::test {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(std::vector<const char*> args, std::string_view host = R"({"mountvol_output": ""})",
            std::FILE* out = std::tmpfile()) {
  use_host(host);
  args.insert(args.begin(), "voxmira-capture");
  std::FILE* err = std::tmpfile();
  const int status = capture_main(static_cast<int>(args.size()), args.data(), out, err, {false, 1});
  Outcome r{status, contents(out), contents(err)};
  std::fclose(out);
  std::fclose(err);
  return r;
}

TEST(CaptureCli, UsageHelpAndVersion) {
  const std::pair<std::vector<const char*>, const char*> errors[] = {
      {{"--bogus"}, "unknown argument: --bogus"},
      {{"extra"}, "unknown argument: extra"},
      {{"-o"}, "-o needs a file name"},
      {{"-o", ""}, "-o needs a file name"},
      {{"-o", "a", "-o", "b"}, "-o given twice"}};
  for (const auto& [args, problem] : errors) {
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 2) << problem;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "voxmira-capture: " + std::string(problem) + "\n" + kCaptureUsage);
  }
  for (const char* arg : {"-h", "--help"}) {
    const Outcome r = run({"--anonymize", arg, "--bogus"});  // answered before anything else
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, kCaptureUsage);
  }
  EXPECT_EQ(run({"--version"}).out, "voxmira-capture 0.1.0\n");
}

TEST(CaptureCli, WritesTheImageAndSaysWhatItHolds) {
  const Outcome r = run({}, R"({"disks": [{"number": 0, "inquiry": "00 00 05 02"}],
                                "mountvol_output": ""})");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "captured 1 drives, 0 volumes, 0 names, 0 errors\n");
  EXPECT_EQ(r.out, R"({
  "_note": "Recorded by voxmira-capture 0.1.0; replay with VOXMIRA_HOST=<this file> voxmira ...",
  "disks": [
    {
      "number": 0,
      "inquiry": "00 00 05 02",
      "layout": { "style": "mbr", "signature": 0, "partitions": [] }
    }
  ],
  "dos_devices": [],
  "volumes": [],
  "mountvol_output": ""
}
)");
  const Outcome edge = run({"--anonymize", "-o", "-"}, edge_host_json());
  EXPECT_EQ(edge.status, 0);
  EXPECT_EQ(edge.err,
            "captured 9 drives, 3 volumes, 7 names, 6 errors\n"
            "anonymized 8 serial numbers, 4 WWNs, 3 GUIDs, 1 disk signatures\n");
  EXPECT_NE(edge.out.find("voxmira .... Anonymized: array serial numbers, WWNs, GUIDs and disk "
                          "signatures are made up\""),
            std::string::npos);
  load(edge.out);
}

TEST(CaptureCli, WriteFailures) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "capture-cli";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "host.json").string();
  EXPECT_EQ(run({"-o", file.c_str()}).status, 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no .tmp left
  const std::string missing = (dir / "no" / "host.json").string();
  const Outcome bad = run({"-o", missing.c_str()});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err,
            "captured 0 drives, 0 volumes, 0 names, 0 errors\nvoxmira-capture: cannot write " +
                missing + ".tmp: No such file or directory\n");
  std::filesystem::remove_all(dir);
  if (std::FILE* full = std::fopen("/dev/full", "w")) {
    const Outcome r = run({}, R"({"mountvol_output": ""})", full);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("voxmira-capture: cannot write standard output: No space left"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace vox::capture::test
