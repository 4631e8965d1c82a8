#include "transport/storage_descriptors.h"

#include <algorithm>

#include "platform/win_defs.h"

namespace vox {
namespace {

// Little-endian fields of a returned descriptor; bytes past its end read as zero.
class LittleEndianView {
 public:
  explicit LittleEndianView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t u8(std::size_t at) const { return at < bytes_.size() ? bytes_[at] : 0; }
  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>(u8(at) | u8(at + 1) << 8);
  }
  std::uint32_t u32(std::size_t at) const {
    return static_cast<std::uint32_t>(u16(at)) | static_cast<std::uint32_t>(u16(at + 2)) << 16;
  }
  // Copies up to `count` bytes from `at` into `to` from `to_at`, as far as both reach.
  void copy(std::size_t at, std::size_t count, std::span<std::uint8_t> to,
            std::size_t to_at) const {
    if (at >= bytes_.size() || to_at >= to.size()) return;
    const std::size_t n = std::min({count, bytes_.size() - at, to.size() - to_at});
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at), n,
                to.begin() + static_cast<std::ptrdiff_t>(to_at));
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

std::span<const std::uint8_t> within_buffer(std::span<const std::uint8_t> descriptor) {
  return descriptor.first(std::min(descriptor.size(), kPropertyDescriptorSize));
}

void set(std::span<std::uint8_t> image, std::size_t at, std::uint8_t value) {
  if (at < image.size()) image[at] = value;
}

// STORAGE_IDENTIFIER offsets.
constexpr std::size_t kIdCodeSet = 0;
constexpr std::size_t kIdType = 4;
constexpr std::size_t kIdSize = 8;
constexpr std::size_t kIdNextOffset = 10;

// One identifier laid out as an SPC designator: code set, type, 0, length, bytes.
void put_designator(const LittleEndianView& d, std::size_t id, std::span<std::uint8_t> page,
                    std::size_t at) {
  const std::uint16_t size = d.u16(id + kIdSize);
  set(page, at, d.u8(id + kIdCodeSet));
  set(page, at + 1, d.u8(id + kIdType));
  set(page, at + 2, 0);
  set(page, at + 3, static_cast<std::uint8_t>(size));
  d.copy(id + win::kIdentifierHeaderSize, size, page, at + 4);
}

}  // namespace

void device_descriptor_to_std_image(std::span<const std::uint8_t> descriptor,
                                    std::span<std::uint8_t> image) {
  const LittleEndianView d(within_buffer(descriptor));
  image = image.first(std::min(image.size(), kStdImageSize));
  if (descriptor.size() < win::kDeviceDescriptorRawOffset) return;  // no complete header
  const std::uint32_t raw_length = d.u32(win::kDeviceDescriptorRawLengthOffset);
  if (raw_length < 36) return;
  // RawDeviceProperties holds the inquiry data the device returned, from its first
  // byte: the image starts at the field itself (offset 36), so byte 0 is the
  // peripheral byte and vendor and product land at 8 and 16.
  d.copy(win::kDeviceDescriptorRawOffset, raw_length, image, 0);
  set(image, 4, static_cast<std::uint8_t>(raw_length - 5));
}

void id_descriptor_to_page83(std::span<const std::uint8_t> descriptor,
                             std::span<std::uint8_t> page) {
  const LittleEndianView d(within_buffer(descriptor));
  page = page.first(std::min(page.size(), kPageImageSize));
  set(page, 1, 0x83);
  if (descriptor.empty() || d.u32(win::kIdDescriptorCountOffset) < 2) return;
  const std::size_t first = win::kIdDescriptorFirstOffset;
  const std::size_t second = first + d.u16(first + kIdNextOffset);
  put_designator(d, first, page, 4);
  put_designator(d, second, page, 28);
  set(page, 3, static_cast<std::uint8_t>(d.u16(first + kIdSize) + 8 + d.u16(second + kIdSize)));
}

}  // namespace vox
