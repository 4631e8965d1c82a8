// Inquiry data the devices send: every additional length, pages shorter or longer than their
// length bytes, and the time-out setting in all its forms.
#include <array>

#include "e2e/bad_input_support.h"
#include "e2e/example_support.h"

namespace vox::e2e::bad_input {
namespace {

// Disk n (LDEV n): standard data of additional length n with every field it can carry, in
// group P, whose identity comes from the standard data from n = 43 on and page 0x83 below.
Json every_field(int n) {
  std::array<std::uint8_t, 8> remote{2, 3};
  std::array<std::uint8_t, 64> local{1, 3};
  local[5] = 2, local[20] = 1;
  StdInquiryBuilder b;
  b.additional_length(static_cast<std::uint8_t>(n)).serial_text("71012345").port('1', 'a');
  b.ldev_text(format("%04X", n)).pair_states(2, 1, 3, 0).raid({1, 2, 5, 0, 4, 0, 0xFF});
  b.vol_attr(1, 0).host_group(3).sl_cl(16, 32).mu_tables(remote, local);
  b.bitmap_page(0, 1).bitmap_page(3, 7).nic_name("NIC-NAME");
  Json d = rb_disk(n, b.build());
  d["pages"]["83"]["data"] = hex(rb_page(71012345, n).build());
  return d;
}

// The rows of disk n as the length fills the record: port bytes and pair states from 51,
// RAID bytes from 99, host group from 119, SL and CL from 139, MU tables from 179, bitmap
// counters from 207, NIC name from 239.
const char* port(int n, bool group) {
  return n >= 43 && n < 51 ? "-" : group && n >= 119 ? "CL1-A-3" : "CL1-A";
}
std::string cli_row(int n) {
  std::string mu =
      n < 179 ? "P---/s/S" + std::string(62, '-') : "PS--/s/S---P" + std::string(58, '-');
  if (n >= 179) mu[26] = 's';
  return format("Harddisk%-7s %-7s 71012345 %5d   -  %s  %s %-16s\n",
                (std::to_string(n) + (n >= 119 ? "*" : "")).c_str(), port(n, true), n,
                n < 51 ? ("-" + std::string(69, ' ')).c_str() : mu.c_str(),
                n < 99 ? "   -       -" : "0004 5:01-02", n < 239 ? "-" : "NIC-NAME");
}
std::string bitmap_row(int n) {
  return format("Harddisk%-7d %-7s 71012345 %5d %s %s  OPEN-V          \n", n, port(n, false), n,
                n < 139 ? " -  -" : "16 32",
                n < 207 ? "      -       -" : format("%7d       7", n - 206).c_str());
}

TEST(BadInputInquiry, EveryAdditionalLength) {
  Json disks = Json::array();
  for (int n = 0; n < 256; ++n) disks.push_back(every_field(n));
  const Host host(Json{{"disks", disks}});
  std::string cli = "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H.../M/.." + std::string(61, ' ') +
                    "  SSID R:Group LDEV_NIC_NAME\n";
  std::string bitmap = "DEVICE_FILE     PORT    SERIAL  LDEV SL CL  +LQ/LQ  UNUSED  PRODUCT_ID\n";
  for (int n = 0; n < 256; ++n) cli += cli_row(n), bitmap += bitmap_row(n);
  expect_run(host.run("-CLI -fw -fp -fg -fn hd0-255"), cli, "");
  expect_run(host.run("-sort -CLIB hd0-255"), bitmap, "");
  // The dump of the standard data takes byte 4 + 5 bytes, past the 255 the device sends:
  // offsets up to 0x103, the last line with one group of four zero bytes.
  const std::string out = example::without_addresses(host.run("-inqdump hd255").out);
  EXPECT_TRUE(holds(out, format("%-60s%-18s\n", "[0x@@@@@@@@]0100:   00000000", "....") +
                             "               ***** P83 inquiry dump  *****\n"));
}

// Disk 1 with standard data `inquiry` (hex) and, when `code` is given, one page.
Json disk1(const std::string& inquiry, const char* code = nullptr, const Bytes& page = {}) {
  Json d{{"number", 1}, {"inquiry", inquiry}};
  if (code) d["pages"][code]["data"] = hex(page);
  return d;
}
Bytes cut(const hostgen::Image& bytes, std::size_t n) {
  return Bytes(bytes.begin(), bytes.begin() + n);
}

TEST(BadInputInquiry, OddSizes) {
  const std::string tail = " [TARVELO ] [OPEN-V          ]\n", std35 = hex(kVolumeStd);
  const std::string rb = "Harddisk1 -> [RB] CL1-A Ser =   12345 LDEV =1234";
  const std::string not_raid = format("Harddisk1 -> %-35s", "NOT supported RAID.") + tail;
  const auto rb_len = [](std::uint8_t low) {
    return rb_page(12345, 1234).page_length(low).byte(2, 1).build();
  };
  // [MV] volume 123456/1234 on port p32/p33, the second WWN layout announced, cut to `size`.
  const auto mv = [](std::uint8_t p32, std::uint8_t p33, std::size_t size) {
    Page83Builder b;
    return cut(b.identifier("TARVELO N161E24004D2")
                   .port_bytes(p32, p33)
                   .page_length(80)
                   .second_id_length(16)
                   .build(),
               size);
  };
  Bytes long_std = cut(kVolumeStd, 255);
  long_std.resize(600, 0xEE);
  const struct {
    const char* what;
    Json disk;
    std::string args, out, err;
  } cases[] = {
      // Length 0xFF, data ending after the LDEV: the port bytes read as zero.
      {"page cut after the LDEV", disk1(std35, "83", cut(rb_len(0xFF), 27)), "",
       "Harddisk1 -> [RB] CL Ser =   12345 LDEV =1234" + tail, ""},
      // Only the low length byte is read: 0x011D is too short, 0x012C long enough.
      {"length 0x011D", disk1(std35, "83", cut(rb_len(0x1D), 255)), "", "", not_raid},
      {"length 0x012C", disk1(std35, "83", cut(rb_len(0x2C), 255)), "", rb + tail, ""},
      {"page of no bytes", disk1(std35, "83"), "", "", not_raid},
      {"WWN past the end of the page", disk1(std35, "83", mv(4, 1, 40)), "-CLIW",
       "DEVICE_FILE     WWN              AL PORT    LUN   SERIAL  LDEV PRODUCT_ID\n"
       "Harddisk1       0000000000000000 00 CL2-B     0   123456  1234 OPEN-V          \n",
       ""},
      {"port 256 in a short page", disk1(std35, "83", mv(64, 0, 34)), "", "",
       "Harddisk1 -> Invalid port number       Port = 256" + tail},
      {"standard data of no bytes", disk1(""), "", "",
       "Harddisk1 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83] [] []\n"},
      {"standard data of 600 bytes",
       disk1(hex(long_std), "83", cut(rb_page(12345, 1234).build(), 256)), "", rb + tail, ""},
      // The vendor page header is all the decoder checks; the rest reads as zero.
      {"vendor page of four bytes", disk1(std35, "E2", {0, 0xE2, 2, 0xFF}), "-CLI -fr",
       "DEVICE_FILE     PORT    SERIAL  LDEV CTG  H/M/12  SSID R:Group R_SERIAL R_LDEV CM\n"
       "Harddisk1       -            0     0   -       -     -       -        0      0  -\n",
       ""},
      {"vendor page with length 0x03FF", disk1(std35, "E2", {0, 0xE2, 3, 0xFF}), "-fr", "",
       format("Harddisk1 -> %-35s", "NOT supported RAID for PageE2.") + tail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    expect_run(Host(Json{{"disks", {c.disk}}}).run(c.args + " hd1"), c.out, c.err);
  }
}

// VEXACM_INQ_TOV in milliseconds, as the trace shows the seconds handed to the adapter: the
// standard INQUIRY converts in signed arithmetic, the page INQUIRY in unsigned.
TEST(BadInputInquiry, TimeOutSetting) {
  const Host host(Json{{"disks", {rb_disk(1)}}});
  const char* const cases[][3] = {// the value (null: unset), then the two times in seconds
                                  {nullptr, "4", "4"},
                                  {"0", "2", "2"},
                                  {"abc", "2", "2"},
                                  {"-1", "2", "4294969"},
                                  {"-5000", "4294967293", "4294964"},
                                  {"99999999999", "2147485", "2147485"},
                                  {"-99999999999", "4292819815", "2147485"}};
  for (const auto& [value, std_s, page_s] : cases) {
    SCOPED_TRACE(value ? value : "(unset)");
    EXPECT_EQ(host.run("-CLI hd1", {}, value ? Env{{"VEXACM_INQ_TOV", value}} : Env{}).exit_code,
              0);
    const std::string trace = host.trace();
    EXPECT_TRUE(holds(trace, format("cdb=12000000ff00 length=256 timeout=%s -> ok", std_s)));
    EXPECT_TRUE(holds(trace, format("cdb=12018300ff00 length=255 timeout=%s -> ok", page_s)));
  }
}

}  // namespace
}  // namespace vox::e2e::bad_input
