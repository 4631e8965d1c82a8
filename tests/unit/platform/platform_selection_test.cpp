// Backend selection from the environment and the calls platform.cpp answers itself.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/platform.h"
#include "tests/support/fake_backend.h"
#include "tests/unit/platform/image_fixture.h"

namespace vox::plat {
namespace {

class PlatformSelection : public ::testing::Test {
 protected:
  void TearDown() override {
    ::unsetenv("VOXMIRA_HOST");
    ::unsetenv("VOX_TEST_VAR");
    set_backend(nullptr);
  }
};

TEST_F(PlatformSelection, GetEnvironmentVariableBehavesAsWindows) {
  auto fake = std::make_unique<test::FakeBackend>();
  test::FakeBackend* errors = fake.get();
  set_backend(std::move(fake));
  struct Case {
    const char* value;  // null: unset
    std::uint32_t size;
    std::uint32_t result;
    const char* stored;  // null: buffer untouched
    std::uint32_t last_error;
  };
  const Case cases[] = {
      {nullptr, 256, 0, nullptr, 203},
      {"", 256, 0, "", 0},
      {"", 0, 1, nullptr, 77},
      {"C:\\Windows", 256, 10, "C:\\Windows", 77},
      {"C:\\Windows", 11, 10, "C:\\Windows", 77},
      {"C:\\Windows", 10, 11, nullptr, 77},
      {"C:\\Windows", 0, 11, nullptr, 77},
  };
  for (const Case& c : cases) {
    if (c.value != nullptr) {
      ::setenv("VOX_TEST_VAR", c.value, 1);
    } else {
      ::unsetenv("VOX_TEST_VAR");
    }
    errors->last_error = 77;
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetEnvironmentVariableA("VOX_TEST_VAR", buffer, c.size), c.result) << c.size;
    EXPECT_EQ(errors->last_error, c.last_error) << c.size;
    if (c.stored != nullptr) {
      EXPECT_STREQ(buffer, c.stored);
    } else {
      EXPECT_EQ(buffer[0], '#');
    }
  }
  EXPECT_EQ(GetEnvironmentVariableA("VOX_TEST_VAR", nullptr, 0), 11u);
}

TEST_F(PlatformSelection, HostImageFromTheEnvironment) {
  hostimage::test::TempDir dir;
  ::setenv("VOXMIRA_HOST",
           dir.write("host.json", R"({"dos_devices": [{"name": "C:", "target": "x"}]})").c_str(),
           1);
  ASSERT_TRUE(init_from_environment());
  char16_t list[8];
  EXPECT_EQ(QueryDosDeviceListW(list, 8), 4u);

  const std::string broken = dir.write("broken.json", R"({"disks": [{"number": "one"}]})");
  ::setenv("VOXMIRA_HOST", broken.c_str(), 1);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(init_from_environment());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "voxmira: host image '" + broken + "': disks[0].number: expected an integer\n");
}

TEST_F(PlatformSelection, WithoutAnImageTheHostIsEmpty) {
  for (const char* host : {static_cast<const char*>(nullptr), ""}) {
    if (host != nullptr) ::setenv("VOXMIRA_HOST", host, 1);
    ASSERT_TRUE(init_from_environment());
    char16_t list[8] = {u'#'};
    EXPECT_EQ(QueryDosDeviceListW(list, 8), 1u);
    EXPECT_EQ(list[0], u'\0');
    EXPECT_EQ(CreateFileA("\\\\.\\PhysicalDrive0", 0xC0000000u, 3, 3, 0x80), kInvalidHandle);
    EXPECT_EQ(GetLastError(), 2u);
    EXPECT_EQ(FormatSystemMessage(2), "The system cannot find the file specified.\n");
  }
  set_backend(nullptr);
  EXPECT_EQ(backend().format_message(21), "The device is not ready.\n");  // chosen on demand
  SetErrorMode(0x8001);  // nothing to do here; must not disturb anything
}

}  // namespace
}  // namespace vox::plat
