// The device name as the report lines show it.
#pragma once

#include <string>
#include <string_view>

#include "inquiry/dev_identity.h"

namespace vox {

// True when the volume deserves the "*" mark under the given flags: FMT_HARD with an
// H.A.R.D volume, FMT_PIN with a PIN track volume, FMT_FENCOR with an LDEV FENCOR volume.
bool has_volume_mark(const DevIdentity& record, unsigned fmt_flags);
// The name followed by one "*" when the volume deserves the mark.
std::string marked_name(std::string_view name, const DevIdentity& record, unsigned fmt_flags);
// The part of the name after its last '/' (all of it when it has none).
std::string_view shown_name(std::string_view name);

}  // namespace vox
