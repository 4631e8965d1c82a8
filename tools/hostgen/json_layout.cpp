#include "tools/hostgen/json_layout.h"

namespace vox::hostgen {
namespace {

// The one-line form: "{ "a": 1, "b": [1, 2] }".
std::string one_line(const Json& v) {
  std::string out;
  if (v.is_object()) {
    if (v.empty()) return "{}";
    out = "{ ";
    bool first = true;
    for (const auto& item : v.items()) {
      if (!first) out += ", ";
      first = false;
      out += Json(item.key()).dump() + ": " + one_line(item.value());
    }
    return out + " }";
  }
  if (v.is_array()) {
    out = "[";
    for (std::size_t i = 0; i < v.size(); ++i) {
      if (i != 0) out += ", ";
      out += one_line(v[i]);
    }
    return out + "]";
  }
  return v.dump();
}

// Appends `v`, which starts `lead` characters after an indentation of `indent`.
void put(const Json& v, std::size_t indent, std::size_t lead, std::size_t width, std::string& out) {
  const std::string line = one_line(v);
  const bool container = v.is_object() || v.is_array();
  // One more column for the comma that may follow.
  if (!container || v.empty() || indent + lead + line.size() + 1 <= width) {
    out += line;
    return;
  }
  const std::string inner(indent + 2, ' ');
  out += v.is_object() ? "{\n" : "[\n";
  std::size_t left = v.size();
  if (v.is_object()) {
    for (const auto& item : v.items()) {
      const std::string key = Json(item.key()).dump() + ": ";
      out += inner + key;
      put(item.value(), indent + 2, key.size(), width, out);
      out += --left != 0 ? ",\n" : "\n";
    }
  } else {
    for (const Json& element : v) {
      out += inner;
      put(element, indent + 2, 0, width, out);
      out += --left != 0 ? ",\n" : "\n";
    }
  }
  out += std::string(indent, ' ') + (v.is_object() ? "}" : "]");
}

}  // namespace

std::string layout_json(const Json& value, std::size_t width) {
  std::string out;
  put(value, 0, 0, width, out);
  return out;
}

}  // namespace vox::hostgen
