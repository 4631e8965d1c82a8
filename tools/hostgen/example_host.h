// The example host shipped in examples/host.json: sixteen disks, one or more of every
// kind the tool tells apart, and the DOS names, volumes, mount points, partition
// layouts and replication pairs that go with them. examples/README.md tells what each
// disk shows.
#pragma once

#include "tools/hostgen/host_model.h"

namespace vox::hostgen {

Host make_example_host();

}  // namespace vox::hostgen
