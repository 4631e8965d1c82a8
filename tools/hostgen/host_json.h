// The host-image file of a Host: JSON laid out for people, inquiry data as hex text of
// sixteen bytes a line.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "tools/hostgen/host_model.h"

namespace vox::hostgen {

// "00 83 00 36 ..." with `per_line` bytes to a line, lines joined by a line feed, no
// line feed at the end; empty for no bytes.
std::string hex_rows(std::span<const std::uint8_t> bytes, std::size_t per_line = 16);

// The host as the JSON document of a host image.
Json host_document(const Host& host);

// The whole file: the document laid out in lines of at most 120 characters (hex text
// apart), and a final line feed.
std::string write_host_json(const Host& host);

}  // namespace vox::hostgen
