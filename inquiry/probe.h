// The probe of one device: open the physical drive behind a display name, send the
// INQUIRY commands, and fill the identity record.
#pragma once

#include <cstdint>

#include "inquiry/dev_identity.h"

namespace vox {

// Clears `record`, fills it, and returns its address, or null when the device could not
// be identified (the reason is printed on stderr unless cli_mode). `record` keeps what
// was filled up to a failure.
DevIdentity* probe_device(const char* name, DevIdentity& record, std::uint8_t vpd_select,
                          int show_host_group);

}  // namespace vox
