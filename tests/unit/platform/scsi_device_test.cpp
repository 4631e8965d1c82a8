// The pass-through emulation: INQUIRY data bounded by allocation and transfer length,
// statuses, sense data, call failures and malformed records.
#include "platform/hostimage/scsi_device.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/unit/platform/image_fixture.h"

namespace vox::plat::hostimage {
namespace {

using test::bytes_of;
using test::inquiry_block;

Bytes counting(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i + 1);
  return b;
}

Disk sample_disk() {
  Disk d;
  d.number = 1;
  d.inquiry = counting(40);
  d.pages[0x83].data = counting(100);
  d.pages[0xE2].data = counting(300);
  d.pages[0xC0].status = 2;
  d.pages[0xC0].sense =
      bytes_of({0x70, 0, 0x06, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x29, 0, 0, 0, 0, 0});
  d.pages[0xC1].error = 1117;
  return d;
}

Bytes sense_of(std::span<const std::uint8_t, 18> s) {
  return Bytes(s.begin(), s.end());
}

TEST(PassThrough, AnswersInquiryWithinAllocationAndTransferLength) {
  struct Case {
    const char* what;
    std::array<int, 6> cdb;
    std::uint32_t transfer;
    std::size_t moved;   // bytes of data copied
    std::size_t zeroed;  // bytes after them set to zero
    std::uint8_t status;
    Bytes sense;
    Bytes data;
  };
  const Disk disk = sample_disk();
  const Bytes check_24 = sense_of(kSenseInvalidField);
  const Bytes check_20 = sense_of(kSenseInvalidOpcode);
  const Case cases[] = {
      {"standard, data shorter than both limits",
       {0x12, 0, 0, 0, 0xFF, 0},
       256,
       40,
       215,
       0,
       {},
       disk.inquiry},
      {"standard, allocation length 16", {0x12, 0, 0, 0, 0x10, 0}, 256, 16, 0, 0, {}, disk.inquiry},
      {"standard, transfer length 8", {0x12, 0, 0, 0, 0xFF, 0}, 8, 8, 0, 0, {}, disk.inquiry},
      {"page 83", {0x12, 1, 0x83, 0, 0xFF, 0}, 255, 100, 155, 0, {}, disk.pages.at(0x83).data},
      {"page E2 with allocation 0x02FF, transfer 255",
       {0x12, 1, 0xE2, 2, 0xFF, 0},
       255,
       255,
       0,
       0,
       {},
       disk.pages.at(0xE2).data},
      {"page not listed", {0x12, 1, 0x80, 0, 0xFF, 0}, 255, 0, 0, 2, check_24, {}},
      {"page code without EVPD", {0x12, 0, 0x83, 0, 0xFF, 0}, 255, 0, 0, 2, check_24, {}},
      {"CmdDt bit", {0x12, 2, 0, 0, 0xFF, 0}, 255, 0, 0, 2, check_24, {}},
      {"other operation code", {0x00, 0, 0, 0, 0, 0}, 255, 0, 0, 2, check_20, {}},
      {"page with its own status and sense",
       {0x12, 1, 0xC0, 0, 0xFF, 0},
       255,
       0,
       255,
       2,
       disk.pages.at(0xC0).sense,
       {}},
  };
  for (const Case& c : cases) {
    std::array<std::uint8_t, 512> buffer;
    buffer.fill(0xAA);
    auto block = inquiry_block({c.cdb[0], c.cdb[1], c.cdb[2], c.cdb[3], c.cdb[4], c.cdb[5]},
                               buffer.data(), c.transfer);
    const IoResult r = run_pass_through(disk, &block, sizeof block.sptd, &block, sizeof block);
    ASSERT_EQ(r.error, 0u) << c.what;
    EXPECT_EQ(r.scsi_status, c.status) << c.what;
    EXPECT_EQ(block.sptd.ScsiStatus, c.status) << c.what;
    EXPECT_EQ(block.sptd.DataTransferLength, c.moved) << c.what;
    EXPECT_EQ(block.sptd.SenseInfoLength, c.sense.size()) << c.what;
    EXPECT_EQ(Bytes(block.sense, block.sense + c.sense.size()), c.sense) << c.what;
    EXPECT_EQ(block.sense[c.sense.size()], 0) << c.what;
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + c.moved),
              Bytes(c.data.begin(), c.data.begin() + c.moved))
        << c.what;
    for (std::size_t i = c.moved; i < c.moved + c.zeroed; ++i)
      ASSERT_EQ(buffer[i], 0) << c.what << i;
    EXPECT_EQ(buffer[c.moved + c.zeroed], 0xAA) << c.what;  // nothing past the limit
    EXPECT_EQ(r.returned, c.sense.empty() ? 56u : 56u + c.sense.size()) << c.what;
  }
}

