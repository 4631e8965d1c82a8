// Anonymizing a capture: each notation of a serial number keeps its form, and one array
// keeps one stand-in in all its notations. voxmira's own decoders read the serials.
#include "tools/capture/anonymize.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

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
  // What the text may become: its fixed parts stay, its digits keep their base and case.
  const char* const cases[][2] = {
      {"s:71012345", R"(71\d{6})"},  // group P by its "7"
      {"m:41234567", R"(\d{8})"},    // decimal by the marker
      {"s:0300FA0F", "0300[0-9A-F]{4}"},
      {"s:0451abcd", "0451[0-9a-f]{4}"},
      {"s:5101E240", "510[0-9A-F]{5}"},  // model number
      {"p:N14  00012345 01234", R"(N14  \d{8} 01234)"},
      {"p:TARVELO N149ABCD0012", "TARVELO N140[0-9A-F]{4}0012"},
      {"p:TARVELO 5101E2400A0B", "TARVELO 510[0-9A-F]{5}0A0B"},
      {"p:TARVELO 700008120036", R"(TARVELO 7\d{7}0036)"},
      {"p:TARVELO P25 12340036", R"(TARVELO P25 \d{4}0036)"},
  };
  for (const auto& [notation, form] : cases) {
    SCOPED_TRACE(notation);
    Capture cap = capture_of({notation});
    const hi::Disk& d = cap.image.disks[0];
    const std::int32_t before = serial(d);
    EXPECT_EQ(anonymize(cap, 7).serials, 1u);
    EXPECT_NE(serial(d), before);
    const bool p = notation[0] == 'p';
    const hi::Bytes& b = p ? d.pages.at(0x83).data : d.inquiry;
    const std::string after(b.begin() + (p ? 8 : 36),
                            b.begin() + (p ? 8 : 36) + std::strlen(notation) - 2);
    EXPECT_TRUE(std::regex_match(after, std::regex(form))) << after;
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
