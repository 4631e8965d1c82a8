#include "tools/hostgen/array_pages.h"

#include <algorithm>
#include <cstdio>

namespace vox::hostgen {
namespace {

std::string format(const char* fmt, long long value) {
  char text[32];
  std::snprintf(text, sizeof text, fmt, value);
  return text;
}

Page83Builder identifier_page(std::string_view key) {
  Page83Builder page;
  // ASCII code set, T10 vendor identification.
  page.bytes(4, {0x02, 0x01, 0x00}).id_length(kIdentifierLength);
  page.text(8, std::string(kIdentifierLength, ' ')).text(8, key);
  return page;
}

bool is_five_digit_mv(std::string_view key) {
  return key == "TARVELO N16" || key == "TARVELO N17";
}
bool is_model_mv(std::string_view key) {
  return key == "TARVELO 5" || key == "ZEB     5";
}

Page83Builder& target_port(Page83Builder& page, std::size_t header, std::size_t at,
                           std::uint64_t wwn, std::uint16_t lun, std::uint8_t al_pa,
                           std::uint8_t page_length) {
  // NAA designator, binary code set.
  page.bytes(header, {0x01, 0x03, 0x00, 20});
  page.target_wwn(at, wwn, static_cast<std::uint8_t>(lun >> 8), static_cast<std::uint8_t>(lun),
                  al_pa);
  return page.page_length(page_length);
}

}  // namespace

Page83Builder rb_page(std::string_view key, std::int32_t serial, std::int32_t ldev, char cluster,
                      char letter) {
  Page83Builder page = identifier_page(key);
  page.text(13, format("%08lld", serial)).text(22, format("%05lld", ldev));
  return page.port_bytes(static_cast<std::uint8_t>(cluster), static_cast<std::uint8_t>(letter));
}

Page83Builder mv_page(std::string_view key, std::int32_t serial, std::int32_t ldev,
                      int port_index) {
  Page83Builder page = identifier_page(key);
  if (is_model_mv(key)) {
    page.text(16, format("%03lld", 500 + serial / 100000))
        .text(19, format("%05llX", serial % 100000));
  } else if (is_five_digit_mv(key)) {
    page.text(19, format("%05llX", serial));
  } else {
    page.text(20, format("%04llX", serial));
  }
  page.text(24, format("%04llX", ldev));
  return page.port_bytes(static_cast<std::uint8_t>(port_index / 4),
                         static_cast<std::uint8_t>(port_index % 4));
}

Page83Builder pl_page(std::string_view key, std::int32_t serial, std::int32_t ldev, char cluster,
                      char letter) {
  Page83Builder page = identifier_page(key);
  if (key == "TARVELO P25" || key == "TARVELO P26") {
    page.text(20, format("%04lld", serial));
  } else {
    page.text(16, format("%08lld", serial));
  }
  page.text(24, format("%04lld", ldev));
  return page.port_bytes(static_cast<std::uint8_t>(cluster - 1),
                         static_cast<std::uint8_t>(letter - 0x11));
}

Page83Builder& target_port_first(Page83Builder& page, std::uint64_t wwn, std::uint16_t lun,
                                 std::uint8_t al_pa) {
  return target_port(page, 34, 38, wwn, lun, al_pa, 54);
}

Page83Builder& target_port_second(Page83Builder& page, std::uint64_t wwn, std::uint16_t lun,
                                  std::uint8_t al_pa) {
  // A 16-byte logical-unit designator comes first, then the port designator.
  page.bytes(34, {0x01, 0x02, 0x00, 16});
  for (std::size_t k = 0; k < 16; ++k) page.byte(38 + k, static_cast<std::uint8_t>(0x60 + k));
  return target_port(page, 54, 58, wwn, lun, al_pa, 74);
}

std::string group_a_serial_text(std::int32_t serial) {
  if (serial < 0x10000) return format("0300%04llX", serial);
  return format("50 %05llX", serial);
}

std::string model_serial_text(std::int32_t serial) {
  return format("5%02lld", serial / 100000) + format("%05llX", serial % 100000);
}

std::string decimal_serial_text(std::int32_t serial) {
  return format("%08lld", serial);
}

std::string ldev_text(std::int32_t ldev) {
  return format("%04llX", ldev);
}

namespace {

Bytes first_bytes(const Image& image, std::size_t count) {
  return Bytes(image.begin(), image.begin() + std::min(count, image.size()));
}

}  // namespace

Bytes std_data(const Image& image) {
  return first_bytes(image, std::size_t{image[4]} + 5);
}

Bytes page_data(const Image& image) {
  return first_bytes(image, std::size_t{image[3]} + 4);
}

std::string port_table_name(int index) {
  static constexpr char kClusters[] = "123456789ABCDEFG";
  static constexpr char kLetters[] = "ABCDEFGHJKLMNPQR";
  const int k = index & 0xFF;
  return std::string("CL") + kClusters[k / 16] + "-" + kLetters[k % 16];
}

}  // namespace vox::hostgen
