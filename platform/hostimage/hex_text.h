// Hex text of host images: pairs of hex digits; blanks, tabs and line breaks may stand
// between pairs, never inside one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vox::plat::hostimage {

// The value of one hex digit of either case, or -1.
int hex_value(char c);

// Parses `text` into `bytes`. Returns the empty text on success, else the problem with
// the 1-based character position: "bad hex digit at position 7", "incomplete hex pair
// at position 3".
std::string parse_hex_text(std::string_view text, std::vector<std::uint8_t>& bytes);

// Two lower-case hex digits per byte, no separators.
std::string hex_lower(std::span<const std::uint8_t> bytes);

}  // namespace vox::plat::hostimage
