#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "driver/flags.h"
#include "support/fake_scsi_device.h"
#include "transport/inq_timeout.h"
#include "transport/scsi.h"

namespace vox {
namespace {

using U = std::vector<std::uint64_t>;

class ScsiIoctl : public ::testing::Test {
 protected:
  void SetUp() override {
    auto d = std::make_unique<test::FakeScsiDevice>();
    dev = d.get();
    plat::set_backend(std::move(d));
    cli_mode = 0;
    const std::uint8_t cdb[6] = {0x12, 0x01, 0x83, 0x00, 0xFF, 0x00};
    std::copy(cdb, cdb + 6, req.cdb);
    req.flags = 1, req.cdb_len = 6, req.data = buf, req.data_len = 255, req.timeout_ms = 10000;
  }
  void TearDown() override { cli_mode = 0; }
  // Kind 10 into `buf` or kind 11 with `req`: {result, errno}; stderr kept in `err`.
  std::pair<int, int> run(int kind) {
    testing::internal::CaptureStderr();
    errno = 0;
    const int result = scsi_ioctl(7, kind, kind == SCSI_PASS_COMMAND ? (void*)&req : buf);
    const int error = errno;
    err = testing::internal::GetCapturedStderr();
    return {result, error};
  }
  test::FakeScsiDevice* dev = nullptr;
  alignas(512) std::uint8_t buf[512] = {};
  ScsiRequest req;
  std::string err;
};

TEST_F(ScsiIoctl, StandardInquiry) {
  dev->standard.data = {0, 0, 5, 2, 91};
  ASSERT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(0, 0));
  const auto& s = dev->sptds.at(0);
  EXPECT_EQ(U({s.Length, s.SenseInfoOffset, s.SenseInfoLength, s.DataIn, s.DataTransferLength,
               s.CdbLength, buf[4]}),
            U({56, 56, 255, 1, 256, 6, 91}));
  EXPECT_EQ(U(s.Cdb, s.Cdb + 16), U({0x12, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(dev->sizes, (std::vector<std::uint32_t>{56, 312, 1}));  // record in, block out
  EXPECT_EQ(s.DataBuffer, buf);
  EXPECT_EQ(s.TimeOutValue, std::uint32_t(inq_timeout_seconds(get_inq_timeout())));
  const std::pair<std::uint8_t, int> statuses[] = {{2, EIO}, {0xFF, ENXIO}, {8, EIO}, {0x18, EIO}};
  for (const auto& [status, error] : statuses) {
    dev->standard.status = status;
    EXPECT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(-1, error)) << int(status);
  }
}

TEST_F(ScsiIoctl, PassCommandKeepsStatusAndSense) {
  req.cdb[2] = 0x80;  // unlisted page: CHECK CONDITION, sense key 5, ASC 0x24
  ASSERT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(0, 0));
  const auto& s = dev->sptds.back();
  EXPECT_EQ(U({req.scsi_status, req.sense_status, req.sense_len, req.data_done, req.sense[2],
               req.sense[12], s.DataTransferLength, s.TimeOutValue, s.DataIn, s.Cdb[2]}),
            U({2, 2, 96, 255, 5, 0x24, 255, 12, 1, 0x80}));
  req.flags = 0;  // towards the device; a negative time-out in unsigned arithmetic
  req.timeout_ms = static_cast<std::uint32_t>(-5000);
  ASSERT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(0, 0));
  EXPECT_EQ(U({dev->sptds.back().DataIn, dev->sptds.back().TimeOutValue}), U({0, 4294962 + 2}));
}

TEST_F(ScsiIoctl, RefusedCalls) {
  dev->standard.error = win::ERROR_IO_DEVICE;
  dev->pages[0x83].error = win::ERROR_ACCESS_DENIED;
  EXPECT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(-1, ENXIO));
  EXPECT_EQ(err, "DeviceIoControl : [1117] message 1117\n");
  EXPECT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(-1, EIO));
  EXPECT_EQ(err, "DeviceIoControl : [5] message 5\n");
  EXPECT_EQ(req.sense_len, 96u);
  cli_mode = 1;
  EXPECT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(-1, EIO));
  EXPECT_EQ(err, "");
  EXPECT_EQ(run(12), std::make_pair(-1, EINVAL));  // unknown kind
  req.cdb_len = 17;
  EXPECT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(-1, EINVAL));
  EXPECT_EQ(scsi_ioctl(7, SCSI_STD_INQUIRY, nullptr), -1);
  EXPECT_EQ(dev->sptds.size(), 3u);
}

TEST_F(ScsiIoctl, NotReadyFallsBackToThePropertyQueries) {
  dev->standard.error = dev->pages[0xE2].error = win::ERROR_NOT_READY;
  test::Bytes raw(40, 0x20);
  raw[0] = 0;
  dev->device_descriptor = test::device_descriptor(raw, 40);
  dev->id_descriptor = test::id_descriptor({{0x0103, {1, 2}}, {0x0203, {9}}});
  std::fill(buf, buf + 300, 0xEE);
  ASSERT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(0, 0));
  EXPECT_EQ(U({buf[0], buf[4], buf[39], buf[40], buf[243], buf[244]}),
            U({0, 35, 0x20, 0, 0, 0xEE}));  // cleared up to 244, byte 4 = 40 - 5
  req.cdb[2] = 0xE2;                        // answered with an identification page
  ASSERT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(0, 0));
  EXPECT_EQ(U({req.scsi_status, buf[1], buf[3], buf[8], buf[32]}), U({0, 0x83, 11, 1, 9}));
  dev->device_descriptor = test::device_descriptor(test::Bytes(35, 0x41), 35);
  ASSERT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(0, 0));  // under 36 bytes: all zero
  EXPECT_EQ(std::count(buf, buf + 244, 0), 244);
  EXPECT_EQ(dev->property_calls, (std::vector<std::uint32_t>{0, 2, 0}));
}

TEST_F(ScsiIoctl, RefusedFallbackReportsBothCalls) {
  dev->standard.error = dev->pages[0x83].error = win::ERROR_NOT_READY;
  EXPECT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(-1, ENXIO));
  EXPECT_EQ(err,
            "IOCTL_STORAGE_QUERY_PROPERTY : [50] message 50\nDeviceIoControl : [50] message 50\n");
  EXPECT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(-1, EIO));
  EXPECT_EQ(err,
            "IOCTL_STORAGE_QUERY_PROPERTY(VPD) : [50] message 50\n"
            "DeviceIoControl : [50] message 50\n");
  req.cdb[0] = 0x28;  // not an INQUIRY: no fallback
  EXPECT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(-1, EIO));
  EXPECT_EQ(err, "DeviceIoControl : [21] message 21\n");
  EXPECT_EQ(dev->property_calls.size(), 2u);
}

}  // namespace
}  // namespace vox
