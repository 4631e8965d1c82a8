// The edges of the reports that start the pair-status tool or read the environment.
#pragma once

#include "inquiry/dev_identity.h"

namespace vox {

// True when the environment variable VEXAC_QUIL exists (any value): the lookups then
// concern the local copies (MU#0..63), else the remote copies (MU#0..3).
bool local_copy_instance();

// -find in the default form: the tool prints the volume's pair groups itself; then
// "->name" on stdout, or "name -> No such on the group" on stderr.
void run_find_default(const char* name, const DevIdentity& record, unsigned fmt_flags);
// -find in CLI form: "-> name" after a successful lookup, nothing otherwise.
void run_find_cli(const char* name, const DevIdentity& record, unsigned fmt_flags);

}  // namespace vox
