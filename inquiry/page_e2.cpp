#include "inquiry/page_e2.h"

#include <algorithm>

#include "inquiry/byte_view.h"
#include "inquiry/probe_messages.h"
#include "inquiry/std_attributes.h"
#include "inquiry/std_identity.h"
#include "inquiry/std_layout.h"

namespace vox {
namespace {

constexpr std::size_t kPageCode = 1;
constexpr std::size_t kLengthHigh = 2;
constexpr std::size_t kRealIdText = 28;  // serial text 28..35, LDEV text 36..39
constexpr std::size_t kRealIdLength = 12;
constexpr std::size_t kRaidBlock = 40;

}  // namespace

bool page_e2_header_ok(std::span<const std::uint8_t> bytes) {
  const ByteView page(bytes);
  return page[kPageCode] == 0xE2 && page[kLengthHigh] == 0x02;
}

std::array<std::uint8_t, 256> substitute_real_id(std::span<const std::uint8_t> std_data,
                                                 std::span<const std::uint8_t> page) {
  std::array<std::uint8_t, 256> image{};
  std::copy_n(std_data.begin(), std::min(std_data.size(), image.size()), image.begin());
  const ByteView e2(page);
  for (std::size_t k = 0; k < kRealIdLength; ++k) {
    image[std_byte::kSerialText + k] = e2[kRealIdText + k];
  }
  return image;
}

DevIdentity* decode_e2_real(const char* name, DevIdentity& r,
                            std::span<const std::uint8_t> std_data,
                            std::span<const std::uint8_t> page, int show_host_group, bool cli,
                            std::string& diag) {
  if (!page_e2_header_ok(page)) {
    diag = failure_line(name, kNotSupportedRaidPageE2, r);
    return nullptr;
  }
  decode_std_identity(r, ByteView(std_data), show_host_group, cli);
  const std::array<std::uint8_t, 256> real = substitute_real_id(std_data, page);
  r.real_id_valid = 1;
  r.real_serial = std_serial(ByteView(real));
  r.real_ldev = std_ldev(ByteView(real));
  return &r;
}

DevIdentity* decode_e2_exchange(const char* name, DevIdentity& r,
                                std::span<const std::uint8_t> std_data,
                                std::span<const std::uint8_t> page, int show_host_group, bool cli,
                                std::string& diag) {
  if (!page_e2_header_ok(page)) {
    diag = failure_line(name, kNotSupportedRaidPageE2, r);
    return nullptr;
  }
  read_raid_block(r, ByteView(page), kRaidBlock);
  const std::array<std::uint8_t, 256> real = substitute_real_id(std_data, page);
  decode_std_identity(r, ByteView(real), show_host_group, cli);
  return &r;
}

}  // namespace vox
