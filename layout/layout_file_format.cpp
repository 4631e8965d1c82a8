#include "layout/layout_file_format.h"

#include <cstdio>

namespace vox {

namespace {

// Writes the text into its field; snprintf keeps a string end inside the field and the
// rest of the field stays zero.
template <typename... Args>
void put_text(LayoutFileHeader& header, std::size_t offset, std::size_t size, const char* format,
              Args... args) {
  std::snprintf(reinterpret_cast<char*>(header.data() + offset), size, format, args...);
}

}  // namespace

LayoutFileHeader make_layout_file_header(const char* dev_path, std::int32_t serial,
                                         std::int32_t ldev) {
  LayoutFileHeader header{};
  put_text(header, kHeaderDevFileOffset, kHeaderDevFileSize, "DEVFILE = %s\n", dev_path);
  put_text(header, kHeaderSerTextOffset, kHeaderSerTextSize, "SER = %d\n", serial);
  put_text(header, kHeaderLdevTextOffset, kHeaderLdevTextSize, "LDEV = %d(0x%06x)\n", ldev,
           static_cast<unsigned>(ldev));
  write_le32(header, kHeaderSerialOffset, static_cast<std::uint32_t>(serial));
  write_le32(header, kHeaderLdevOffset, static_cast<std::uint32_t>(ldev));
  return header;
}

std::size_t layout_file_image_size(LayoutForm form) {
  return kLayoutFileHeaderSize + layout_buffer_size(form);
}

std::int32_t file_serial(std::span<const std::uint8_t> image) {
  return static_cast<std::int32_t>(read_le32(image, kHeaderSerialOffset));
}

std::int32_t file_ldev(std::span<const std::uint8_t> image) {
  return static_cast<std::int32_t>(read_le32(image, kHeaderLdevOffset));
}

DiskTag make_disk_tag(std::span<const std::uint8_t> image, LayoutForm form) {
  constexpr std::size_t kLayout = kLayoutFileHeaderSize;
  DiskTag tag{};
  if (form == LayoutForm::Ex && read_le32(image, kLayout + kLayoutExStyleOffset) == kStyleGpt) {
    const auto text = guid_text(read_guid(image, kLayout + kLayoutExUnionOffset));
    std::snprintf(tag.data(), tag.size(), "%s", text.data());
    return tag;
  }
  const std::size_t at =
      kLayout + (form == LayoutForm::Ex ? kLayoutExUnionOffset : kLayoutSignatureOffset);
  std::snprintf(tag.data(), tag.size(), "%08X", static_cast<unsigned>(read_le32(image, at)));
  return tag;
}

}  // namespace vox
