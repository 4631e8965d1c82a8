#include "devices/device_space.h"

#include <memory>

#include "devices/space_state.h"

namespace vox {

DeviceSpace::DeviceSpace() : impl_(std::make_unique<Impl>()) {}
DeviceSpace::~DeviceSpace() = default;

}  // namespace vox
