// Anonymizing a capture: every notation of the serial number keeps its form and its
// family, one array keeps one stand-in everywhere, WWNs keep their format and maker,
// GUIDs and signatures are replaced consistently. voxmira's own decoders judge.
#include "tools/capture/anonymize.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inquiry/byte_view.h"
#include "inquiry/family.h"
#include "inquiry/page83.h"
#include "inquiry/std_identity.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::capture {
namespace {

using hi::Bytes;
using hostgen::Page83Builder;
using hostgen::PageE2Builder;
using hostgen::StdInquiryBuilder;

Bytes first(const hostgen::Image& image, std::size_t n) {
  return Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n));
}

hi::Disk std_disk(std::string_view serial_text, bool marker = false) {
  hi::Disk d;
  auto b = StdInquiryBuilder().additional_length(marker ? 0xF3 : 0x3B).serial_text(serial_text);
  if (marker) b.pl_marker();
  d.inquiry = first(b.build(), marker ? 248 : 64);
  return d;
}

hi::Disk page83_disk(std::string_view identifier) {
  hi::Disk d;
  d.pages[0x83].data = first(Page83Builder().identifier(identifier).port_bytes(4, 1).build(), 34);
  return d;
}

hi::Disk e2_disk(std::string_view real_serial) {
  hi::Disk d = std_disk("0300ABCD");
  d.pages[0xE2].data = first(PageE2Builder().real_serial_text(real_serial).build(), 80);
  return d;
}

std::int32_t page83_serial(const Bytes& page) {
  DevIdentity r;
  std::string diag;
  decode_page83("x", r, page, 0, PORT_TABLE, true, diag);
  return r.serial;
}

std::int32_t e2_serial(const hi::Disk& d) {
  Bytes image = d.inquiry;
  image.resize(256, 0);
  std::copy_n(d.pages.at(0xE2).data.begin() + 28, 12, image.begin() + 36);
  return std_serial(ByteView(image));
}

// What voxmira reads: the serial and what it takes the text for.
std::pair<std::int32_t, std::string> reading(const hi::Disk& d) {
  if (d.pages.count(0xE2)) return {e2_serial(d), "e2"};
  if (d.pages.count(0x83)) {
    const auto row = find_page83_row(ByteView(d.pages.at(0x83).data));
    return {page83_serial(d.pages.at(0x83).data), row ? std::string(row->key) : "none"};
  }
  const ByteView v(d.inquiry);
  return {std_serial(v), std::string() + "g"[!family_gate(v)] + "A"[!in_group_a(v)] +
                             "Q"[!in_group_q(v)] + "P"[!in_group_p(v)]};
}

std::string text_of(const hi::Disk& d, std::size_t at, std::size_t n) {
  const Bytes& b = d.pages.count(0xE2)   ? d.pages.at(0xE2).data
                   : d.pages.count(0x83) ? d.pages.at(0x83).data
                                         : d.inquiry;
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                     b.begin() + static_cast<std::ptrdiff_t>(at + n));
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
    const char* what;
    hi::Disk disk;
    std::size_t at;
    const char* text;
    const char* mask;
  } cases[] = {
      {"decimal, group P by its '7'", std_disk("71012345"), 36, "71012345", "==dddddd"},
      {"decimal by the PL00 marker", std_disk("41234567", true), 36, "41234567", "dddddddd"},
      {"hex after 0300", std_disk("0300FA0F"), 36, "0300FA0F", "====hhhh"},
      {"hex in lower case", std_disk("0451abcd"), 36, "0451abcd", "====hhhh"},
      {"model number and hex", std_disk("5101E240"), 36, "5101E240", "===hhhhh"},
      {"hex without model", std_disk("50 1E240"), 36, "50 1E240", "===hhhhh"},
      {"[RB] decimal", page83_disk("N14  00012345 01234"), 8, "N14  00012345 01234",
       "=====dddddddd======"},
      {"[MV] four hex digits", page83_disk("TARVELO N149ABCD0012"), 8, "TARVELO N149ABCD0012",
       "===========0hhhh===="},
      {"[MV] model number", page83_disk("TARVELO 5101E2400A0B"), 8, "TARVELO 5101E2400A0B",
       "===========hhhhh===="},
      {"[PL] eight digits after the key", page83_disk("TARVELO 700008120036"), 8,
       "TARVELO 700008120036", "=========ddddddd===="},
      {"[PL] four digits", page83_disk("TARVELO P25 12340036"), 8, "TARVELO P25 12340036",
       "============dddd===="},
      {"vendor page", e2_disk("71012345"), 28, "71012345", "==dddddd"},
  };
  for (const auto& c : cases) {
    Capture cap = capture_of({c.disk});
    ASSERT_EQ(text_of(cap.image.disks[0], c.at, std::strlen(c.text)), c.text) << c.what;
    const auto before = reading(cap.image.disks[0]);
    const AnonymizeCounts n = anonymize(cap, 7);
    EXPECT_GE(n.serials, 1u) << c.what;  // the vendor page's disk has its own serial too
    const auto after = reading(cap.image.disks[0]);
    EXPECT_NE(after.first, before.first) << c.what;
    EXPECT_EQ(after.second, before.second) << c.what;
    const std::string text = text_of(cap.image.disks[0], c.at, std::strlen(c.text));
    const bool lower = std::string(c.text).find_first_of("abcdef") != std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char m = c.mask[i];
      const char t = text[i];
      const bool ok = m == '='   ? t == c.text[i]
                      : m == '0' ? t == '0'
                      : m == 'd' ? std::isdigit(static_cast<unsigned char>(t)) != 0
                                 : std::isdigit(static_cast<unsigned char>(t)) ||
                                       (lower ? (t >= 'a' && t <= 'f') : (t >= 'A' && t <= 'F'));
      EXPECT_TRUE(ok) << c.what << ": " << text << " at " << i;
    }
  }
}

