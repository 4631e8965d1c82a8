#include "inquiry/probe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "driver/flags.h"
#include "support/fake_scsi_device.h"
#include "support/inquiry_builder.h"

namespace vox {
namespace {

using V = std::vector<std::int64_t>;

const std::string kTail = " [TARVELO ] [OPEN-V          ]";

// A group A volume (host group 3) whose page 0x83 names an [RB] array.
class Probe : public ::testing::Test {
 protected:
  void SetUp() override {
    auto d = std::make_unique<test::FakeScsiDevice>();
    dev = d.get();
    plat::set_backend(std::move(d));
    cli_mode = inqdump_mode = 0;
    test::StdInquiryBuilder b;
    b.additional_length(119).serial_text("0300ABCD").port('1', 'a').host_group(3);
    const test::Image s = b.build();
    dev->standard.data.assign(s.begin(), s.end());
    test::Page83Builder p;
    p.identifier("N14").text(13, "00012345 01234").port_bytes('2', 'b');
    const test::Image page = p.build();
    dev->pages[0x83].data.assign(page.begin(), page.end());
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
  test::FakeScsiDevice* dev = nullptr;
  DevIdentity record;
  std::string out, err;
};

TEST_F(Probe, DrivePathAndRoute) {
  // The drive number follows the last "Dsk" when the name has one.
  const std::pair<const char*, const char*> names[] = {
      {"X\\Dsk2\\Dsk7", "7"}, {"Vol4\\Dskx3", "3"}, {"Dsk9\\Harddisk4", "9"}, {"Harddisk12", "12"}};
  for (const auto& [name, number] : names) {
    ASSERT_EQ(probe(name, 0, 1), &record) << name << err;
    EXPECT_EQ(record.dev_path, "\\\\.\\PhysicalDrive" + std::string(number));
    EXPECT_EQ(dev->opened.back(), std::string(record.dev_path) + " c0000000 3 3 80");
  }
  EXPECT_EQ(err + out, "");
  EXPECT_STREQ(record.port_name, "[RB] CL2-B-3");
  EXPECT_EQ(V({record.serial, record.ldev, record.sl_id}), V({12345, 1234, 0xFF}));
  const auto& sptd = dev->sptds.back();
  EXPECT_EQ(V(sptd.Cdb, sptd.Cdb + 6), V({0x12, 1, 0x83, 0, 0xFF, 0}));
  EXPECT_EQ(sptd.DataTransferLength, 255u);
  for (const auto& s : dev->sptds) EXPECT_EQ(std::uintptr_t(s.DataBuffer) % 512, 0u);
  dev->open_error = 2;
  EXPECT_EQ(probe("nodigits"), nullptr);
  EXPECT_STREQ(record.dev_path, "\\\\.\\PhysicalDrive-1");
  EXPECT_EQ(err, "nodigits -> OPEN : [2] message 2\n");
}

TEST_F(Probe, FailureLines) {
  // Standard INQUIRY status and byte 0, page 0x83 status, the line.
  const std::tuple<int, int, int, std::string> cases[] = {
      {2, 0, 0, "hd1 -> ioctl: Input/output error\n"},
      {0xFF, 0, 0, "hd1 -> ioctl: No such device or address\n"},
      {0, 1, 0, "hd1 -> NOT harddisk.                      " + kTail + "\n"},
      {0, 0, 2, "hd1 -> CheckCondition  SKEY = 5 ASC = 0x24 on VPD[83]" + kTail + "\n"},
      {0, 0, 0xFF, "hd1 ->                  Selection Timeout." + kTail + "\n"},
      {0, 0, 0x08, "hd1 -> Unknown status.         CDBS = 0x08" + kTail + "\n"}};
  for (const auto& [std_status, byte0, page_status, line] : cases) {
    for (int cli : {0, 1}) {
      SetUp();
      cli_mode = cli;
      dev->standard.status = std::uint8_t(std_status);
      dev->standard.data[0] = std::uint8_t(byte0);
      const test::Bytes sense = {0x70, 0, 0xF5, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24};
      dev->pages[0x83] = {{}, sense, std::uint8_t(page_status), 0};
      EXPECT_EQ(probe("hd1"), nullptr) << line;
      EXPECT_EQ(err, cli ? "" : line);
      EXPECT_EQ(dev->closes, 1) << line;
    }
  }
}

}  // namespace
}  // namespace vox
