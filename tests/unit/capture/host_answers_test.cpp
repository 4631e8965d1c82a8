// How a host's raw answers, junk included, become host-image values: no more than the
// transport itself would read.
#include "tools/capture/host_answers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hostimage/hex_text.h"
#include "tools/capture/anonymize.h"

namespace vox::capture {
namespace {

using Bytes = hi::Bytes;

Bytes hex(std::string_view text) {
  Bytes b;
  EXPECT_EQ(hi::parse_hex_text(text, b), "") << text;
  return b;
}

TEST(HostAnswers, RawPropertiesKeepWhatTheTransportSees) {
  const struct {
    std::size_t size;
    std::uint32_t claimed;
    std::size_t kept;
    std::uint8_t last;
  } cases[] = {
      {35, 40, 0, 0},                                     // no whole header
      {76, 40, 40, 40},                                   // all of it
      {56, 40, 40, 0},                                    // cut short: zero-filled
      {46, 30, 10, 10},                                   // under 36: as it came
      {600, 0x10047, kMaxRawProperties - 256 + 0x47, 0},  // a huge claim: its low byte
  };
  for (const auto& c : cases) {
    Bytes d(c.size, 0);
    for (std::size_t i = 0; i < 4 && 32 + i < c.size; ++i)
      d[32 + i] = (c.claimed >> (8 * i)) & 0xFF;
    for (std::size_t i = 36; i < c.size; ++i) d[i] = static_cast<std::uint8_t>(i - 35);
    const Bytes raw = raw_device_properties(d);
    ASSERT_EQ(raw.size(), c.kept) << c.size << "/" << c.claimed;
    EXPECT_EQ(raw.empty() ? 0 : raw.back(), c.last) << c.size << "/" << c.claimed;
  }
}

TEST(HostAnswers, IdentifiersAsTheTransportWalksThem) {
  // Count at 8; identifiers from 12: code set, type, size, next offset, association, bytes.
  const struct {
    const char* descriptor;
    std::vector<std::string> ids;  // "code_set:bytes"
  } cases[] = {
      {"00000000 00000000 00000000", {}},
      {"00000000 00000000 01000000  01000000 03000000 0200 1800 01000000 a0a1 000000000000",
       {"1:a0a1"}},
      // Next offset 0: the transport reads the first identifier twice.
      {"00000000 00000000 02000000  01000000 03000000 0200 0000 00000000 a0a1",
       {"1:a0a1", "1:a0a1"}},
      // Three claimed, one returned: the second reads as zeros, no third is made up.
      {"00000000 00000000 03000000  01000000 03000000 0200 1800 00000000 a0a1 000000000000",
       {"1:a0a1", "0:"}},
      // Bytes past the descriptor: zero-filled to the identifier's size.
      {"00000000 00000000 01000000  05000000 03000000 0400 0000 00000000 c0c1", {"5:c0c10000"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> got;
    for (const hi::StorageIdentifier& i : device_identifiers(hex(c.descriptor)))
      got.push_back(std::to_string(i.code_set) + ":" + hi::hex_lower(i.id));
    EXPECT_EQ(got, c.ids) << c.descriptor;
  }
  Bytes e(8 + 3 * 24, 0);
  e[0] = 5, e[8] = 7, e[32] = 8, e[56] = 9;  // five claimed, three returned
  EXPECT_EQ(extent_disks(e), (std::vector<std::uint32_t>{7, 8, 9}));
  EXPECT_EQ(extent_disks(Bytes(e.begin(), e.begin() + 31)), (std::vector<std::uint32_t>{}));
}

TEST(HostAnswers, NamesAndTexts) {
  EXPECT_EQ(narrow_name(u"D\u00e9v\U0001F600"), "D?v??");
  const std::u16string list(u"C:\0Volume{1}\0\0junk", 19);
  EXPECT_EQ(split_name_list(list), (std::vector<std::u16string>{u"C:", u"Volume{1}"}));
  const std::pair<std::string, std::string> texts[] = {
      {"caf\xc3\xa9", "caf\xc3\xa9"}, {"caf\xe9!", "caf?!"}, {"\xc3", "?"},
      {"\xed\xa0\x80", "???"},        {"\xc0\xaf", "??"},    {"\xf4\x90\x80\x80", "????"}};
  for (const auto& [in, out] : texts) EXPECT_EQ(valid_utf8(in), out) << in;
  const std::pair<const char*, std::optional<std::uint32_t>> drives[] = {
      {"PhysicalDrive0", 0},
      {"physicaldrive12", 12},
      {"PhysicalDrive2147483647", 0x7FFFFFFF},
      {"PhysicalDrive2147483648", std::nullopt},
      {"PhysicalDrive01", std::nullopt},
      {"PhysicalDrive", std::nullopt}};
  for (const auto& [name, number] : drives) EXPECT_EQ(physical_drive_number(name), number) << name;
  EXPECT_TRUE(is_volume_target("\\Device\\HarddiskDmVolumes\\Dg0\\Volume1"));
  EXPECT_FALSE(is_volume_target("\\device\\harddiskvolume3"));  // voxmira compares exactly
  EXPECT_EQ(cut_target("\\Device\\Harddisk0\\DR0"), "\\Device\\Harddisk0\\DR0");
  EXPECT_EQ(cut_target("\\Device\\LanmanRedirector\\;Z:0\\srv\\share"),
            "\\Device\\LanmanRedirector");
  EXPECT_EQ(cut_target("\\??\\C:\\Users\\someone"), "\\??\\C:");
  EXPECT_EQ(cut_target("\\Device\\CdRom0"), "\\Device\\CdRom0");
}

}  // namespace
}  // namespace vox::capture