TEST(Anonymize, OneArrayKeepsOneStandInInEveryNotation) {
  hi::Disk rb = std_disk("0300FA0F");  // hex FA0F = 64015, and [RB] decimal 00064015
  rb.pages[0x83].data = page83_disk("N16  00064015 01234     1a").pages[0x83].data;
  Capture cap = capture_of({rb, e2_disk("0300FA0F"), page83_disk("TARVELO N170FA0F0100"),
                            page83_disk("N16  00064016 01234")});
  const AnonymizeCounts n = anonymize(cap, 11);
  EXPECT_EQ(n.serials, 3u);  // 64015, 64016 and the vendor page disk's own 0xABCD
  const auto& d = cap.image.disks;
  const std::int32_t fake = std_serial(ByteView(d[0].inquiry));
  EXPECT_NE(fake, 64015);
  EXPECT_EQ(page83_serial(d[0].pages.at(0x83).data), fake);
  EXPECT_EQ(e2_serial(d[1]), fake);
  EXPECT_EQ(page83_serial(d[2].pages.at(0x83).data), fake);
  const std::int32_t other = page83_serial(d[3].pages.at(0x83).data);
  EXPECT_NE(other, fake);
  EXPECT_NE(other, 64016);
  EXPECT_NE(other, 64015);  // a stand-in is never another array's real number
}

TEST(Anonymize, ANumberNoOtherFitsIsKeptAndCounted) {
  // "TARVELO 7" followed by a non-digit: the only digit is part of the family key.
  Capture cap = capture_of({page83_disk("TARVELO 7-------0036")});
  const Bytes before = cap.image.disks[0].pages.at(0x83).data;
  const AnonymizeCounts n = anonymize(cap, 3);
  EXPECT_EQ(n.serials, 0u);
  EXPECT_EQ(n.serials_kept, 1u);
  EXPECT_EQ(cap.image.disks[0].pages.at(0x83).data, before);
}

TEST(Anonymize, WwnsKeepFormatAndMaker) {
  const struct {
    std::uint64_t wwn;
    std::uint64_t kept_mask;
  } cases[] = {
      {0x50060e8012345678, 0xFFFFFFF000000000},  // NAA 5: format and OUI
      {0x60060e8012345678, 0xFFFFFFF000000000},
      {0x10000000c9123456, 0xF000000000000000},  // NAA 1: the format only
      {0x0, 0xFFFFFFFFFFFFFFFF},                 // none: stays none
  };
  for (const auto& c : cases) {
    hi::Disk d;
    d.inquiry = first(StdInquiryBuilder()
                          .additional_length(0x7B)
                          .serial_text("0300ABCD")
                          .host_wwns(c.wwn, c.wwn)
                          .build(),
                      128);
    hi::Disk outside = d;  // "St..." fails the family gate: voxmira reads no WWN there
    std::copy_n("St", 2, outside.inquiry.begin() + 16);
    Capture cap = capture_of({d, d, outside});
    anonymize(cap, 5);
    const auto& disks = cap.image.disks;
    const std::uint64_t fake = ByteView(disks[0].inquiry).be32(104) * 0x100000000ull +
                               ByteView(disks[0].inquiry).be32(108);
    EXPECT_EQ(fake & c.kept_mask, c.wwn & c.kept_mask) << std::hex << c.wwn;
    EXPECT_EQ(fake == c.wwn, c.wwn == 0) << std::hex << c.wwn;
    EXPECT_EQ(disks[1].inquiry, disks[0].inquiry);  // the same WWN, the same stand-in
    EXPECT_EQ(Bytes(disks[2].inquiry.begin() + 104, disks[2].inquiry.begin() + 120),
              Bytes(outside.inquiry.begin() + 104, outside.inquiry.begin() + 120));
  }
}

