// Anonymizing a capture: every notation of a serial number keeps its form and family, and
// one array keeps one stand-in everywhere. voxmira's own decoders judge.
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

}  // namespace
}  // namespace vox::capture
