// The command-device test on a product identification.
#pragma once

namespace vox {

// True when the product identification (zero-terminated, at most 16 characters) marks
// a command device: its first word ends in "-CM", or its last 'M' ends the text or a
// word and closes "-CM".
bool is_command_device(const char* product_id);

}  // namespace vox
