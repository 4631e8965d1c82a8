// What Windows and mountvol.exe tell about names, at and past the tool's limits:
// mountvol output of 100,000 lines and lines of 100,000 characters, mount-point paths
// and volume names one past their fields, DOS names and targets past the 512-byte path,
// a volume of 1500 extents, and QRY_BUF_SZ in every form. The host has no disks: each
// probed display name shows as one "OPEN" line on stderr.
#include <cstddef>
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

using namespace std::string_literals;

const std::string kVolume127 = "Volume{" + std::string(119, 'v') + "}";
const std::string kVolume128 = "Volume{" + std::string(120, 'v') + "}";
const std::string kVolume507 = "Volume{" + std::string(499, 'w') + "}";  // + "\\.\" = 511
const std::string kVolume508 = "Volume{" + std::string(500, 'w') + "}";

// C: on disk 1; every "Volume{...}" name on disk 2; E: names a target longer than the
// 512-byte buffer; F: spans disks 0 to 1499; G: lists no disk at all.
Json names_host(const std::string& mountvol_output) {
  Json dos = Json::array();
  const auto add = [&dos](const std::string& name, const std::string& target) {
    dos.push_back({{"name", name}, {"target", target}});
  };
  add("C:", "\\Device\\HarddiskVolume3");
  for (const std::string& v :
       {kVolume127, kVolume128, std::string("Volume{m}"), kVolume508, kVolume507}) {
    add(v, "\\Device\\HarddiskVolume4");
  }
  add("E:", "\\Device\\HarddiskVolume9" + std::string(600, 'x'));
  add("F:", "\\Device\\HarddiskVolume5");
  add("G:", "\\Device\\HarddiskVolume6");
  Json many = Json::array();
  for (int d = 0; d < 1500; ++d) many.push_back(d);
  const Json volumes =
      Json::array({{{"target", "\\Device\\HarddiskVolume3"}, {"disks", {1}}},
                   {{"target", "\\Device\\HarddiskVolume4"}, {"disks", {2}}},
                   {{"target", "\\Device\\HarddiskVolume5"}, {"disks", many}},
                   {{"target", "\\Device\\HarddiskVolume6"}, {"disks", Json::array()}}});
  return Json{{"disks", Json::array()},
              {"dos_devices", dos},
              {"volumes", volumes},
              {"mountvol_output", mountvol_output}};
}