TEST(PassThrough, StandardInquiryStatusSenseAndFailure) {
  Disk disk = sample_disk();
  disk.inquiry_status = 0x08;
  disk.inquiry_sense = bytes_of({0x70, 0, 0x0B});
  std::array<std::uint8_t, 256> buffer{};
  auto block = inquiry_block({0x12, 0, 0, 0, 0xFF, 0}, buffer.data(), 256);
  IoResult r = run_pass_through(disk, &block, sizeof block.sptd, &block, sizeof block);
  EXPECT_EQ(r.error, 0u);
  EXPECT_EQ(block.sptd.ScsiStatus, 0x08);
  EXPECT_EQ(block.sptd.SenseInfoLength, 3);
  EXPECT_EQ(block.sense[2], 0x0B);

  disk.inquiry_error = 21;
  r = run_pass_through(disk, &block, sizeof block.sptd, &block, sizeof block);
  EXPECT_EQ(r.error, 21u);
  auto page = inquiry_block({0x12, 1, 0xC1, 0, 0xFF, 0}, buffer.data(), 255);
  EXPECT_EQ(run_pass_through(disk, &page, sizeof page.sptd, &page, sizeof page).error, 1117u);
  // The page answers although the standard INQUIRY fails.
  page = inquiry_block({0x12, 1, 0x83, 0, 0xFF, 0}, buffer.data(), 255);
  EXPECT_EQ(run_pass_through(disk, &page, sizeof page.sptd, &page, sizeof page).error, 0u);
}

TEST(PassThrough, SenseIsBoundBySenseInfoLengthAndDataByDirection) {
  const Disk disk = sample_disk();
  std::array<std::uint8_t, 256> buffer;
  buffer.fill(0xAA);
  auto block = inquiry_block({0x12, 1, 0x80, 0, 0xFF, 0}, buffer.data(), 255);
  block.sptd.SenseInfoLength = 8;
  run_pass_through(disk, &block, sizeof block.sptd, &block, sizeof block);
  EXPECT_EQ(block.sptd.SenseInfoLength, 8);
  EXPECT_EQ(block.sense[7], 0x0A);
  EXPECT_EQ(block.sense[8], 0);  // not copied

  block = inquiry_block({0x12, 0, 0, 0, 0xFF, 0}, buffer.data(), 255);
  block.sptd.DataIn = win::SCSI_IOCTL_DATA_OUT;
  EXPECT_EQ(run_pass_through(disk, &block, sizeof block.sptd, &block, sizeof block).error, 0u);
  EXPECT_EQ(block.sptd.DataTransferLength, 0u);
  EXPECT_EQ(buffer[0], 0xAA);

  // A CDB shorter than six bytes: the missing bytes read as zero, allocation length 0.
  block = inquiry_block({0x12, 0, 0}, buffer.data(), 255);
  run_pass_through(disk, &block, sizeof block.sptd, &block, sizeof block);
  EXPECT_EQ(block.sptd.DataTransferLength, 0u);
  EXPECT_EQ(buffer[0], 0xAA);
}

TEST(PassThrough, MalformedRecordsFailTheCall) {
  const Disk disk = sample_disk();
  std::array<std::uint8_t, 256> buffer{};
  struct Case {
    const char* what;
    void (*spoil)(win::ScsiPassThroughBlock&, std::uint32_t&, std::uint32_t&);
    std::uint32_t error;
  };
  const Case cases[] = {
      {"input shorter than the record", [](auto&, std::uint32_t& in, std::uint32_t&) { in = 55; },
       87},
      {"output shorter than the record",
       [](auto&, std::uint32_t&, std::uint32_t& out) { out = 55; }, 87},
      {"wrong Length", [](auto& b, std::uint32_t&, std::uint32_t&) { b.sptd.Length = 44; }, 87},
      {"CdbLength 0", [](auto& b, std::uint32_t&, std::uint32_t&) { b.sptd.CdbLength = 0; }, 87},
      {"CdbLength 17", [](auto& b, std::uint32_t&, std::uint32_t&) { b.sptd.CdbLength = 17; }, 87},
      {"sense past the output",
       [](auto& b, std::uint32_t&, std::uint32_t&) { b.sptd.SenseInfoOffset = 100; }, 87},
      {"sense over the record",
       [](auto& b, std::uint32_t&, std::uint32_t&) { b.sptd.SenseInfoOffset = 8; }, 87},
      {"no data buffer",
       [](auto& b, std::uint32_t&, std::uint32_t&) { b.sptd.DataBuffer = nullptr; }, 998},
  };
  for (const Case& c : cases) {
    auto block = inquiry_block({0x12, 0, 0, 0, 0xFF, 0}, buffer.data(), 256);
    std::uint32_t in = sizeof block.sptd;
    std::uint32_t out = sizeof block;
    c.spoil(block, in, out);
    EXPECT_EQ(run_pass_through(disk, &block, in, &block, out).error, c.error) << c.what;
  }
  EXPECT_EQ(run_pass_through(disk, nullptr, 56, buffer.data(), 256).error, 87u);
}

}  // namespace
}  // namespace vox::plat::hostimage
