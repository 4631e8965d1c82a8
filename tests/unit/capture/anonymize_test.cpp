// Anonymizing a capture: every notation of a serial number keeps its form and family, one
// array keeps one stand-in everywhere, WWNs keep their format and maker, GUIDs and
// signatures are replaced consistently. voxmira's own decoders judge.
#include "tools/capture/anonymize.h"

#include <gtest/gtest.h>

#include <cstring>

#include "inquiry/family.h"
#include "inquiry/page83.h"
#include "inquiry/std_identity.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::capture {
namespace {

using hi::Bytes;

Bytes first(const hostgen::Image& image, std::size_t n) {
  return Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
}

// A drive that shows `text` in its standard data ('s'; 'm' with the "PL00" marker), its
// page 0x83 ('p') or its vendor page ('e'); `at` is where the text stands.
hi::Disk disk(char where, const char* text, std::size_t* at = nullptr) {
  hi::Disk d;
  if (at) *at = where == 'p' ? 8 : where == 'e' ? 28 : 36;
  if (where == 'p') {
    d.pages[0x83].data =
        first(hostgen::Page83Builder().identifier(text).port_bytes(4, 1).build(), 34);
    return d;
  }
  auto b = hostgen::StdInquiryBuilder().additional_length(where == 'm' ? 0xF3 : 0x3B);
  b.serial_text(where == 'e' ? "0300ABCD" : text);
  d.inquiry = first(where == 'm' ? b.pl_marker().build() : b.build(), where == 'm' ? 248 : 64);
  if (where == 'e')
    d.pages[0xE2].data = first(hostgen::PageE2Builder().real_serial_text(text).build(), 80);
  return d;
}

// What voxmira reads: the serial, and what it takes the text for.
std::pair<std::int32_t, std::string> reading(const hi::Disk& d) {
  if (d.pages.count(0xE2)) {
    Bytes image = d.inquiry;
    image.resize(256, 0);
    std::copy_n(d.pages.at(0xE2).data.begin() + 28, 12, image.begin() + 36);
    return {std_serial(ByteView(image)), "e2"};
  }
  if (d.pages.count(0x83)) {
    DevIdentity r;
    std::string diag;
    decode_page83("x", r, d.pages.at(0x83).data, 0, PORT_TABLE, true, diag);
    const auto row = find_page83_row(ByteView(d.pages.at(0x83).data));
    return {r.serial, row ? std::string(row->key) : "none"};
  }
  const ByteView v(d.inquiry);
  return {std_serial(v), std::string{family_gate(v) ? 'g' : '-', in_group_a(v) ? 'A' : '-',
                                     in_group_q(v) ? 'Q' : '-', in_group_p(v) ? 'P' : '-'}};
}

Capture capture_of(std::vector<hi::Disk> disks) {
  Capture cap;
  for (std::uint32_t i = 0; i < disks.size(); ++i) disks[i].number = i;
  cap.image.disks = std::move(disks);
  return cap;
}

TEST(Anonymize, EveryNotationKeepsItsForm) {
  // mask: '=' stays, 'd' a decimal digit, 'h' a hex digit in the text's case, '0' becomes 0.
  const struct {
    char where;
    const char *text, *mask;
  } cases[] = {
      {'s', "71012345", "==dddddd"},  // group P by its "7"
      {'m', "41234567", "dddddddd"},  // decimal by the marker
      {'s', "0300FA0F", "====hhhh"},
      {'s', "0451abcd", "====hhhh"},
      {'s', "5101E240", "===hhhhh"},  // model number
      {'p', "N14  00012345 01234", "=====dddddddd======"},
      {'p', "TARVELO N149ABCD0012", "===========0hhhh===="},
      {'p', "TARVELO 5101E2400A0B", "===========hhhhh===="},
      {'p', "TARVELO 700008120036", "=========ddddddd===="},
      {'p', "TARVELO P25 12340036", "============dddd===="},
      {'e', "71012345", "==dddddd"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::size_t at = 0;
    Capture cap = capture_of({disk(c.where, c.text, &at)});
    hi::Disk& d = cap.image.disks[0];
    const auto before = reading(d);
    EXPECT_GE(anonymize(cap, 7).serials, 1u);
    EXPECT_NE(reading(d).first, before.first);
    EXPECT_EQ(reading(d).second, before.second);
    const Bytes& b = c.where == 'p'   ? d.pages[0x83].data
                     : c.where == 'e' ? d.pages[0xE2].data
                                      : d.inquiry;
    const std::string after(b.begin() + at, b.begin() + at + std::strlen(c.text));
    const char* digits = std::strpbrk(c.text, "abcdef") ? "0123456789abcdef" : "0123456789ABCDEF";
    for (std::size_t i = 0; c.mask[i] != '\0'; ++i) {
      const char m = c.mask[i], t = after[i];
      EXPECT_TRUE(m == '='   ? t == c.text[i]
                  : m == '0' ? t == '0'
                             : std::strchr(digits, t) && (m == 'h' || std::isdigit(t)))
          << after;
    }
  }
}

TEST(Anonymize, OneArrayKeepsOneStandInInEveryNotation) {
  hi::Disk rb = disk('s', "0300FA0F");  // FA0F hex is 64015, decimal 00064015 in page 0x83
  rb.pages[0x83].data = disk('p', "N16  00064015 01234").pages[0x83].data;
  Capture cap = capture_of({rb, disk('e', "0300FA0F"), disk('p', "TARVELO N170FA0F0100"),
                            disk('p', "N16  00064016 01234")});
  EXPECT_EQ(anonymize(cap, 11).serials, 3u);  // 64015, 64016, the vendor page disk's 0xABCD
  const auto& d = cap.image.disks;
  const std::int32_t fake = std_serial(ByteView(d[0].inquiry));
  EXPECT_NE(fake, 64015);
  for (int i : {0, 1, 2}) EXPECT_EQ(reading(d[i]).first, fake);
  EXPECT_NE(reading(d[3]).first, fake);
  EXPECT_NE(reading(d[3]).first, 64015);  // never another array's real number
  // "TARVELO 7" and no digit after it: nothing can stand in for 7, which stays.
  Capture kept = capture_of({disk('p', "TARVELO 7-------0036")});
  const Bytes before = kept.image.disks[0].pages.at(0x83).data;
  EXPECT_EQ(anonymize(kept, 3).serials_kept, 1u);
  EXPECT_EQ(kept.image.disks[0].pages.at(0x83).data, before);
  // The seed decides.
  auto run = [](std::uint64_t seed) {
    Capture c = capture_of({disk('s', "71012345"), disk('p', "N14  00012345 01234")});
    anonymize(c, seed);
    return std::make_pair(c.image.disks[0].inquiry, c.image.disks[1].pages.at(0x83).data);
  };
  EXPECT_EQ(run(1), run(1));
  EXPECT_NE(run(1), run(2));
}

std::uint64_t be64(const Bytes& b, std::size_t at) {
  return std::uint64_t{ByteView(b).be32(at)} << 32 | ByteView(b).be32(at + 4);
}

TEST(Anonymize, WwnsKeepFormatAndMaker) {
  auto with_wwns = [](std::uint64_t port, std::uint64_t node, const char* product) {
    hi::Disk d;
    d.inquiry = first(hostgen::StdInquiryBuilder()
                          .additional_length(0x7B)
                          .product(product)
                          .serial_text("0300ABCD")
                          .host_wwns(port, node)
                          .build(),
                      128);
    return d;
  };
  hi::Disk paged = with_wwns(0x50060e8012345678, 0x10000000c9123456, "DISK");
  // An EUI-64 designator at 34, an NAA one at 54 whose WWN is where voxmira reads it.
  paged.pages[0x83].data = first(hostgen::Page83Builder()
                                     .page_length(0x4A)
                                     .id_length(26)
                                     .identifier("N16  00064015 01234     1a")
                                     .bytes(34, {0x01, 0x02, 0x00, 0x08})
                                     .big_endian(38, 0x0011223344556677, 8)
                                     .bytes(54, {0x01, 0x03, 0x00, 0x14})
                                     .big_endian(58, 0x50012ab00d490022, 8)
                                     .build(),
                                 78);
  paged.id_property = std::vector<hi::StorageIdentifier>{
      {1, 3, 0, first(hostgen::Image{0x60, 0x06, 0x0e, 0x80, 1, 2, 3, 4, 5}, 16)}};
  Capture cap = capture_of({paged, with_wwns(0x50060e8012345678, 0, "DISK"),
                            with_wwns(0x50060e8012345678, 0, "Std")});  // no family: not read
  EXPECT_EQ(anonymize(cap, 5).wwns, 6u);  // five and the NAA 6 extension
  const auto& d = cap.image.disks;
  const struct {
    std::uint64_t real, fake, kept_mask;
  } checks[] = {
      {0x50060e8012345678, be64(d[0].inquiry, 104), 0xFFFFFFF000000000},  // NAA 5: OUI stays
      {0x10000000c9123456, be64(d[0].inquiry, 112), 0xF000000000000000},  // NAA 1: format only
      {0x0011223344556677, be64(d[0].pages.at(0x83).data, 38), 0xFFFFFF0000000000},  // EUI-64
      {0x50012ab00d490022, be64(d[0].pages.at(0x83).data, 58), 0xFFFFFFF000000000},
      {0x60060e8001020304, be64(d[0].id_property->at(0).id, 0), 0xFFFFFFF000000000},
  };
  for (const auto& c : checks) {
    EXPECT_EQ(c.fake & c.kept_mask, c.real & c.kept_mask) << std::hex << c.real;
    EXPECT_NE(c.fake, c.real);
  }
  EXPECT_EQ(be64(d[1].inquiry, 104), be64(d[0].inquiry, 104));  // the same WWN, one stand-in
  EXPECT_EQ(be64(d[1].inquiry, 112), 0u);
  EXPECT_EQ(be64(d[2].inquiry, 104), 0x50060e8012345678u);
}

TEST(Anonymize, GuidsSignaturesAndTargets) {
  const std::string guid = "6e1f2a3b-4c5d-4e6f-8091-a2b3c4d5e6f7";
  hi::Guid real{}, type{};
  ASSERT_TRUE(hi::parse_guid_text(guid, real));
  ASSERT_TRUE(hi::parse_guid_text("EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", type));
  hi::Disk gpt, mbr;
  gpt.layout.style = hi::LayoutStyle::gpt;
  gpt.layout.disk_id = real;
  gpt.layout.partitions = {hi::Partition{}};
  gpt.layout.partitions[0].id = real;
  gpt.layout.partitions[0].gpt_type = type;
  mbr.layout.signature = 0x12345678;
  Capture cap = capture_of({gpt, mbr, mbr, hi::Disk{}});
  cap.image.dos_devices = {{"Volume{" + guid + "}", {"\\Device\\HarddiskVolume1"}},
                           {"Z:", {"\\Device\\LanmanRedirector\\;Z:0\\srv\\share"}}};
  cap.image.mountvol_output = "\\\\?\\Volume{" + guid + "}\\ " + guid + "0";
  const AnonymizeCounts n = anonymize(cap, 13);
  EXPECT_EQ(n.guids + n.signatures, 2u);
  const auto& d = cap.image.disks;
  std::string fake = hi::format_guid_text(d[0].layout.disk_id);
  for (char& c : fake) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(d[0].layout.disk_id, real);
  EXPECT_EQ(d[0].layout.partitions[0].id, d[0].layout.disk_id);
  EXPECT_EQ(d[0].layout.partitions[0].gpt_type, type);  // partition types are no secret
  EXPECT_EQ(fake[14], '4');                             // version 4
  EXPECT_EQ(cap.image.dos_devices[0].name, "Volume{" + fake + "}");
  EXPECT_EQ(cap.image.dos_devices[1].targets[0], "\\Device\\LanmanRedirector");
  // The run inside longer hex is no GUID and stays.
  EXPECT_EQ(*cap.image.mountvol_output, "\\\\?\\Volume{" + fake + "}\\ " + guid + "0");
  EXPECT_NE(d[1].layout.signature, 0x12345678u);
  EXPECT_EQ(d[2].layout.signature, d[1].layout.signature);
  EXPECT_EQ(d[3].layout.signature, 0u);
}

}  // namespace
}  // namespace vox::capture