TEST(BadInputNames, MountvolOutput) {
  // 33,333 times a volume line, a mount point on D: and a blank line, then the volume
  // with two mount points on C:.
  std::string many;
  for (int k = 0; k < 33333; ++k)
    many += "\\\\?\\Volume{m}\\\n        D:\\n\\" + std::to_string(k) + "\\\n\n";
  many += "\\\\?\\Volume{m}\\\n        C:\\\n        C:\\mnt\\a\\\n        C:\\mnt\\b\\\n";
  // A line of 100,000 characters is four lines: its first token is too long for an
  // entry, and the next piece, no path, ends the volume. A path followed by 100,000
  // blanks is one entry and lines of blanks.
  const std::string long_lines = "\\\\?\\Volume{m}\\\n    C:\\\n    C:\\long" +
                                 std::string(100000 - 11, 'x') + "\n    C:\\after\\\n" +
                                 "\\\\?\\Volume{m}\\\n    C:\\mnt\\c\\" + std::string(100000, ' ') +
                                 "\n    C:\\mnt\\d\\\n";
  // Paths of 255 and 256 characters, volume names of 127 and 128.
  const std::string p255 = "C:\\" + std::string(252, 'p');
  const std::string q245 = "C:\\" + std::string(242, 'q');
  const std::string sizes = "\\\\?\\Volume{m}\\\n " + p255 + "\\\n " + p255 + "p\\\n " + q245 +
                            "\\\n\\\\?\\" + kVolume127 + "\\\n C:\\v127\\\n\\\\?\\" + kVolume128 +
                            "\\\n C:\\v128\\\n";
  const struct {
    const char* what;
    std::string output;
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {"100,000 lines",
       many,
       {"$C:", "$D:\\n\\3333"},
       not_found({"C:\\Vol3\\Dsk1", "C:\\mnt\\a\\Vol4\\Dsk2", "C:\\mnt\\b\\Vol4\\Dsk2",
                  "D:\\n\\3333\\Vol4\\Dsk2", "D:\\n\\33330\\Vol4\\Dsk2", "D:\\n\\33331\\Vol4\\Dsk2",
                  "D:\\n\\33332\\Vol4\\Dsk2"})},
      {"lines of 100,000 characters",
       long_lines,
       {"$C:"},
       not_found({"C:\\Vol3\\Dsk1", "C:\\mnt\\c\\Vol4\\Dsk2", "C:\\mnt\\d\\Vol4\\Dsk2"})},
      // The 255-character path is kept, but its display name does not fit 255; the
      // 245-character one just fits.
      {"field sizes",
       sizes,
       {"$C:"},
       not_found({"C:\\Vol3\\Dsk1"}) + refused(p255) + not_found({q245 + "\\Vol4\\Dsk2"}) +
           not_found({"C:\\v127\\Vol4\\Dsk2"})},
      {"no output at all", "", {"$C:"}, not_found({"C:\\Vol3\\Dsk1"})},
      {"NUL bytes and junk",
       "\\\\?\\Volume{m}\\\n C:\\\0x\\\n\x01\x7f C:\\z\\\n"s,
       {"$C:"},
       not_found({"C:\\Vol3\\Dsk1"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Host host(names_host(c.output));
    const RunResult r = host.run(c.args);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit_code, 0);
  }
}

TEST(BadInputNames, DosNamesAndExtents) {
  std::vector<std::string> f_disks;
  for (int d = 0; d < 1024; ++d) f_disks.push_back("F:\\Vol5\\Dsk" + std::to_string(d));
  const std::string vol4 = "\\Vol4\\Dsk2";
  const struct {
    const char* what;
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      // A name of 508 characters does not fit "\\.\" + name in 512 bytes and is passed
      // over; one of 507 is taken.
      {"volume names", {"$Volume"}, not_found({vol4, vol4, vol4, vol4})},
      {"volume names as prefixes",
       {"-fv", "$Volume"},
       not_found({kVolume127 + vol4, kVolume128 + vol4, "Volume{m}" + vol4}) + refused(kVolume507)},
      {"target past 512 bytes", {"$E:"}, ""},
      {"1500 extents: the first 1024 disks", {"$F:"}, not_found(f_disks)},
      {"no extents", {"$G:"}, ""},
  };
  const Host host(names_host(""));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const RunResult r = host.run(c.args);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit_code, 0);
  }
}

// QRY_BUF_SZ sets the base size S of the DOS name list: buffers of S, 2S, 3S ... bytes
// (two of them kept for string ends) until the list leaves more than 512 units free.
TEST(BadInputNames, ListBufferSetting) {
  const Host host(names_host(""));
  const struct {
    const char* value;  // null: unset
    std::uint64_t base;
  } cases[] = {
      {nullptr, 16384}, {"", 16384},     {"0", 16384},
      {"-5", 16384},    {"abc", 16384},  {"1", 1},
      {"100", 100},     {"  77xyz", 77}, {"99999999999", 0xFFFFFFFFu},
  };
  const std::regex attempt(R"(QueryDosDevice \* size=(\d+) -> (error 122|\d+)\n)");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "(unset)");
    Env env;
    if (c.value) env.emplace_back("QRY_BUF_SZ", c.value);
    const RunResult r = host.run({"$C:"}, {}, env);
    EXPECT_EQ(r.err, not_found({"C:\\Vol3\\Dsk1"}));
    EXPECT_EQ(r.exit_code, 0);
    const std::string trace = host.trace();
    std::vector<std::uint64_t> sizes;
    std::uint64_t units = 0;
    for (std::sregex_iterator m(trace.begin(), trace.end(), attempt), end; m != end; ++m) {
      sizes.push_back(std::stoull((*m)[1]));
      if ((*m)[2] != "error 122") units = std::stoull((*m)[2]);
    }
    ASSERT_FALSE(sizes.empty()) << trace;
    std::vector<std::uint64_t> expected;
    for (std::uint64_t k = 1; units != 0; ++k) {
      if (c.base * k < 2) continue;
      expected.push_back(c.base * k - 2);
      if (c.base * k - 2 > units + 512) break;
    }
    EXPECT_EQ(sizes, expected);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
