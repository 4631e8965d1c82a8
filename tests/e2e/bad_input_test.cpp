// What a user sees for hostile input: files, devices, text and settings past every limit.
// Whatever the input, every run ends by itself (no signal) within the harness's time limit.
#include <array>
#include <cstdarg>

#include "e2e/example_support.h"
#include "tools/hostgen/host_json.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::e2e::bad_input {
namespace {

using Bytes = std::vector<std::uint8_t>;
using example::expect_run, example::words, hostgen::Json, hostgen::Page83Builder,
    hostgen::StdInquiryBuilder;
using namespace std::string_literals;
std::string format(const char* f, ...) {
  std::array<char, 1024> text{};  // every text formatted here is shorter
  va_list args;
  va_start(args, f);
  const int n = std::vsnprintf(text.data(), text.size(), f, args);
  va_end(args);
  return std::string(text.data(), static_cast<std::size_t>(std::clamp(n, 0, 1023)));
}
std::string repeat(int count, const std::string& text) {
  std::string all;
  for (int i = 0; i < count; ++i) all += text;
  return all;
}
const auto hex = [](std::span<const std::uint8_t> b) { return hostgen::hex_rows(b, 0); };
Bytes cut(const hostgen::Image& bytes, std::size_t n) {
  return {bytes.begin(), bytes.begin() + n};
}
// Standard data leaving every vendor field unread; page 0x83 of an [RB] volume on CL1-A.
const hostgen::Image kVolumeStd = StdInquiryBuilder().additional_length(35).build();
Page83Builder rb_page(int serial, int ldev) {
  return Page83Builder().identifier(format("N14  %08d %05d", serial, ldev)).port_bytes('1', 'a');
}
// Disk `number`: volume 12345/1234, its identity from page 0x83.
Json rb_disk(int number, const hostgen::Image& inquiry = kVolumeStd) {
  const std::string page = hex(rb_page(12345, 1234).build());
  return Json{{"number", number}, {"inquiry", hex(inquiry)}, {"pages", {{"83", {{"data", page}}}}}};
}
const std::string kTail = " [TARVELO ] [OPEN-V          ]\n", kOpenV = "[OPEN-V          ]\n";
// Probes of drives the host lacks; a display name too long for its 256-byte buffer.
std::string not_found(const std::vector<std::string>& names, const std::string& prefix = "") {
  std::string text;
  for (const std::string& name : names)
    text += prefix + name + " -> OPEN : [2] The system cannot find the file specified.\n";
  return text;
}
std::string refused(const std::string& name) {
  return name.substr(0, 255) + " -> Device name too long.              \n";
}
testing::AssertionResult holds(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

// A host image in a folder of its own, and runs of voxmira over it with a fresh trace.
struct Host {
  explicit Host(const std::string& text) : path(dir.write("host.json", text)) {}
  explicit Host(const Json& image) : Host(image.dump()) {}
  RunResult run(const std::string& args, std::string in = {}, Env env = {}) const {
    std::filesystem::remove(dir.file("trace.txt"));
    env.insert(env.end(), {{"VOXMIRA_HOST", path}, {"VOXMIRA_TRACE", dir.file("trace.txt")}});
    RunResult r = vox::e2e::run(Invocation{"voxmira", words(args), env, "", std::move(in)});
    EXPECT_TRUE(r.exec_error.empty() && r.signal == 0 && !r.timed_out) << r.exec_error;
    return r;
  }
  std::string trace() const { return read_output_file(dir.file("trace.txt")); }
  TempDir dir;
  std::string path;
};

// Nothing else runs (-h shows it): status 1, one line on stderr naming the file and the place.
TEST(BadInputHostImage, RefusedInOneLine) {
  std::string every_byte;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);  // NUL has a row of its own
  const struct {
    const char* what;
    std::string text, place;  // text empty: the path is a folder
  } cases[] = {
      {"a folder", "", "cannot be read"},
      {"binary junk", every_byte, "line 1, column 1: syntax error"},
      {"past a double", R"({"disks": [{"number": 1e400}]})", "number overflow parsing '1e400'"},
      {"NUL and junk after", "{\"disks\": []}\0{junk"s, "line 1, column 14: NUL byte in the text"},
      {"disk number twice", R"({"disks": [{"number": 0}, {"number": 0}]})", "disks[1].number: "},
      {"arrays 100,000 deep",
       "{\"_note\": " + std::string(100000, '[') + std::string(100000, ']') + ", \"disks\": []}",
       "_note: nested deeper than 512 levels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Host host(c.text);
    if (c.text.empty() && std::filesystem::remove(host.path))
      std::filesystem::create_directory(host.path);
    const RunResult r = host.run("-h");
    EXPECT_TRUE(r.out.empty() && r.exit_code == 1 &&
                r.err.starts_with("voxmira: host image '" + host.path + "': "));
    EXPECT_TRUE(holds(r.err, c.place));
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

const std::string kRestoreError = "ERROR: [VOL12345_1234] -> Harddisk1        " + kOpenV;
// Disk 1: volume 12345/1234 with one MBR partition.
Json layout_host() {
  Json d = rb_disk(1);
  d["layout"] = Json::parse(R"({"style": "mbr", "signature": "0x5A1B2C3D",
      "partitions": [{"offset": 1048576, "length": 104857600, "type": 7}]})");
  return Json{{"disks", {d}}};
}
// A 200-byte header naming serial and LDEV, then junk. The trace shows what was read and any
// SET sent; the host image, which a successful SET rewrites, shows the disk unchanged.
TEST(BadInputLayout, FilesThatDoNotFit) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses windir itself";
  const auto file = [](std::uint32_t serial, std::size_t size) {
    std::string text = "DEVFILE = \\\\.\\PhysicalDrive1\n" + std::string(163, '\0');  // to byte 192
    for (const std::uint32_t v : {serial, 1234u})
      for (int k = 0; k < 4; ++k) text += static_cast<char>(v >> (8 * k));
    return text.resize(size, '\x5a'), text;
  };
  const Host host(layout_host());
  const std::string windir = host.dir.file("win"), name = windir + "\\VOL12345_1234.ini";
  std::filesystem::create_directories(windir);
  const std::string too_short = " is too short for its 200-byte header\n" + kRestoreError;
  const struct {
    std::string file, err;  // err empty: the header matches, so the layout goes to the disk
  } cases[] = {
      {"", name + " : layout file of 0 bytes" + too_short},
      {file(12345, 199), name + " : layout file of 199 bytes" + too_short},
      {file(~0u, 200000),
       "PhysicalDrive1 unmatch : ser = 12345 -> -1,ldev = 1234 -> 1234" + kRestoreError},
      {file(12345, 200), ""},  // the only check: the disk gets the junk, and refuses it
      {file(12345, 200000), ""},
  };
  for (const auto& [option, set, cap] : {std::tuple{"-svinf", "IOCTL_SET_DRIVE_LAYOUT", 32976ul},
                                         {"-svinfex", "IOCTL_SET_DRIVE_LAYOUT_EX", 147704ul}}) {
    for (const auto& c : cases) {  // cap: the file image of each form
      SCOPED_TRACE(option + std::to_string(c.file.size()));
      host.dir.write("win/VOL12345_1234.ini", c.file);
      const std::string before = read_output_file(host.path);
      const RunResult r = host.run(option + " hd1"s, {}, {{"windir", windir}});
      const std::string refused = set + " : [87] The parameter is incorrect.\n"s + kRestoreError;
      expect_run(r, "", c.err.empty() ? refused : c.err, 1);
      const std::string trace = host.trace();
      EXPECT_TRUE(holds(trace, format("ReadFile %s %zu -> ok %zu\n", name.c_str(), cap,
                                      std::min(c.file.size(), cap))));
      EXPECT_EQ(trace.find(" 0x0007c010") != trace.find(" 0x0007c054"), c.err.empty()) << trace;
      EXPECT_EQ(read_output_file(host.path), before);
    }
  }
}

// Under VEXAM_USE_TEMP the layout folder is TEMP: 255 characters fit its buffer, 256 do not.
TEST(BadInputLayout, FolderLength) {
  if (wine_mode()) GTEST_SKIP() << "Wine chooses TEMP itself";
  const Host host(layout_host());
  const std::string f255 = host.dir.path() + "/" + std::string(254 - host.dir.path().size(), 'e');
  std::filesystem::create_directory(f255);
  const std::string too_long =
      " characters is too long for a layout file folder (at most 255)\n"
      "Createfile : [3] The system cannot find the path specified.\nERROR: ";
  const std::string tag = "Harddisk1        -> [VOL12345_1234";
  const struct {
    std::string temp, args, out, err;
  } cases[] = {
      {f255, "-gvinf", "\\\\.\\PhysicalDrive1:\n# " + tag + "_5A1B2C3D] " + kOpenV, ""},
      {f255 + "e", "-gvinf", "", "TEMP : value of 256" + too_long + tag + "] " + kOpenV},
      {std::string(300, 'f'), "-svinf", "",
       "TEMP : value of 300" + too_long + kRestoreError.substr(7)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + " " + std::to_string(c.temp.size()));
    const RunResult r = host.run(c.args + " hd1", {}, {{"VEXAM_USE_TEMP", ""}, {"TEMP", c.temp}});
    expect_run(r, c.out, c.err, c.err.empty() ? 0 : 1);
  }
}

// Disk n: additional length n, every field; group P, identified by page 0x83 below n = 43.
Json every_field(int n) {
  std::array<std::uint8_t, 8> remote{2, 3};
  std::array<std::uint8_t, 64> local{1, 3};
  local[5] = 2, local[20] = 1;
  StdInquiryBuilder b;
  b.additional_length(static_cast<std::uint8_t>(n)).serial_text("71012345").port('1', 'a');
  b.ldev_text(format("%04X", n)).pair_states(2, 1, 3, 0).raid({1, 2, 5, 0, 4, 0, 0xFF});
  b.vol_attr(1, 0).host_group(3).mu_tables(remote, local).nic_name("NIC-NAME");
  Json d = rb_disk(n, b.build());
  d["pages"]["83"]["data"] = hex(rb_page(71012345, n).build());
  return d;
}
// Its CLI row: port and pair states from 51, RAID 99, host group 119, MU 179, NIC name 239.
std::string cli_row(int n) {
  std::string mu =
      n < 179 ? "P---/s/S" + std::string(62, '-') : "PS--/s/S---P" + std::string(58, '-');
  if (n >= 179) mu[26] = 's';
  const char* port = n >= 43 && n < 51 ? "-" : n >= 119 ? "CL1-A-3" : "CL1-A";
  return format("Harddisk%-7s %-7s 71012345 %5d   -  %s  %s %-16s\n",
                (std::to_string(n) + (n >= 119 ? "*" : "")).c_str(), port, n,
                n < 51 ? ("-" + std::string(69, ' ')).c_str() : mu.c_str(),
                n < 99 ? "   -       -" : "0004 5:01-02", n < 239 ? "-" : "NIC-NAME");
}
TEST(BadInputInquiry, EveryAdditionalLength) {
  Json disks = Json::array();
  for (int n = 0; n < 256; ++n) disks.push_back(every_field(n));
  const Host host(Json{{"disks", disks}});
  std::string cli = "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H.../M/.." + std::string(61, ' ') +
                    "  SSID R:Group LDEV_NIC_NAME\n";
  for (int n = 0; n < 256; ++n) cli += cli_row(n);
  expect_run(host.run("-CLI -fw -fp -fg -fn hd0-255"), cli, "");
  // The dump takes byte 4 + 5 bytes, past the 255 sent: a last line of four zero bytes.
  const std::string out = example::without_addresses(host.run("-inqdump hd255").out);
  EXPECT_TRUE(holds(out, format("%-60s%-18s\n", "[0x@@@@@@@@]0100:   00000000", "....") +
                             "               ***** P83 inquiry dump  *****\n"));
}

// Pages, standard data and vendor pages shorter or longer than their length bytes.
TEST(BadInputInquiry, OddSizes) {
  const std::string std35 = hex(kVolumeStd);
  const std::string not_raid = format("Harddisk1 -> %-35s", "NOT supported RAID.") + kTail;
  const auto disk1 = [&](const char* code, const Bytes& page, const std::string& inquiry) {
    return Json{{"number", 1}, {"inquiry", inquiry}, {"pages", {{code, {{"data", hex(page)}}}}}};
  };
  const auto p83 = [&](const Bytes& page) { return disk1("83", page, std35); };
  const auto rb_len = [](std::uint8_t low) {
    return rb_page(12345, 1234).page_length(low).byte(2, 1).build();
  };
  // [MV] volume 123456/1234 on port p32/p33, the second WWN layout announced, cut to `size`.
  const auto mv = [](std::uint8_t p32, std::uint8_t p33, std::size_t size) {
    Page83Builder b;
    b.identifier("TARVELO N161E24004D2").port_bytes(p32, p33).page_length(80).second_id_length(16);
    return cut(b.build(), size);
  };
  const struct {
    const char* what;
    Json disk;
    std::string args, out, err;
  } cases[] = {
      // Length 0xFF, data ending after the LDEV: the port bytes read as zero.
      {"page cut after the LDEV", p83(cut(rb_len(0xFF), 27)), "",
       "Harddisk1 -> [RB] CL Ser =   12345 LDEV =1234" + kTail, ""},
      {"length 0x011D, whose low byte alone counts", p83(cut(rb_len(0x1D), 255)), "", "", not_raid},
      {"page of no bytes", p83({}), "", "", not_raid},
      {"port 256 in a short page", p83(mv(64, 0, 34)), "", "",
       "Harddisk1 -> Invalid port number       Port = 256" + kTail},
      {"standard data of no bytes", Json{{"number", 1}, {"inquiry", ""}}, "", "",
       "Harddisk1 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83] [] []\n"},
      {"vendor page with length 0x03FF", disk1("E2", {0, 0xE2, 3, 0xFF}, std35), "-fr", "",
       format("Harddisk1 -> %-35s", "NOT supported RAID for PageE2.") + kTail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    expect_run(Host(Json{{"disks", {c.disk}}}).run(c.args + " hd1"), c.out, c.err);
  }
}

// VEXACM_INQ_TOV (ms) as the seconds the trace shows: signed for the standard INQUIRY,
// unsigned for the page INQUIRY. Triples: the value (null: unset), then the two times.
TEST(BadInputInquiry, TimeOutSetting) {
  const Host host(Json{{"disks", {rb_disk(1)}}});
  const std::vector<const char*> cases = {
      nullptr,        "4",          "4",       "0",           "2",       "2",
      "abc",          "2",          "2",       "-1",          "2",       "4294969",
      "-5000",        "4294967293", "4294964", "99999999999", "2147485", "2147485",
      "-99999999999", "4292819815", "2147485"};
  for (std::size_t k = 0; k < cases.size(); k += 3) {
    const auto [value, std_s, page_s] = std::tuple(cases[k], cases[k + 1], cases[k + 2]);
    SCOPED_TRACE(value ? value : "(unset)");
    const Env env = value ? Env{{"VEXACM_INQ_TOV", value}} : Env{};
    EXPECT_EQ(host.run("-CLI hd1", {}, env).exit_code, 0);
    const std::string trace = host.trace();
    EXPECT_TRUE(holds(trace, format("cdb=12000000ff00 length=256 timeout=%s -> ok", std_s)));
    EXPECT_TRUE(holds(trace, format("cdb=12018300ff00 length=255 timeout=%s -> ok", page_s)));
  }
}

// The host has no disks: each probed name is one "OPEN" line on stderr, in order.
TEST(BadInputStdin, WhichDevicesAreProbed) {
  const auto hd = [](const std::string& numbers) { return not_found(words(numbers), "Harddisk"); };
  std::string hd150, n150, every_byte, junk;
  for (int d = 1; d <= 150; ++d)
    hd150 += "hd" + std::to_string(d) + " ", n150 += std::to_string(d) + " ";
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  for (char& ch : junk = repeat(4096, every_byte))
    ch = std::isdigit(static_cast<unsigned char>(ch)) ? '$' : ch;
  const std::string max = "2147483647 ", echo255 = "\\Dsk9" + std::string(250, 'x');
  const struct {
    const char* what;
    std::string in, err, args = {};
  } cases[] = {
      // A line stops after its 99th word; the rest is a line whose first word is a first word.
      {"150 words: every one, in order", hd150 + "\n", hd(n150)},
      {"quit as word 100 ends the run", repeat(99, "x ") + "quit hd1\nhd2\n", ""},
      {"quit as word 99 is a word", repeat(98, "x ") + "quit hd1\nhd2\n", hd("1 2")},
      // A line holds 25598 characters; a word across the limit becomes two.
      {"hd345 ends at 25598", std::string(25593, ' ') + "hd345\n", hd("345")},
      {"hd345 cut after hd34", std::string(25594, ' ') + "hd345\n", hd("34 5")},
      {"100,000 digits: four largest ints", std::string(100000, '1') + "\n", hd(repeat(4, max))},
      {"range to past int", "hd2147483646-99999999999\n", hd("2147483646 " + max)},
      {"NUL ends the word it is in", "hd1\0hd2 hd3\n\0hd4 hd5\n"s, hd("1 3 5")},
      // "0123456789" is the digit run; the Windows runtime's text mode ends STDIN at 0x1A.
      {"every byte value", every_byte + "\n", wine_mode() ? "" : hd("123456789")},
      {"a megabyte of every byte but digits", junk, "", "-CLI"},
      {"CR LF, tabs, blanks", "hd1\r\n\t\thd2\t \thd3  \n \t \n", hd("1 2 3")},
      {"last line without a line feed", "hd1\nhd2", hd("1")},
      {"no input at all", "", ""},
      // 255 characters fit a display name; longer ones are refused with their first 255.
      {"echo word of 255", echo255 + "\n", not_found({echo255})},
      {"echo word of 256", echo255 + "y hd1\n", refused(echo255) + hd("1")},
      {"echo argument of 30,000", "", refused(echo255), "\\Dsk9" + std::string(29995, 'x')},
  };
  const Host host(Json{{"disks", Json::array()}});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    expect_run(host.run(c.args, c.in), "", c.err);
  }
}

// The pair-status tool's answer, printed by a script that stands in for it.
TEST(BadInputTwinlist, Answers) {
  if (wine_mode()) GTEST_SKIP() << "the stand-in is a POSIX shell script";
  const std::string own =
      "Group PairVol L/R Device_File Serial# LDEV# P/S Status Seq# P-LDEV# M\n"
      "VG01 boot L Harddisk1 12345 1234 P-VOL PAIR x 150000 2816 0";
  const std::string partner = " boot R Harddisk2 150000 2816 S-VOL PAIR x 12345 1234 0";
  const std::string table =
      "DEVICE_FILE    M  Group    PairVol    P/S   Stat  R_DEVICE    M  P/S   Stat LK\n"
      "Harddisk1      -  VG01     boot       P-VOL PAIR  Harddisk2   -  S-VOL PAIR OK\n";
  const std::string no_such = "Harddisk1[-] -> No such on the group\n", x(100000, 'x'),
                    lines = repeat(5000, "line\n");
  const struct {
    std::string args, answer;
    int status;
    std::string out, err;
  } cases[] = {
      {"-findc", own + "\nVG01" + partner, 0, table, ""},         // no last line feed
      {"-findc", own + "\0j\nVG01\0x"s + partner, 0, table, ""},  // NUL ends its field
      {"-findc", lines, 0, "", no_such},
      // 300,000 characters, no line feed: lines of 25598 with one field each, none a pair line.
      {"-findc", x + x + x, 0, "", no_such},
      {"-findc", own + "\nVG01" + partner, 1, "", no_such},
      {"-find", lines, 0, lines + "->Harddisk1\n", ""},  // as the tool prints it
      {"-find", x, 3, x, "Harddisk1 -> No such on the group\n"},
  };
  // Volume 12345/1234 as a remote copy P-VOL: -findc asks for remote MU 0 (label "-").
  StdInquiryBuilder std55;
  std55.additional_length(55).serial_text("0300").pair_states(2, 0, 0, 0);
  const Host host(Json{{"root", "root"}, {"disks", {rb_disk(1, std55.build())}}});
  host.dir.write("root/VEXAM/etc/twinlist.exe",
                 "#!/bin/sh\ncat \"${0%/*}/answer\"\nexit $(cat \"${0%/*}/status\")\n");
  std::filesystem::permissions(host.dir.file("root/VEXAM/etc/twinlist.exe"),
                               std::filesystem::perms::owner_all);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + " " + c.answer.substr(0, 80) + " status " + std::to_string(c.status));
    host.dir.write("root/VEXAM/etc/answer", c.answer);
    host.dir.write("root/VEXAM/etc/status", std::to_string(c.status));
    expect_run(host.run(c.args + " hd1"), c.out, c.err);
  }
}

