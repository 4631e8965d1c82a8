// JSON laid out for people: a value whose one-line form fits the line stays on one line,
// anything longer opens one member or element per line.
#pragma once

#include <cstddef>
#include <string>

#include "tools/hostgen/host_model.h"

namespace vox::hostgen {

// `value` as text, no line wider than `width` unless a single member is; ends without a
// line feed.
std::string layout_json(const Json& value, std::size_t width = 100);

}  // namespace vox::hostgen
