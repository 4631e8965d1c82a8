#include "report/export_record.h"

#include "report/text_format.h"

namespace vox {
namespace {

constexpr const char* kExportTag = "VOXMIRA:";

}  // namespace

std::int8_t check_value(std::string_view text) {
  std::uint8_t x = 0;
  for (const char c : text) x ^= static_cast<std::uint8_t>(c);
  return static_cast<std::int8_t>(x);
}

std::string export_product(const DevIdentity& record) {
  const char* id = record.product_id;
  constexpr std::size_t kWidth = sizeof(record.product_id) - 1;  // 16 characters
  std::size_t end = kWidth;
  while (end > 0 && (id[end - 1] == ' ' || id[end - 1] == '\0')) --end;
  if (end == 0) return std::string(field_text(record.product_id));
  // A NUL before the cut still ends the text.
  std::size_t n = 0;
  while (n < end && id[n] != '\0') ++n;
  return std::string(id, n);
}

std::string export_check_text(std::string_view name, const DevIdentity& record) {
  const std::string port(field_text(record.port_name));
  const std::string product = export_product(record);
  const std::string full(name);
  // The check covers exactly the fields the line prints, however long the name.
  return format_text("%s@%s@%d@%d@%s@%s", kExportTag, port.c_str(), record.serial, record.ldev,
                     product.c_str(), full.c_str());
}

std::string export_line(std::string_view name, const DevIdentity& record) {
  const std::string port(field_text(record.port_name));
  const std::string product = export_product(record);
  const std::string full(name);
  const int check = check_value(export_check_text(name, record));
  return format_text("%s@%s@%d@%d@%d@%s@%s\n", kExportTag, port.c_str(), record.serial, record.ldev,
                     check, product.c_str(), full.c_str());
}

}  // namespace vox
