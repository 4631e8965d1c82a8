#include "inquiry/probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "driver/flags.h"
#include "support/fake_scsi_device.h"
#include "support/inquiry_builder.h"

namespace vox {
namespace {

using test::Page83Builder;
using test::PageE2Builder;
using test::StdInquiryBuilder;
using V = std::vector<std::int64_t>;

test::Bytes bytes(const test::Image& image) {
  return {image.begin(), image.end()};
}
// Standard data of a volume on port CL1-A, host group 3.
test::Bytes std_data(std::uint8_t n, const char* serial, const char* ldev = "") {
  StdInquiryBuilder b;
  b.additional_length(n).serial_text(serial).ldev_text(ldev);
  return bytes(b.port('1', 'a').host_group(3).build());
}

const std::string kTail = " [TARVELO ] [OPEN-V          ]";

class Probe : public ::testing::Test {
 protected:
  // A group A volume (host group 3) whose page 0x83 names an [RB] array.
  void SetUp() override {
    auto d = std::make_unique<test::FakeScsiDevice>();
    dev = d.get();
    plat::set_backend(std::move(d));
    cli_mode = inqdump_mode = 0;
    dev->standard.data = std_data(119, "0300ABCD");
    dev->pages[0x83].data = bytes(
        Page83Builder().identifier("N14").text(13, "00012345 01234").port_bytes('2', 'b').build());
  }
  void TearDown() override {
    EXPECT_EQ(dev->open_handles, 0);  // closed on every path
    cli_mode = inqdump_mode = 0;
  }
  DevIdentity* probe(const char* name, std::uint8_t vpd = 0, int show_group = 0) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    DevIdentity* got = probe_device(name, record, vpd, show_group);
    out = testing::internal::GetCapturedStdout();
    err = testing::internal::GetCapturedStderr();
    return got;
  }
  V cdb() const { return V(dev->sptds.back().Cdb, dev->sptds.back().Cdb + 6); }
  test::FakeScsiDevice* dev = nullptr;
  DevIdentity record;
  std::string out, err;
};

TEST_F(Probe, DrivePathFromTheName) {
  const std::pair<const char*, const char*> cases[] = {{"\\Vol2\\Dsk5", "5"},
                                                       {"Harddisk12", "12"},
                                                       {"X\\Dsk2\\Dsk7", "7"},
                                                       {"Vol4\\Dskx3", "3"},
                                                       {"Dsk9\\Harddisk4", "9"}};
  for (const auto& [name, number] : cases) {
    ASSERT_EQ(probe(name), &record) << name << err;
    EXPECT_EQ(record.dev_path, "\\\\.\\PhysicalDrive" + std::string(number));
    EXPECT_EQ(dev->opened.back(), std::string(record.dev_path) + " c0000000 3 3 80");
  }
  dev->open_error = 2;
  EXPECT_EQ(probe("nodigits"), nullptr);
  EXPECT_STREQ(record.dev_path, "\\\\.\\PhysicalDrive-1");
  EXPECT_EQ(err, "nodigits -> OPEN : [2] message 2\n");
}

TEST_F(Probe, Routes) {
  ASSERT_EQ(probe("hd1", 0, 1), &record);  // page 0x83
  EXPECT_EQ(err + out, "");
  EXPECT_STREQ(record.port_name, "[RB] CL2-B-3");
  EXPECT_EQ(V({record.serial, record.ldev, record.sl_id, dev->sptds.back().DataTransferLength}),
            V({12345, 1234, 0xFF, 255}));
  EXPECT_EQ(cdb(), V({0x12, 1, 0x83, 0, 0xFF, 0}));
  for (const auto& s : dev->sptds) EXPECT_EQ(std::uintptr_t(s.DataBuffer) % 512, 0u);
  cli_mode = 1;
  ASSERT_EQ(probe("hd1"), &record);
  EXPECT_STREQ(record.port_name, "CL2-B");
  cli_mode = 0;  // -fr and -fe ask for the vendor page
  dev->standard.data = std_data(119, "50 1E240", "0012");
  PageE2Builder e2;
  e2.real_serial_text("71012345").real_ldev_text("00FF").raid({0, 7, 0x11, 0xAB, 0xCD, 0, 4});
  dev->pages[0xE2].data = bytes(e2.build());
  ASSERT_EQ(probe("hd1", 0xE2), &record);
  EXPECT_EQ(V({record.serial, record.ldev, record.real_serial, record.real_ldev}),
            V({123456, 18, 71012345, 255}));
  EXPECT_EQ(cdb(), V({0x12, 1, 0xE2, 2, 0xFF, 0}));
  ASSERT_EQ(probe("hd1", 0xF2), &record);
  EXPECT_EQ(V({record.serial, record.ldev, record.raid_level, record.real_id_valid}),
            V({71012345, 255, 0x11, 0}));
  dev->pages[0xE2].error = 21;  // not ready: the identification property answers instead
  dev->id_descriptor = test::id_descriptor({{0x0103, {1, 2}}, {0x0203, {3}}});
  EXPECT_EQ(probe("hd1", 0xF2), nullptr);
  EXPECT_EQ(err, "hd1 -> NOT supported RAID for PageE2.     " + kTail + "\n");
}

TEST_F(Probe, GroupPTakesTheStandardRoute) {
  dev->standard.data = std_data(50, "71012345", "00FF");
  ASSERT_EQ(probe("hd1"), &record);
  EXPECT_EQ(V({record.serial, record.ldev, long(dev->sptds.size())}), V({71012345, 255, 1}));
  EXPECT_STREQ(record.port_name, "[CW] Unknown");
  for (std::uint8_t vpd : {0xE2, 0xF2}) {
    EXPECT_EQ(probe("hd1", vpd), nullptr);
    EXPECT_EQ(err, "hd1 -> NOT supported INQ for PageE2.      " + kTail + "\n");
  }
  inqdump_mode = 1;  // the page is asked for (and shown) all the same
  ASSERT_EQ(probe("hd1"), &record);
  EXPECT_EQ(record.serial, 12345);
  EXPECT_NE(out.find("***** P83 inquiry dump  *****\n"), std::string::npos);
}

TEST_F(Probe, FailureLines) {
  // Standard INQUIRY status and byte 0, page status and pass-through error, the line.
  const std::tuple<int, int, int, std::uint32_t, std::string> cases[] = {
      {2, 0, 0, 0, "hd1 -> ioctl: Input/output error\n"},
      {0xFF, 0, 0, 0, "hd1 -> ioctl: No such device or address\n"},
      {0, 1, 0, 0, "hd1 -> NOT harddisk.                      " + kTail + "\n"},
      {0, 0, 0, 1117,
       "DeviceIoControl : [1117] message 1117\nhd1 -> " + std::string(35, ' ') + kTail +
           " ioctl: Input/output error\n"},
      {0, 0, 2, 0, "hd1 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83]" + kTail + "\n"},
      {0, 0, 0xFF, 0, "hd1 ->                  Selection Timeout." + kTail + "\n"},
      {0, 0, 0x08, 0, "hd1 -> Unknown status.         CDBS = 0x08" + kTail + "\n"}};
  for (const auto& [std_status, byte0, page_status, page_error, line] : cases) {
    for (int cli : {0, 1}) {
      SetUp();
      cli_mode = cli;
      dev->standard.status = std::uint8_t(std_status);
      dev->standard.data[0] = std::uint8_t(byte0);
      dev->pages[0x83] = {{},
                          {0x70, 0, 0xF5, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24},
                          std::uint8_t(page_status),
                          page_error};
      EXPECT_EQ(probe("hd1"), nullptr) << line;
      EXPECT_EQ(err, cli ? "" : line);
      EXPECT_EQ(dev->closes, 1) << line;
    }
  }
}

// Whatever the device sends (any length, any bytes, page lengths past the buffer), the
// probe stays inside its buffers; the sanitizer build checks every read.
TEST_F(Probe, ArbitraryAnswers) {
  std::mt19937 random(12345);
  auto some_bytes = [&] {
    test::Bytes b(random() % 301);
    for (auto& x : b) x = static_cast<std::uint8_t>(random());
    if (b.size() > 37 && random() % 2) b[0] = 0, b[36] = '7';
    return b;
  };
  for (int round = 0; round < 300; ++round) {
    dev->standard.data = some_bytes();
    dev->pages[0x83].data = some_bytes();
    dev->pages[0xE2].data = some_bytes();
    inqdump_mode = round % 5 == 0;
    cli_mode = round % 7 == 0;
    probe("hd1", std::array<std::uint8_t, 3>{0, 0xE2, 0xF2}[round % 3], round % 2);
    EXPECT_LE(std::strlen(record.port_name), 26u);
  }
}

}  // namespace
}  // namespace vox