TEST(Anonymize, PageDesignatorsAndIdentifierWwns) {
  hi::Disk d;
  // T10 text, an NAA 6 designator (16 bytes), an EUI-64, and voxmira's WWN place at 58.
  Bytes page = first(Page83Builder()
                         .page_length(0x4A)
                         .id_length(26)
                         .identifier("N16  00064015 01234     1a")
                         .bytes(34, {0x01, 0x02, 0x00, 0x10})
                         .big_endian(38, 0x0011223344556677, 8)
                         .big_endian(46, 0x8899aabbccddeeff, 8)
                         .bytes(54, {0x01, 0x03, 0x00, 0x14})
                         .big_endian(58, 0x50012ab00d490022, 8)
                         .build(),
                     78);
  d.pages[0x83].data = page;
  d.id_property = std::vector<hi::StorageIdentifier>{
      {1, 3, 0,
       first(hostgen::Image{0x60, 0x06, 0x0e, 0x80, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 16)}};
  Capture cap = capture_of({d});
  anonymize(cap, 9);
  const Bytes& p = cap.image.disks[0].pages.at(0x83).data;
  EXPECT_EQ(Bytes(p.begin() + 38, p.begin() + 41), Bytes(page.begin() + 38, page.begin() + 41));
  EXPECT_NE(Bytes(p.begin() + 41, p.begin() + 46), Bytes(page.begin() + 41, page.begin() + 46));
  EXPECT_EQ(Bytes(p.begin() + 46, p.begin() + 54), Bytes(page.begin() + 46, page.begin() + 54));
  EXPECT_EQ(ByteView(p).be32(58) >> 4, ByteView(page).be32(58) >> 4);
  EXPECT_NE(ByteView(p).be32(62), ByteView(page).be32(62));
  const Bytes& id = (*cap.image.disks[0].id_property)[0].id;
  EXPECT_EQ(ByteView(id).be32(0) >> 4, 0x60060e8u);
  EXPECT_NE(Bytes(id.begin() + 8, id.end()),
            Bytes(d.id_property->at(0).id.begin() + 8, d.id_property->at(0).id.end()));
}

TEST(Anonymize, GuidsSignaturesAndTargets) {
  const std::string guid = "6e1f2a3b-4c5d-4e6f-8091-a2b3c4d5e6f7";
  hi::Guid upper{};
  ASSERT_TRUE(hi::parse_guid_text("6E1F2A3B-4C5D-4E6F-8091-A2B3C4D5E6F7", upper));
  hi::Guid type{};
  ASSERT_TRUE(hi::parse_guid_text("EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", type));
  hi::Disk gpt;
  gpt.layout.style = hi::LayoutStyle::gpt;
  gpt.layout.disk_id = upper;
  gpt.layout.partitions = {hi::Partition{}};
  gpt.layout.partitions[0].id = upper;
  gpt.layout.partitions[0].gpt_type = type;
  hi::Disk mbr;
  mbr.layout.signature = 0x12345678;
  hi::Disk unsigned_mbr;
  Capture cap = capture_of({gpt, mbr, mbr, unsigned_mbr});
  cap.image.dos_devices = {{"Volume{" + guid + "}", {"\\Device\\HarddiskVolume1"}},
                           {"Z:", {"\\Device\\LanmanRedirector\\;Z:0\\srv\\share"}}};
  cap.image.mountvol_output = "    \\\\?\\Volume{" + guid + "}\\\n    " + guid + "0\n";
  cap.notes = {"DOS name 'Volume{" + guid + "}' ..."};
  const AnonymizeCounts n = anonymize(cap, 13);
  EXPECT_EQ(n.guids, 1u);
  EXPECT_EQ(n.signatures, 1u);
  const auto& d = cap.image.disks;
  const std::string fake = hi::format_guid_text(d[0].layout.disk_id);
  std::string fake_lower = fake;
  for (char& c : fake_lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(d[0].layout.disk_id, upper);
  EXPECT_EQ(d[0].layout.partitions[0].id, d[0].layout.disk_id);
  EXPECT_EQ(d[0].layout.partitions[0].gpt_type, type);
  EXPECT_EQ(fake[14], '4');  // version 4
  EXPECT_EQ(cap.image.dos_devices[0].name, "Volume{" + fake_lower + "}");
  EXPECT_EQ(cap.image.dos_devices[1].targets[0], "\\Device\\LanmanRedirector");
  // A GUID-like run inside longer hex stays as it is.
  EXPECT_EQ(*cap.image.mountvol_output,
            "    \\\\?\\Volume{" + fake_lower + "}\\\n    " + guid + "0\n");
  EXPECT_EQ(cap.notes[0], "DOS name 'Volume{" + fake_lower + "}' ...");
  EXPECT_NE(d[1].layout.signature, 0x12345678u);
  EXPECT_EQ(d[2].layout.signature, d[1].layout.signature);
  EXPECT_EQ(d[3].layout.signature, 0u);
}

TEST(Anonymize, TheSeedDecides) {
  auto run = [](std::uint64_t seed) {
    Capture cap = capture_of({std_disk("71012345"), page83_disk("N14  00012345 01234")});
    anonymize(cap, seed);
    return std::make_pair(cap.image.disks[0].inquiry, cap.image.disks[1].pages.at(0x83).data);
  };
  EXPECT_EQ(run(1), run(1));
  EXPECT_NE(run(1), run(2));
}

}  // namespace
}  // namespace vox::capture
