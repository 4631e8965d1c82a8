// Anonymizing a capture: each notation of a serial number keeps its form, and one array
// keeps one stand-in in all its notations. voxmira's own decoders read the serials.
#include "tools/capture/anonymize.h"

#include <gtest/gtest.h>

#include <cstring>

#include "inquiry/page83.h"
#include "inquiry/std_identity.h"
#include "tools/hostgen/inquiry_builder.h"

namespace vox::capture {
namespace {

// A capture of a drive for each text: "s:TEXT" shows TEXT in the standard data, "m:TEXT"
// too with the "PL00" marker, "p:TEXT" in page 0x83.
Capture capture_of(const std::vector<std::string>& texts) {
  Capture cap;
  for (const std::string& t : texts) {
    hi::Disk& d = cap.image.disks.emplace_back();
    d.number = static_cast<std::uint32_t>(cap.image.disks.size() - 1);
    const bool p = t[0] == 'p', m = t[0] == 'm';
    auto std_data =
        hostgen::StdInquiryBuilder().additional_length(m ? 0xF3 : 0x3B).serial_text(t.substr(2));
    const hostgen::Image image =
        p   ? hostgen::Page83Builder().identifier(t.substr(2)).port_bytes(4, 1).build()
        : m ? std_data.pl_marker().build()
            : std_data.build();
    (p ? d.pages[0x83].data : d.inquiry)
        .assign(image.begin(), image.begin() + (p   ? 34
                                                : m ? 248
                                                    : 64));
  }
  return cap;
}

std::int32_t serial(const hi::Disk& d) {
  if (!d.pages.count(0x83)) return std_serial(ByteView(d.inquiry));
  DevIdentity r;
  std::string diag;
  decode_page83("x", r, d.pages.at(0x83).data, 0, PORT_TABLE, true, diag);
  return r.serial;
}

TEST(Anonymize, EveryNotationKeepsItsForm) {
  // mask: '=' stays, 'd' a decimal digit, 'h' a hex digit in the text's case, '0' becomes 0.
  const char* const cases[][2] = {
      {"s:71012345", "==dddddd"},  // group P by its "7"
      {"m:41234567", "dddddddd"},  // decimal by the marker
      {"s:0300FA0F", "====hhhh"},
      {"s:0451abcd", "====hhhh"},
      {"s:5101E240", "===hhhhh"},  // model number
      {"p:N14  00012345 01234", "=====dddddddd======"},
      {"p:TARVELO N149ABCD0012", "===========0hhhh===="},
      {"p:TARVELO 5101E2400A0B", "===========hhhhh===="},
      {"p:TARVELO 700008120036", "=========ddddddd===="},
      {"p:TARVELO P25 12340036", "============dddd===="},
  };
  for (const auto& [spec, mask] : cases) {
    SCOPED_TRACE(spec);
    const char* text = spec + 2;
    Capture cap = capture_of({spec});
    const hi::Disk& d = cap.image.disks[0];
    const std::int32_t before = serial(d);
    EXPECT_EQ(anonymize(cap, 7).serials, 1u);
    EXPECT_NE(serial(d), before);
    const hi::Bytes& b = spec[0] == 'p' ? d.pages.at(0x83).data : d.inquiry;
    const std::string after(b.begin() + (spec[0] == 'p' ? 8 : 36),
                            b.begin() + (spec[0] == 'p' ? 8 : 36) + std::strlen(text));
    const char* hex = std::strpbrk(text, "abcdef") ? "0123456789abcdef" : "0123456789ABCDEF";
    for (std::size_t i = 0; mask[i] != '\0'; ++i) {
      const char m = mask[i], c = after[i];
      EXPECT_TRUE(m == '='   ? c == text[i]
                  : m == '0' ? c == '0'
                             : std::strchr(hex, c) && (m == 'h' || c <= '9'))
          << after;
    }
  }
}

TEST(Anonymize, OneArrayKeepsOneStandInInEveryNotation) {
  // 0xFA0F is 64015, in page 0x83 "00064015" and "70FA0F".
  Capture cap = capture_of({"s:0300FA0F", "p:N16  00064015 01234", "p:TARVELO N170FA0F0100",
                            "p:N16  00064016 01234", "p:TARVELO 7-------0036"});
  const AnonymizeCounts n = anonymize(cap, 11);
  EXPECT_EQ(std::pair(n.serials, n.serials_kept), std::pair(std::size_t{2}, std::size_t{1}));
  const auto& d = cap.image.disks;
  const std::int32_t fake = serial(d[0]);
  EXPECT_NE(fake, 64015);
  EXPECT_EQ(std::tuple(serial(d[1]), serial(d[2])), std::tuple(fake, fake));
  EXPECT_NE(serial(d[3]), fake);
  EXPECT_NE(serial(d[3]), 64015);  // never another array's real number
  // "TARVELO 7" and no digit after it: nothing can stand in for 7, which stays.
  EXPECT_EQ(d[4].pages.at(0x83).data,
            capture_of({"p:TARVELO 7-------0036"}).image.disks[0].pages.at(0x83).data);
  Capture again = capture_of({"s:0300FA0F"});
  anonymize(again, 11);  // the seed decides
  EXPECT_EQ(again.image.disks[0].inquiry, d[0].inquiry);
}

}  // namespace
}  // namespace vox::capture