const std::string kVolume507 = "Volume{" + std::string(499, 'w') + "}";  // + "\\.\" = 511
// C: on disk 1, "Volume{...}" on disk 2, E: a target past 512 bytes, F: on disks 0 to 1499.
Json names_host(const std::string& mountvol_output) {
  Json host = Json::parse(
      R"({"disks": [], "volumes": [{"target": "\\Device\\HarddiskVolume3", "disks": [1]},
      {"target": "\\Device\\HarddiskVolume4", "disks": [2]}, {"target": "\\Device\\HarddiskVolume5", "disks": []}]})");
  const std::vector<std::string> pairs =
      words("C: 3 Volume{m} 4 Volume{" + std::string(500, 'w') + "} 4 " + kVolume507 + " 4 E: 9" +
            std::string(600, 'x') + " F: 5");
  for (std::size_t k = 0; k < pairs.size(); k += 2)
    host["dos_devices"].push_back(
        {{"name", pairs[k]}, {"target", "\\Device\\HarddiskVolume" + pairs[k + 1]}});
  for (int d = 0; d < 1500; ++d) host["volumes"][2]["disks"].push_back(d);
  host["mountvol_output"] = mountvol_output;
  return host;
}
TEST(BadInputNames, MountvolAndDosNames) {
  const std::string vm = "\\\\?\\Volume{m}\\\n", v4 = "\\Vol4\\Dsk2",
                    c = not_found({"C:\\Vol3\\Dsk1"});
  // 33,333 times a volume, a mount point on D: and a blank line, then two mount points on C:.
  std::string many;
  for (int k = 0; k < 33333; ++k) many += vm + "  D:\\n\\" + std::to_string(k) + "\\\n\n";
  many += vm + "  C:\\\n  C:\\mnt\\a\\\n  C:\\mnt\\b\\\n";
  // A line of 100,000 characters is four lines: its first token is too long for an entry,
  // and the next piece, no path, ends the volume. A path and 100,000 blanks is one entry.
  const std::string long_lines = vm + " C:\\\n C:\\long" + std::string(99989, 'x') +
                                 "\n C:\\after\\\n" + vm + " C:\\mnt\\c\\" +
                                 std::string(100000, ' ') + "\n C:\\mnt\\d\\\n";
  std::vector<std::string> f_disks;
  for (int d = 0; d < 1024; ++d) f_disks.push_back("F:\\Vol5\\Dsk" + std::to_string(d));
  const struct {
    const char* what;
    std::string mountvol, args, err;
  } cases[] = {
      {"100,000 lines", many, "$C: $D:\\n\\3333",
       c + not_found({"C:\\mnt\\a" + v4, "C:\\mnt\\b" + v4, "D:\\n\\3333" + v4, "D:\\n\\33330" + v4,
                      "D:\\n\\33331" + v4, "D:\\n\\33332" + v4})},
      {"lines of 100,000", long_lines,
       "$C:", c + not_found({"C:\\mnt\\c" + v4, "C:\\mnt\\d" + v4})},
      // "\\.\" and a name of 508 do not fit 512 bytes: the name is passed over; 507 is taken.
      {"volume names as prefixes", "", "-fv $Volume",
       not_found({"Volume{m}" + v4}) + refused(kVolume507)},
      {"target past 512 bytes", "", "$E:", ""},
      {"1500 extents: the first 1024 disks", "", "$F:", not_found(f_disks)},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    expect_run(Host(names_host(row.mountvol)).run(row.args), "", row.err);
  }
}

