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
  std::string out;
  std::string err;
};

Outcome run(std::vector<const char*> args, std::string_view host = R"({"mountvol_output": ""})") {
  use_host(host);
  args.insert(args.begin(), "voxmira-capture");
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  CaptureSettings settings;
  settings.choose_backend = false;
  settings.seed = 1;
  const int status = capture_main(static_cast<int>(args.size()), args.data(), out, err, settings);
  Outcome r{status, contents(out), contents(err)};
  std::fclose(out);
  std::fclose(err);
  return r;
}

TEST(CaptureCli, UsageErrors) {
  const struct {
    std::vector<const char*> args;
    const char* problem;
  } cases[] = {
      {{"--bogus"}, "unknown argument: --bogus"},
      {{"extra"}, "unknown argument: extra"},
      {{"-o"}, "-o needs a file name"},
      {{"-o", ""}, "-o needs a file name"},
      {{"-o", "a", "-o", "b"}, "-o given twice"},
      {{"--anonymize", "-O", "a"}, "unknown argument: -O"},
  };
  for (const auto& c : cases) {
    const Outcome r = run(c.args);
    EXPECT_EQ(r.status, 2) << c.problem;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "voxmira-capture: " + std::string(c.problem) + "\n" + kCaptureUsage);
  }
}

TEST(CaptureCli, HelpAndVersion) {
  for (const char* arg : {"-h", "--help"}) {
    const Outcome r = run({"--anonymize", arg, "--bogus"});  // answered before anything else
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kCaptureUsage);
    EXPECT_EQ(r.err, "");
  }
  const Outcome v = run({"--version"});
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out, "voxmira-capture 0.1.0\n");
}

TEST(CaptureCli, WritesTheImageAndSaysWhatItHolds) {
  const Outcome r = run({}, R"({"disks": [{"number": 0, "inquiry": "00 00 05 02"}],
                            "mountvol_output": ""})");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "captured 1 drives, 0 volumes, 0 names, 0 errors\n");
  EXPECT_EQ(r.out,
            "{\n"
            "  \"_note\": \"Recorded by voxmira-capture 0.1.0; replay with "
            "VOXMIRA_HOST=<this file> voxmira ...\",\n"
            "  \"disks\": [\n"
            "    {\n"
            "      \"number\": 0,\n"
            "      \"inquiry\": \"00 00 05 02\",\n"
            "      \"layout\": { \"style\": \"mbr\", \"signature\": 0, \"partitions\": [] }\n"
            "    }\n"
            "  ],\n"
            "  \"dos_devices\": [],\n"
            "  \"volumes\": [],\n"
            "  \"mountvol_output\": \"\"\n"
            "}\n");
  const Outcome edge = run({"--anonymize", "-o", "-"}, edge_host_json());
  EXPECT_EQ(edge.status, 0);
  EXPECT_EQ(edge.err,
            "captured 9 drives, 3 volumes, 7 names, 6 errors\n"
            "anonymized 8 serial numbers, 4 WWNs, 3 GUIDs, 1 disk signatures\n");
  EXPECT_NE(edge.out.find("\"_note\": \"Recorded by voxmira-capture 0.1.0; replay with "
                          "VOXMIRA_HOST=<this file> voxmira .... Anonymized: array serial "
                          "numbers, WWNs, GUIDs and disk signatures are made up\""),
            std::string::npos);
  load(edge.out);
}

TEST(CaptureCli, ToAFileThroughATemporaryOne) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "capture-cli";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "host.json").string();
  std::FILE* old = std::fopen(file.c_str(), "wb");
  std::fputs("old", old);
  std::fclose(old);
  const Outcome r = run({"-o", file.c_str()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(std::filesystem::directory_iterator(dir)->path().filename(), "host.json");
  std::FILE* f = std::fopen(file.c_str(), "rb");
  EXPECT_EQ(contents(f).substr(0, 12), "{\n  \"_note\":");
  std::fclose(f);

  const std::string missing = (dir / "no" / "host.json").string();
  const Outcome bad = run({"-o", missing.c_str()});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err,
            "captured 0 drives, 0 volumes, 0 names, 0 errors\n"
            "voxmira-capture: cannot write " +
                missing + ".tmp: No such file or directory\n");
  std::filesystem::remove_all(dir);
}

TEST(CaptureCli, AFullStandardOutputIsAFailure) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full";
  use_host(R"({"mountvol_output": ""})");
  const char* args[] = {"voxmira-capture"};
  std::FILE* err = std::tmpfile();
  CaptureSettings settings;
  settings.choose_backend = false;
  EXPECT_EQ(capture_main(1, args, full, err, settings), 1);
  EXPECT_EQ(contents(err),
            "captured 0 drives, 0 volumes, 0 names, 0 errors\n"
            "voxmira-capture: cannot write standard output: No space left on "
            "device\n");
  std::fclose(err);
  std::fclose(full);
}

}  // namespace
}  // namespace vox::capture::test
