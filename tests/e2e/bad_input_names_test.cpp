// What Windows and mountvol.exe tell about names, at and past the tool's limits. The host
// has no disks: each probed display name shows as one "OPEN" line on stderr.
#include <regex>

#include "e2e/bad_input_support.h"

namespace vox::e2e::bad_input {
namespace {

const std::string kVolume127 = "Volume{" + std::string(119, 'v') + "}";
const std::string kVolume128 = "Volume{" + std::string(120, 'v') + "}";
const std::string kVolume507 = "Volume{" + std::string(499, 'w') + "}";  // + "\\.\" = 511

// C: on disk 1; every "Volume{...}" name on disk 2; E: names a target longer than the
// 512-byte buffer; F: spans disks 0 to 1499; G: lists no disk at all.
Json names_host(const std::string& mountvol_output) {
  Json dos = Json::array(), volumes = Json::array(), many = Json::array();
  const std::string v = "\\Device\\HarddiskVolume", v508 = kVolume507 + "w";
  for (const auto& [name, target] : {std::pair{"C:"s, "3"s},
                                     {kVolume127, "4"},
                                     {kVolume128, "4"},
                                     {"Volume{m}", "4"},
                                     {v508, "4"},
                                     {kVolume507, "4"},
                                     {"E:", "9" + std::string(600, 'x')},
                                     {"F:", "5"},
                                     {"G:", "6"}})
    dos.push_back({{"name", name}, {"target", v + target}});
  for (int d = 0; d < 1500; ++d) many.push_back(d);
  for (const auto& [n, disks] :
       {std::pair{3, Json{1}}, {4, Json{2}}, {5, many}, {6, Json::array()}})
    volumes.push_back({{"target", v + std::to_string(n)}, {"disks", disks}});
  return Json{{"disks", Json::array()},
              {"dos_devices", dos},
              {"volumes", volumes},
              {"mountvol_output", mountvol_output}};
}

TEST(BadInputNames, MountvolAndDosNames) {
  const std::string vm = "\\\\?\\Volume{m}\\\n", v4 = "\\Vol4\\Dsk2";
  // 33,333 times a volume, a mount point on D: and a blank line, then two mount points on C:.
  std::string many;
  for (int k = 0; k < 33333; ++k) many += vm + "  D:\\n\\" + std::to_string(k) + "\\\n\n";
  many += vm + "  C:\\\n  C:\\mnt\\a\\\n  C:\\mnt\\b\\\n";
  // A line of 100,000 characters is four lines: its first token is too long for an entry,
  // and the next piece, no path, ends the volume. A path and 100,000 blanks is one entry.
  const std::string long_lines = vm + " C:\\\n C:\\long" + std::string(99989, 'x') +
                                 "\n C:\\after\\\n" + vm + " C:\\mnt\\c\\" +
                                 std::string(100000, ' ') + "\n C:\\mnt\\d\\\n";
  // Paths of 255 and 256 characters, volume names of 127 and 128.
  const std::string p255 = "C:\\" + std::string(252, 'p'), q245 = "C:\\" + std::string(242, 'q');
  const std::string sizes = vm + " " + p255 + "\\\n " + p255 + "p\\\n " + q245 + "\\\n\\\\?\\" +
                            kVolume127 + "\\\n C:\\v127\\\n\\\\?\\" + kVolume128 +
                            "\\\n C:\\v128\\\n";
  std::vector<std::string> f_disks;
  for (int d = 0; d < 1024; ++d) f_disks.push_back("F:\\Vol5\\Dsk" + std::to_string(d));
  const std::string c = not_found({"C:\\Vol3\\Dsk1"});
  const struct {
    const char* what;
    std::string mountvol, args, err;
  } cases[] = {
      {"100,000 lines", many, "$C: $D:\\n\\3333",
       c + not_found({"C:\\mnt\\a" + v4, "C:\\mnt\\b" + v4, "D:\\n\\3333" + v4, "D:\\n\\33330" + v4,
                      "D:\\n\\33331" + v4, "D:\\n\\33332" + v4})},
      {"lines of 100,000", long_lines,
       "$C:", c + not_found({"C:\\mnt\\c" + v4, "C:\\mnt\\d" + v4})},
      // A path of 255 is kept, but its display name does not fit 255; one of 245 just fits.
      {"field sizes", sizes, "$C:", c + refused(p255) + not_found({q245 + v4, "C:\\v127" + v4})},
      {"no output at all", "", "$C:", c},
      {"NUL bytes and junk", vm + " C:\\\0x\\\n\x01\x7f C:\\z\\\n"s, "$C:", c},
      // "\\.\" and a name of 508 do not fit 512 bytes: the name is passed over; 507 is taken.
      {"volume names", "", "$Volume", not_found({v4, v4, v4, v4})},
      {"volume names as prefixes", "", "-fv $Volume",
       not_found({kVolume127 + v4, kVolume128 + v4, "Volume{m}" + v4}) + refused(kVolume507)},
      {"target past 512 bytes", "", "$E:", ""},
      {"1500 extents: the first 1024 disks", "", "$F:", not_found(f_disks)},
      {"no extents", "", "$G:", ""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    expect_run(Host(names_host(row.mountvol)).run(row.args), "", row.err);
  }
}

// QRY_BUF_SZ sets the base size S of the DOS name list: buffers of S, 2S, 3S ... bytes (two
// of them kept for string ends) until the list leaves more than 512 units free.
TEST(BadInputNames, ListBufferSetting) {
  const Host host(names_host(""));
  const std::pair<const char*, std::uint64_t> cases[] = {{nullptr, 16384},
                                                         {"0", 16384},
                                                         {"-5", 16384},
                                                         {"abc", 16384},
                                                         {"1", 1},
                                                         {"  77xyz", 77},
                                                         {"99999999999", 0xFFFFFFFFu}};
  const std::regex attempt(R"(QueryDosDevice \* size=(\d+) -> (error 122|\d+)\n)");
  for (const auto& [value, base] : cases) {
    SCOPED_TRACE(value ? value : "(unset)");
    const RunResult r = host.run("$C:", {}, value ? Env{{"QRY_BUF_SZ", value}} : Env{});
    expect_run(r, "", not_found({"C:\\Vol3\\Dsk1"}));
    const std::string trace = host.trace();
    std::vector<std::uint64_t> sizes, expected;
    std::uint64_t units = 0;
    for (std::sregex_iterator m(trace.begin(), trace.end(), attempt), end; m != end; ++m) {
      sizes.push_back(std::stoull((*m)[1]));
      if ((*m)[2] != "error 122") units = std::stoull((*m)[2]);
    }
    ASSERT_NE(units, 0u) << trace;
    for (std::uint64_t k = base < 2 ? 2 : 1; expected.empty() || expected.back() <= units + 512;
         ++k)
      expected.push_back(base * k - 2);
    EXPECT_EQ(sizes, expected);
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
