#include "inquiry/command_device.h"

#include <string_view>

namespace vox {
namespace {

// The three characters ending just before `end` spell "-CM".
bool cm_before(std::string_view text, std::size_t end) {
  return end >= 3 && text.substr(end - 3, 3) == "-CM";
}

}  // namespace

bool is_command_device(const char* product_id) {
  if (product_id == nullptr) return false;
  const std::string_view text(product_id);
  const std::size_t blank = text.find(' ');
  if (blank != std::string_view::npos && cm_before(text, blank)) return true;
  const std::size_t last_m = text.rfind('M');
  // Like the blank, the 'M' needs three characters in front of it: a bare "-CM" is not
  // taken for a command device.
  if (last_m == std::string_view::npos || last_m < 3) return false;
  const bool ends_word = last_m + 1 == text.size() || text[last_m + 1] == ' ';
  return ends_word && cm_before(text, last_m + 1);
}

}  // namespace vox
