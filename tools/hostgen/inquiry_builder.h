// Inquiry images built by named fields, so that whoever reads a host image's generator
// (or a test) sees which bytes a disk is about. The host-image generator and the unit
// tests share these builders.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace vox::hostgen {

using Image = std::array<std::uint8_t, 256>;

template <class Self>
class ImageBuilder {
 public:
  Self& byte(std::size_t at, std::uint8_t value) {
    image_.at(at) = value;
    return self();
  }
  Self& bytes(std::size_t at, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) image_.at(at++) = v;
    return self();
  }
  Self& bytes(std::size_t at, std::span<const std::uint8_t> values) {
    for (std::uint8_t v : values) image_.at(at++) = v;
    return self();
  }
  // Text without terminator; `width` pads with blanks.
  Self& text(std::size_t at, std::string_view s, std::size_t width = 0) {
    for (std::size_t k = 0; k < std::max(width, s.size()); ++k) {
      image_.at(at + k) = static_cast<std::uint8_t>(k < s.size() ? s[k] : ' ');
    }
    return self();
  }
  // A big-endian number of `width` bytes.
  Self& big_endian(std::size_t at, std::uint64_t value, std::size_t width) {
    for (std::size_t k = 0; k < width; ++k) {
      image_.at(at + k) = static_cast<std::uint8_t>(value >> (8 * (width - 1 - k)));
    }
    return self();
  }
  Image build() const { return image_; }

 protected:
  Self& self() { return static_cast<Self&>(*this); }
  Image image_{};
};

// Standard INQUIRY data with the array's vendor-specific fields.
class StdInquiryBuilder : public ImageBuilder<StdInquiryBuilder> {
 public:
  StdInquiryBuilder() { vendor("TARVELO").product("OPEN-V"); }
  StdInquiryBuilder& device_type(std::uint8_t b) { return byte(0, b); }
  StdInquiryBuilder& additional_length(std::uint8_t n) { return byte(4, n); }
  StdInquiryBuilder& vendor(std::string_view s) { return text(8, s, 8); }
  StdInquiryBuilder& product(std::string_view s) { return text(16, s, 16); }
  StdInquiryBuilder& serial_text(std::string_view s) { return text(36, s); }
  StdInquiryBuilder& ldev_text(std::string_view s) { return text(44, s); }
  StdInquiryBuilder& port(char cluster, char letter) {
    return bytes(49, {static_cast<std::uint8_t>(cluster), static_cast<std::uint8_t>(letter)});
  }
  StdInquiryBuilder& pair_states(std::uint8_t remote, std::uint8_t l0, std::uint8_t l1,
                                 std::uint8_t l2) {
    return bytes(52, {remote, l0, l1, l2});
  }
  // RAID group (two bytes), level, SSID (two bytes), reserved, consistency group.
  StdInquiryBuilder& raid(std::initializer_list<std::uint8_t> seven) { return bytes(96, seven); }
  StdInquiryBuilder& host_wwns(std::initializer_list<std::uint8_t> sixteen) {
    return bytes(104, sixteen);
  }
  StdInquiryBuilder& host_wwns(std::uint64_t port_wwn, std::uint64_t node_wwn) {
    return big_endian(104, port_wwn, 8).big_endian(112, node_wwn, 8);
  }
  StdInquiryBuilder& vol_attr(std::uint8_t v, std::uint8_t fencor) {
    return bytes(120, {v, fencor});
  }
  StdInquiryBuilder& host_group(std::uint16_t g) {
    return bytes(122, {static_cast<std::uint8_t>(g >> 8), static_cast<std::uint8_t>(g)});
  }
  StdInquiryBuilder& pl_marker() { return text(128, "PL00"); }
  StdInquiryBuilder& sl_cl(std::uint8_t sl, std::uint8_t cl) { return bytes(140, {sl, cl}); }
  // The full MU tables: remote MU#0..7 one byte each; local MU#0..15 one byte each, then
  // MU#16..63 as 2-bit states, four to a byte, the first in the two high bits.
  StdInquiryBuilder& mu_tables(std::span<const std::uint8_t, 8> remote,
                               std::span<const std::uint8_t, 64> local) {
    bytes(144, remote);
    bytes(152, local.first<16>());
    for (std::size_t i = 0; i < 12; ++i) {
      std::uint8_t packed = 0;
      for (std::size_t j = 0; j < 4; ++j) {
        packed = static_cast<std::uint8_t>(packed | ((local[16 + 4 * i + j] & 3) << (6 - 2 * j)));
      }
      byte(168 + i, packed);
    }
    return self();
  }
  StdInquiryBuilder& bitmap_page(std::size_t k, std::uint32_t v) {
    return big_endian(192 + 4 * k, v, 4);
  }
  StdInquiryBuilder& nic_name(std::string_view s) { return text(212, s); }
};

// Device-identification page 0x83. Starts as the shortest page the decoder accepts:
// page length 30, first identifier 20 bytes.
class Page83Builder : public ImageBuilder<Page83Builder> {
 public:
  Page83Builder() { byte(1, 0x83).page_length(30).id_length(20); }
  Page83Builder& page_length(std::uint8_t n) { return byte(3, n); }
  Page83Builder& id_length(std::uint8_t n) { return byte(7, n); }
  Page83Builder& identifier(std::string_view s) { return text(8, s); }
  Page83Builder& port_bytes(std::uint8_t a, std::uint8_t b) { return bytes(32, {a, b}); }
  Page83Builder& second_id_length(std::uint8_t n) { return byte(37, n); }
  // WWN, two LUN bytes and AL_PA in the first (38) or the second (58) layout.
  Page83Builder& target_wwn(std::size_t at, std::initializer_list<std::uint8_t> wwn,
                            std::uint8_t lun_hi, std::uint8_t lun_lo, std::uint8_t al_pa) {
    return bytes(at, wwn).bytes(at + 8, {lun_hi, lun_lo}).byte(at + 18, al_pa);
  }
  Page83Builder& target_wwn(std::size_t at, std::uint64_t wwn, std::uint8_t lun_hi,
                            std::uint8_t lun_lo, std::uint8_t al_pa) {
    return big_endian(at, wwn, 8).bytes(at + 8, {lun_hi, lun_lo}).byte(at + 18, al_pa);
  }
};

// Vendor page 0xE2 with the real volume's identity.
class PageE2Builder : public ImageBuilder<PageE2Builder> {
 public:
  PageE2Builder() { byte(1, 0xE2).byte(2, 0x02); }
  PageE2Builder& page_length_low(std::uint8_t n) { return byte(3, n); }
  PageE2Builder& real_product(std::string_view s) { return text(8, s, 16); }
  PageE2Builder& real_serial_text(std::string_view s) { return text(28, s); }
  PageE2Builder& real_ldev_text(std::string_view s) { return text(36, s); }
  PageE2Builder& raid(std::initializer_list<std::uint8_t> seven) { return bytes(40, seven); }
  PageE2Builder& real_nic_name(std::string_view s) { return text(48, s); }
};

}  // namespace vox::hostgen
