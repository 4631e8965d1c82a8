// Canned inquiry images for tests, built by named fields so that a case shows which
// bytes it is about. The builders are those of the host-image generator, so that the
// tests and the shipped host images are made by one set of builders.
#pragma once

#include "tools/hostgen/inquiry_builder.h"

namespace vox::test {

using hostgen::Image;
using hostgen::ImageBuilder;
using hostgen::Page83Builder;
using hostgen::PageE2Builder;
using hostgen::StdInquiryBuilder;

}  // namespace vox::test
