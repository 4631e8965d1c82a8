// Inquiry data the devices send: every additional length on one array volume, pages
// shorter or longer than their length bytes, vendor pages cut short, the property
// fallbacks with oversized answers, and the time-out setting in all its forms.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "e2e/bad_input_support.h"
#include "e2e/example_support.h"

namespace vox::e2e::bad_input {
namespace {

// A volume whose serial text puts it in group P, so that its identity comes from the
// standard data once the family gate holds (n = 43), with every field the standard data
// can carry and additional length n. Page 0x83 gives the same identity below the gate.
hostgen::Image every_field(int n) {
  std::array<std::uint8_t, 8> remote{2, 3};
  std::array<std::uint8_t, 64> local{1, 3};
  local[5] = 2;
  local[20] = 1;
  return StdInquiryBuilder()
      .additional_length(static_cast<std::uint8_t>(n))
      .serial_text("71012345")
      .ldev_text(format("%04X", n))
      .port('1', 'a')
      .pair_states(2, 1, 3, 0)
      .raid({0x01, 0x02, 0x05, 0x00, 0x04, 0x00, 0xFF})
      .host_wwns(0x50060e8000000001u, 0x50060e8000000002u)
      .vol_attr(1, 0)
      .host_group(3)
      .sl_cl(16, 32)
      .mu_tables(remote, local)
      .bitmap_page(0, 1)
      .bitmap_page(3, 7)
      .nic_name("NIC-NAME")
      .build();
}

// The port as the CLI tables show it: from page 0x83 below the family gate, "-" from
// standard data without port bytes (n < 51), the host group with -fg from n = 119.
std::string port(int n, bool host_group) {
  if (n >= 43 && n < 51) return "-";
  return host_group && n >= 119 ? "CL1-A-3" : "CL1-A";
}

// The rows of the three table runs over disk n (name Harddisk<n>, LDEV n), as the length
// rules fill the record: pair states from 51, RAID bytes from 99, host WWNs from 115,
// volume attributes and host group from 119, SL and CL from 139, MU tables from 179,
// bitmap counters from 207, NIC name from 239.
std::string cli_row(int n) {
  const std::string name = "Harddisk" + std::to_string(n) + (n >= 119 ? "*" : "");
  std::string mu = "-" + std::string(69, ' ');
  if (n >= 51) {
    std::string local(63, '-');
    local[0] = 'S';
    if (n >= 179) {
      local[4] = 'P';
      local[19] = 's';
    }
    mu = (n >= 179 ? "PS--" : "P---") + std::string("/s/") + local;
  }
  const std::string nic = n >= 239 ? "NIC-NAME" : "-";
  if (n < 99) {
    return format("%-15s %-7s %6d %5d %3s  %s  %4s %7s %-16s\n", name.c_str(),
                  port(n, true).c_str(), 71012345, n, "-", mu.c_str(), "-", "-", nic.c_str());
  }
  return format("%-15s %-7s %6d %5d %3s  %s  %02X%02X %X:%02d-%02d %-16s\n", name.c_str(),
                port(n, true).c_str(), 71012345, n, "-", mu.c_str(), 0, 4, 5, 1, 2, nic.c_str());
}
std::string wwn_row(int n) {
  return format("%-15s %-16s %2s %-7s %3s %8d %5d %-16s\n",
                ("Harddisk" + std::to_string(n)).c_str(), n >= 115 ? "50060e8000000001" : "-", "-",
                port(n, false).c_str(), "-", 71012345, n, "OPEN-V");
}
std::string bitmap_row(int n) {
  const std::string name = "Harddisk" + std::to_string(n);
  const char* id = n >= 139 ? "16" : "-";
  const char* cl = n >= 139 ? "32" : "-";
  if (n < 207) {
    return format("%-15s %-7s %6d %5d %2s %2s %7s %7s  %-16s\n", name.c_str(),
                  port(n, false).c_str(), 71012345, n, id, cl, "-", "-", "OPEN-V");
  }
  return format("%-15s %-7s %6d %5d %2s %2s %7d %7d  %-16s\n", name.c_str(), port(n, false).c_str(),
                71012345, n, id, cl, n - 206, 7, "OPEN-V");
}

TEST(BadInputInquiry, EveryAdditionalLength) {
  Json disks = Json::array();
  for (int n = 0; n < 256; ++n) {
    Json d = disk(n, every_field(n));
    d["pages"]["83"]["data"] = hex(rb_page(71012345, n).build());
    disks.push_back(d);
  }
  const Host host(Json{{"disks", disks}});
  const struct {
    std::vector<std::string> args;
    std::string header;
    std::string (*row)(int);
  } cases[] = {
      {{"-CLI", "-fw", "-fp", "-fg", "-fn"},
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H.../M/.." + std::string(61, ' ') +
           "  SSID R:Group LDEV_NIC_NAME\n",
       cli_row},
      {{"-CLIWP"},
       "DEVICE_FILE     PWWN             AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n",
       wwn_row},
      {{"-sort", "-CLIB"},
       "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +LQ/LQ  UNUSED  PRODUCT_ID\n",
       bitmap_row},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    std::vector<std::string> args = c.args;
    args.push_back("hd0-255");
    const RunResult r = host.run(args);
    std::string expected = c.header;
    for (int n = 0; n < 256; ++n) expected += c.row(n);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_code, 0);
  }
  // The standard data dump takes byte 4 + 5 bytes, past the 255 the device sends:
  // offsets 0x00 to 0x103, the last line with one group of four zero bytes.
  const RunResult r = host.run({"-inqdump", "hd255"});
  const std::string out = example::without_addresses(r.out);
  EXPECT_NE(out.find(format("%-60s%-18s\n", "[0x@@@@@@@@]0100:   00000000", "....") +
                     "               ***** P83 inquiry dump  *****\n"),
            std::string::npos)
      << out;
}

TEST(BadInputInquiry, PagesAgainstTheirLengthBytes) {
  const std::string tail = " [TARVELO ] [OPEN-V          ]\n";
  const std::string rb = "Harddisk1 -> [RB] CL1-A Ser =   12345 LDEV =1234" + tail;
  const std::string not_raid = format("Harddisk1 -> %-35s", "NOT supported RAID.") + tail;
  const hostgen::Image full = rb_page(12345, 1234).build();
  const auto cut = [](const hostgen::Image& page, std::size_t size) {
    return std::vector<std::uint8_t>(page.begin(), page.begin() + static_cast<long>(size));
  };
  std::vector<std::uint8_t> long_page(full.begin(), full.end());
  long_page.resize(400, 0xEE);
  // [MV] volume 123456/1234 on port 17 (CL2-B), second WWN layout announced.
  const auto mv = [](std::uint8_t p32, std::uint8_t p33) {
    return Page83Builder()
        .identifier("TARVELO N161E24004D2")
        .port_bytes(p32, p33)
        .page_length(80)
        .second_id_length(16)
        .build();
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> page;
    std::vector<std::string> args;
    std::string out;
    std::string err;
  } cases[] = {
      // Length byte 0xFF, data ending after the LDEV: the port bytes read as zero, and
      // the port name ends at the first of them.
      {"page cut after the LDEV",
       cut(rb_page(12345, 1234).page_length(0xFF).build(), 27),
       {},
       "Harddisk1 -> [RB] CL Ser =   12345 LDEV =1234" + tail,
       ""},
      // Only the low length byte is read: 0x011D is too short, 0x012C long enough.
      {"length 0x011D",
       cut(rb_page(12345, 1234).page_length(0x1D).byte(2, 1).build(), 255),
       {},
       "",
       not_raid},
      {"length 0x012C",
       cut(rb_page(12345, 1234).page_length(0x2C).byte(2, 1).build(), 255),
       {},
       rb,
       ""},
      {"page of four bytes", {0x00, 0x83, 0x00, 0xFF}, {}, "", not_raid},
      {"page of no bytes", {}, {}, "", not_raid},
      {"page of 400 bytes", long_page, {}, rb, ""},
      {"WWN past the end of the page",
       cut(mv(4, 1), 40),
       {"-CLIW"},
       "DEVICE_FILE     WWN              AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n" +
           format("%-15s %-16s %2s %-7s %3s %8d %5d %-16s\n", "Harddisk1", "0000000000000000", "00",
                  "CL2-B", "0", 123456, 1234, "OPEN-V"),
       ""},
      {"port 256 in a short page",
       cut(mv(64, 0), 34),
       {},
       "",
       "Harddisk1 -> Invalid port number       Port = 256" + tail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Json d = disk(1, volume_std());
    d["pages"]["83"]["data"] = hex(c.page);
    const Host host(Json{{"disks", {d}}});
    std::vector<std::string> args = c.args;
    args.push_back("hd1");
    const RunResult r = host.run(args);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit_code, 0);
  }
}

// Standard data and vendor pages of odd sizes, and the property queries that stand in
// when the pass-through answers "not ready", with answers larger than their buffers.
TEST(BadInputInquiry, StandardDataVendorPageAndFallbacks) {
  const std::string tail = " [TARVELO ] [OPEN-V          ]\n";
  const std::string rb = "Harddisk1 -> [RB] CL1-A Ser =   12345 LDEV =1234";
  const std::string page = hex(rb_page(12345, 1234).build());
  std::vector<std::uint8_t> long_std(600, 0xEE);
  const hostgen::Image std35 = volume_std();
  std::copy(std35.begin(), std35.begin() + 255, long_std.begin());
  // Two identifiers of 300 bytes: the first carries the [RB] text, the second starts
  // with the port bytes, which land at page bytes 32 and 33.
  const hostgen::Image rb_bytes = rb_page(12345, 1234).build();
  std::vector<std::uint8_t> first(rb_bytes.begin() + 8, rb_bytes.end());
  first.resize(300, ' ');
  std::vector<std::uint8_t> second(300, ' ');
  second[0] = '1';
  second[1] = 'a';
  const Json two_ids = Json::array({{{"code_set", 2}, {"type", 1}, {"id", hex(first)}},
                                    {{"code_set", 1}, {"type", 3}, {"id", hex(second)}}});
  const struct {
    const char* what;
    Json disk;
    std::vector<std::string> args;
    std::string out;
    std::string err;
  } cases[] = {
      {"standard data of no bytes",
       Json{{"number", 1}, {"inquiry", ""}},
       {},
       "",
       "Harddisk1 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83] [] []\n"},
      {"standard data of 600 bytes",
       Json{{"number", 1}, {"inquiry", hex(long_std)}, {"pages", {{"83", {{"data", page}}}}}},
       {},
       rb + tail,
       ""},
      // The vendor page header is all the decoder checks; the rest reads as zero.
      {"vendor page of four bytes",
       Json{{"number", 1},
            {"inquiry", hex(volume_std())},
            {"pages", {{"E2", {{"data", "00 e2 02 ff"}}}}}},
       {"-CLI", "-fr"},
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM\n" +
           format("%-15s %-7s %6d %5s %3s  %s  %4s %7s %-16s\n", "Harddisk1", "-", 0, "0", "-",
                  "     -", "-", "-", "       0      0  -"),
       ""},
      {"vendor page with length 0x03FF",
       Json{{"number", 1},
            {"inquiry", hex(volume_std())},
            {"pages", {{"E2", {{"data", "00 e2 03 ff"}}}}}},
       {"-fr"},
       "",
       format("Harddisk1 -> %-35s", "NOT supported RAID for PageE2.") + tail},
      // Raw device properties of fewer than 36 bytes give an all-zero standard image.
      {"short device properties",
       Json{{"number", 1},
            {"inquiry_error", 21},
            {"device_property", "00 00 06 02"},
            {"pages", {{"83", {{"data", page}}}}}},
       {},
       rb + " [] []\n",
       ""},
      // 600 bytes do not fit the 512-byte descriptor; byte 4 becomes 595 - 512.
      {"device properties of 600 bytes",
       Json{{"number", 1},
            {"inquiry_error", 21},
            {"device_property", hex(long_std)},
            {"pages", {{"83", {{"data", page}}}}}},
       {},
       rb + tail,
       ""},
      {"identifiers of 300 bytes",
       Json{{"number", 1},
            {"inquiry", hex(volume_std())},
            {"pages", {{"83", {{"error", 21}}}}},
            {"id_property", two_ids}},
       {},
       rb + tail,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Host host(Json{{"disks", {c.disk}}});
    std::vector<std::string> args = c.args;
    args.push_back("hd1");
    const RunResult r = host.run(args);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.exit_code, 0);
  }
}

// VEXACM_INQ_TOV in milliseconds, as the trace shows the seconds handed to the adapter:
// the standard INQUIRY converts in signed arithmetic, the page INQUIRY in unsigned.
TEST(BadInputInquiry, TimeOutSetting) {
  Json d = disk(1, volume_std());
  d["pages"]["83"]["data"] = hex(rb_page(12345, 1234).build());
  const Host host(Json{{"disks", {d}}});
  const struct {
    const char* value;  // null: unset
    const char* std_seconds;
    const char* page_seconds;
  } cases[] = {
      {nullptr, "4", "4"},
      {"", "2", "2"},
      {"0", "2", "2"},
      {"abc", "2", "2"},
      {"  +10000x", "12", "12"},
      {"-1", "2", "4294969"},
      {"-2500", "0", "4294966"},
      {"-5000", "4294967293", "4294964"},
      {"99999999999", "2147485", "2147485"},
      {"-99999999999", "4292819815", "2147485"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value ? c.value : "(unset)");
    Env env;
    if (c.value) env.emplace_back("VEXACM_INQ_TOV", c.value);
    const RunResult r = host.run({"-CLI", "hd1"}, {}, env);
    EXPECT_EQ(r.exit_code, 0);
    const std::string trace = host.trace();
    for (const std::string& line :
         {std::string("cdb=12000000ff00 length=256 timeout=") + c.std_seconds + " -> ok status=0\n",
          std::string("cdb=12018300ff00 length=255 timeout=") + c.page_seconds +
              " -> ok status=0\n"}) {
      EXPECT_NE(trace.find(line), std::string::npos) << line << trace;
    }
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
