// The rules that turn a host's raw answers into host-image values, on canned bytes.
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

TEST(HostAnswers, MovedDataAndStoredSense) {
  struct Case {
    const char* buffer;
    std::uint32_t reported;
    const char* data;   // moved_data
    const char* sense;  // stored_sense of the same bytes
  };
  const Case cases[] = {
      {"01 02 00 00", 4, "01 02 00 00", "01 02"},
      {"01 02 00 00", 1, "01 02", "01"},             // a driver that reports less than it wrote
      {"01 02 00 00", 999, "01 02 00 00", "01 02"},  // never past the buffer
      {"00 00 00 00", 0, "", ""},
      {"70 00 05 00", 3, "70 00 05", "70 00 05"},
  };
  for (const Case& c : cases) {
    const Bytes buffer = hex(c.buffer);
    EXPECT_EQ(moved_data(buffer, c.reported), hex(c.data)) << c.buffer << " / " << c.reported;
    EXPECT_EQ(stored_sense(buffer, c.reported), hex(c.sense)) << c.buffer << " / " << c.reported;
  }
}

TEST(HostAnswers, OnlyTheDefaultRefusalGoesUnlisted) {
  const Bytes invalid_field = hex("70 00 05 00 00 00 00 0a 00 00 00 00 24 00");
  const struct {
    hi::PageAnswer page;
    bool unlisted;
  } cases[] = {
      {{{}, 2, invalid_field, 0}, true},
      {{{}, 2, hex("70 00 f5 00 00 00 00 0a 00 00 00 00 24"), 0}, true},  // flag bits
      {{{}, 2, hex("70 00 05 00 00 00 00 0a 00 00 00 00 20"), 0}, false},
      {{{}, 2, hex("70 00 06 00 00 00 00 0a 00 00 00 00 24"), 0}, false},
      {{{}, 2, hex("70 00 05 00 00 00 00 0a 00 00 00 00"), 0}, false},  // no ASC
      {{{}, 0, invalid_field, 0}, false},
      {{{}, 2, invalid_field, 21}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(is_unlisted_page(c.page), c.unlisted) << c.page.sense.size();
}

// A STORAGE_DEVICE_DESCRIPTOR of `size` bytes claiming `raw_length`, raw bytes 1, 2, 3...
Bytes device_descriptor(std::size_t size, std::uint32_t raw_length) {
  Bytes d(size, 0);
  for (std::size_t i = 0; i < 4 && 32 + i < size; ++i) d[32 + i] = (raw_length >> (8 * i)) & 0xFF;
  for (std::size_t i = 36; i < size; ++i) d[i] = static_cast<std::uint8_t>(i - 35);
  return d;
}

TEST(HostAnswers, RawPropertiesKeepWhatTheTransportSees) {
  const struct {
    std::size_t size;
    std::uint32_t raw_length;
    std::size_t expect_size;
    std::uint8_t last;  // the last byte kept
  } cases[] = {
      {35, 40, 0, 0},         // no whole header: nothing is copied
      {36 + 40, 40, 40, 40},  // all of it
      {36 + 20, 40, 40, 0},   // cut short: zero-filled to the claimed length
      {36 + 30, 30, 30, 30},  // under 36: never copied, kept as it came
      {36 + 10, 30, 10, 10},
      {600, 0x10000 + 0x47, kMaxRawProperties - 256 + 0x47, 0},  // huge claim: its low byte
  };
  for (const auto& c : cases) {
    const Bytes raw = raw_device_properties(device_descriptor(c.size, c.raw_length));
    ASSERT_EQ(raw.size(), c.expect_size) << c.size << "/" << c.raw_length;
    if (!raw.empty()) {
      EXPECT_EQ(raw.front(), 1);
      EXPECT_EQ(raw.back(), c.last);
    }
  }
}

TEST(HostAnswers, IdentifiersAsTheTransportWalksThem) {
  // Count, then identifiers: code set, type, size, next offset, association, bytes.
  auto id = [](std::uint8_t code_set, std::uint8_t size, std::uint8_t next, std::uint8_t first) {
    Bytes b(16, 0);
    b[0] = code_set;
    b[4] = 3;
    b[8] = size;
    b[10] = next;
    b[12] = 1;
    for (std::uint8_t i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>(first + i));
    b.resize(std::max<std::size_t>(b.size(), next), 0);
    return b;
  };
  auto descriptor = [](std::uint8_t count, std::initializer_list<Bytes> ids) {
    Bytes d(12, 0);
    d[8] = count;
    for (const Bytes& i : ids) {
      const std::size_t at = d.size();
      d.resize(at + i.size());
      std::copy(i.begin(), i.end(), d.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return d;
  };
  const struct {
    Bytes descriptor;
    std::vector<std::string> expect;  // "code_set:bytes" of each identifier
  } cases[] = {
      {descriptor(0, {}), {}},
      {descriptor(1, {id(1, 2, 24, 0xA0)}), {"1:a0a1"}},
      {descriptor(2, {id(1, 2, 24, 0xA0), id(2, 3, 24, 0xB0)}), {"1:a0a1", "2:b0b1b2"}},
      // Next offset 0: the transport takes the first identifier twice.
      {descriptor(2, {id(1, 2, 0, 0xA0)}), {"1:a0a1", "1:a0a1"}},
      // Two claimed, one returned: the second reads as zeros; a third is not invented.
      {descriptor(3, {id(1, 2, 24, 0xA0)}), {"1:a0a1", "0:"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> got;
    for (const hi::StorageIdentifier& i : device_identifiers(c.descriptor))
      got.push_back(std::to_string(i.code_set) + ":" + hi::hex_lower(i.id));
    EXPECT_EQ(got, c.expect) << hi::hex_lower(c.descriptor);
  }
  // An identifier longer than the descriptor: zero-filled.
  Bytes cut = descriptor(1, {id(5, 4, 0, 0xC0)});
  cut.resize(cut.size() - 2);
  ASSERT_EQ(device_identifiers(cut).size(), 1u);
  EXPECT_EQ(hi::hex_lower(device_identifiers(cut)[0].id), "c0c10000");
}

TEST(HostAnswers, ExtentDisksAsFarAsReturned) {
  Bytes e(8 + 3 * 24, 0);
  e[0] = 5;  // claims five, three returned
  e[8] = 7, e[32] = 8, e[56] = 9;
  EXPECT_EQ(extent_disks(e), (std::vector<std::uint32_t>{7, 8, 9}));
  EXPECT_EQ(extent_disks(Bytes(e.begin(), e.begin() + 32)), (std::vector<std::uint32_t>{7}));
  EXPECT_TRUE(extent_disks(Bytes(e.begin(), e.begin() + 31)).empty());
  EXPECT_TRUE(extent_disks(Bytes(7, 1)).empty());
}

TEST(HostAnswers, NameForms) {
  EXPECT_EQ(narrow_name(u"C:"), "C:");
  EXPECT_EQ(narrow_name(u"D\u00e9v\U0001F600"), "D?v??");
  const std::u16string list(u"C:\0Volume{1}\0\0junk", 19);
  EXPECT_EQ(split_name_list(std::span(list.data(), list.size())),
            (std::vector<std::u16string>{u"C:", u"Volume{1}"}));
  const std::string targets("\\Device\\A\0\\Device\\B\0\0", 21);
  EXPECT_EQ(split_targets(std::span(targets.data(), targets.size())),
            (std::vector<std::string>{"\\Device\\A", "\\Device\\B"}));
  const struct {
    std::string in, out;
  } texts[] = {{"plain", "plain"},      {"caf\xc3\xa9", "caf\xc3\xa9"},
               {"caf\xe9!", "caf?!"},   {"\xc3", "?"},
               {"\xed\xa0\x80", "???"}, {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
               {"\xc0\xaf", "??"},      {"\xf4\x90\x80\x80", "????"}};
  for (const auto& t : texts) EXPECT_EQ(valid_utf8(t.in), t.out) << t.in;
}

TEST(HostAnswers, PhysicalDriveNamesAndVolumeTargets) {
  const struct {
    const char* name;
    std::optional<std::uint32_t> number;
  } names[] = {{"PhysicalDrive0", 0},
               {"physicaldrive12", 12},
               {"PhysicalDrive2147483647", 0x7FFFFFFF},
               {"PhysicalDrive2147483648", std::nullopt},
               {"PhysicalDrive01", std::nullopt},
               {"PhysicalDrive", std::nullopt},
               {"PhysicalDrive1a", std::nullopt},
               {"PhysicalDisk1", std::nullopt}};
  for (const auto& n : names) EXPECT_EQ(physical_drive_number(n.name), n.number) << n.name;
  EXPECT_TRUE(is_volume_target("\\Device\\HarddiskVolume3"));
  EXPECT_TRUE(is_volume_target("\\Device\\HarddiskDmVolumes\\Dg0\\Volume1"));
  EXPECT_FALSE(is_volume_target("\\Device\\Harddisk0\\DR0"));
  EXPECT_FALSE(is_volume_target("\\device\\harddiskvolume3"));  // voxmira compares exactly
}

TEST(HostAnswers, TargetsCutWhenAnonymized) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"\\Device\\HarddiskVolume3", "\\Device\\HarddiskVolume3"},
      {"\\Device\\Harddisk0\\DR0", "\\Device\\Harddisk0\\DR0"},
      {"\\Device\\LanmanRedirector\\;Z:0\\server\\share", "\\Device\\LanmanRedirector"},
      {"\\??\\C:\\Users\\someone", "\\??\\C:"},
      {"\\Device\\CdRom0", "\\Device\\CdRom0"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(cut_target(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace vox::capture
