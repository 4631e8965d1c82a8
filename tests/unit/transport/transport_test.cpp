#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <random>

#include "driver/flags.h"
#include "support/fake_scsi_device.h"
#include "transport/inq_dump.h"
#include "transport/inq_timeout.h"
#include "transport/scsi.h"
#include "transport/storage_descriptors.h"
#include "transport/win_error.h"

namespace vox {
namespace {

using test::Bytes;
using U = std::vector<std::uint64_t>;

Bytes seq(std::size_t n, std::uint8_t first) {
  Bytes b(n);
  for (std::size_t k = 0; k < n; ++k) b[k] = static_cast<std::uint8_t>(first + k);
  return b;
}

// Dump rows are judged end to end; here: the address, its low 32 bits only, the header again
// after 256 bytes, and dumps of nothing.
TEST(Transport, DumpErrorReportsAndTimeOut) {
  const std::string head =
      " ---ADDR--- -OFF-   0-1-2-3- 4-5-6-7- 8-9-A-B- C-D-E-F-     ------CHAR------\n";
  auto title = [](std::string t) { return "               ***** " + t + " dump  *****\n"; };
  const Bytes data(257, 0x7F);
  EXPECT_EQ(format_inq_dump("PE2 inquiry", data.data(), 0, 0), title("PE2 inquiry"));
  EXPECT_EQ(format_inq_dump(nullptr, nullptr, 16, 0), title(""));
  const std::string text = format_inq_dump("X", data.data(), data.size(), 0x1FFFFFFF8ull);
  const std::string tail =
      head + "[0x000000f8]0100:   7f" + std::string(38, ' ') + "." + std::string(17, ' ') + "\n";
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  const std::size_t row = title("X").size() + head.size(), width = 79;
  EXPECT_EQ(text.substr(row, 17) + text.substr(row + width, 17),
            "[0xfffffff8]0000:[0x00000008]0010:");
  EXPECT_EQ(format_win_error("X", 0xFFFFFFFFu, "text\r\n"), "X : [-1] text\r\n");
  plat::set_backend(std::make_unique<test::FakeBackend>());
  plat::SetLastError(1117);
  testing::internal::CaptureStderr();
  report_win_error("DeviceIoControl");
  report_win_error(nullptr);
  report_win_error_code("OPEN", 5);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "DeviceIoControl : [1117] message 1117\n[1117] : message 1117\nOPEN : [5] message 5\n");
  for (const auto& [text, ms] : {std::pair<const char*, int>{"- 5", 0},
                                 {nullptr, 0},
                                 {"99999999999999999999", INT_MAX},
                                 {"-99999999999999999999", INT_MIN}}) {
    EXPECT_EQ(parse_inq_timeout(text), ms) << (text ? text : "");
  }
  unsetenv("VEXACM_INQ_TOV");
  EXPECT_EQ(read_inq_timeout_env(), 2000);
  setenv("VEXACM_INQ_TOV", (std::string(100, ' ') + "1234").c_str(), 1);  // past a first buffer
  EXPECT_EQ(read_inq_timeout_env(), 1234);
  unsetenv("VEXACM_INQ_TOV");
}

TEST(Descriptors, StayInsideTheImages) {
  // 40 raw bytes whose length field claims 300: only the bytes returned are copied.
  Bytes image(300, 0xEE), want = seq(40, 1);
  want[4] = 39, want.resize(300, 0xEE);
  device_descriptor_to_std_image(test::device_descriptor(seq(40, 1), 300),
                                 std::span(image).first(256));
  EXPECT_EQ(image, want);
  Bytes page(255);
  want.assign(255, 0), want[1] = 0x83;  // one identifier: the page code only
  id_descriptor_to_page83(test::id_descriptor({{0x0103, seq(20, 0x41)}}), page);
  EXPECT_EQ(page, want);
  std::mt19937 random(7);  // junk descriptors never write past the image
  for (int round = 0; round < 500; ++round) {
    Bytes junk(random() % 600), image(300, 0xEE);
    for (auto& x : junk) x = static_cast<std::uint8_t>(random() % 4 ? random() : random() % 64);
    device_descriptor_to_std_image(junk, std::span(image).first(256));
    id_descriptor_to_page83(junk, std::span(image).first(255 - round % 200));
    EXPECT_EQ(Bytes(image.begin() + 256, image.end()), Bytes(44, 0xEE));
  }
}

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

TEST_F(ScsiIoctl, StandardInquiryAndPassCommand) {
  dev->standard.data = {0, 0, 5, 2, 91};
  ASSERT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(0, 0));
  const auto& s = dev->sptds.at(0);
  EXPECT_EQ(U({s.Length, s.SenseInfoOffset, s.SenseInfoLength, s.DataIn, s.DataTransferLength,
               s.CdbLength, buf[4], s.TimeOutValue}),
            U({56, 56, 255, 1, 256, 6, 91, std::uint32_t(get_inq_timeout() / 1000 + 2)}));
  EXPECT_EQ(U(s.Cdb, s.Cdb + 16), U({0x12, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(dev->sizes, (std::vector<std::uint32_t>{56, 312, 1}));  // record in, block out
  EXPECT_EQ(s.DataBuffer, buf);
  const std::pair<std::uint8_t, int> statuses[] = {{2, EIO}, {0xFF, ENXIO}, {0x18, EIO}};
  for (const auto& [status, error] : statuses) {
    dev->standard.status = status;
    EXPECT_EQ(run(SCSI_STD_INQUIRY), std::make_pair(-1, error)) << int(status);
  }
  req.cdb[2] = 0x80;  // unlisted page: CHECK CONDITION, sense key 5, ASC 0x24
  ASSERT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(0, 0));
  const auto& p = dev->sptds.back();
  EXPECT_EQ(U({req.scsi_status, req.sense_status, req.sense_len, req.data_done, req.sense[2],
               req.sense[12], p.DataTransferLength, p.TimeOutValue, p.DataIn, p.Cdb[2]}),
            U({2, 2, 96, 255, 5, 0x24, 255, 12, 1, 0x80}));
  req.flags = 0;  // towards the device
  ASSERT_EQ(run(SCSI_PASS_COMMAND), std::make_pair(0, 0));
  EXPECT_EQ(dev->sptds.back().DataIn, 0);
}

TEST_F(ScsiIoctl, RefusedCallsAndFallbacks) {
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
  // A device not ready is asked through the property queries; they fail too here.
  cli_mode = 0, req.cdb_len = 6;
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