// QRY_BUF_SZ is the base size S of the DOS name list: buffers of S, 2S ... less two bytes.
TEST(BadInputNames, ListBufferSetting) {
  const Host host(names_host(""));
  const std::string q = " -> error 122\nQueryDosDevice * size=";
  const std::vector<const char*> cases = {nullptr,   "16382", "0",           "16382",
                                          "-5",      "16382", "abc",         "16382",
                                          "  77xyz", "75",    "99999999999", "4294967293"};
  for (std::size_t k = 0; k < cases.size(); k += 2) {
    const auto [value, sizes] = std::pair(cases[k], cases[k + 1]);
    SCOPED_TRACE(value ? value : "(unset)");
    const RunResult r = host.run("$C:", {}, value ? Env{{"QRY_BUF_SZ", value}} : Env{});
    expect_run(r, "", not_found({"C:\\Vol3\\Dsk1"}));
    EXPECT_TRUE(holds(host.trace(), "QueryDosDevice * size="s + sizes + " -> "));
  }
  // S = 1 starts at 2S, and each try adds S.
  host.run("$C:", {}, {{"QRY_BUF_SZ", "1"}});
  EXPECT_TRUE(holds(host.trace(), "QueryDosDevice * size=0" + q + "1" + q + "2" + q + "3 -> "));
}

}  // namespace
}  // namespace vox::e2e::bad_input
