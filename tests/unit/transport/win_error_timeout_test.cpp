#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "support/fake_backend.h"
#include "transport/inq_timeout.h"
#include "transport/scsi.h"
#include "transport/win_error.h"

namespace vox {
namespace {

TEST(WinError, Reports) {
  EXPECT_EQ(format_win_error("X", 0xFFFFFFFFu, "text\r\n"), "X : [-1] text\r\n");
  plat::set_backend(std::make_unique<test::FakeBackend>());
  plat::SetLastError(1117);
  testing::internal::CaptureStderr();
  report_win_error("DeviceIoControl");
  report_win_error(nullptr);
  report_win_error_code("OPEN", 5);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "DeviceIoControl : [1117] message 1117\n[1117] : message 1117\nOPEN : [5] message 5\n");
}

TEST(InqTimeout, TextConversion) {
  const std::pair<const char*, int> cases[] = {{"abc", 0},
                                               {"", 0},
                                               {"10000", 10000},
                                               {"  \t-15", -15},
                                               {"+7x", 7},
                                               {"- 5", 0},
                                               {"2147483647", INT_MAX},
                                               {"99999999999999999999", INT_MAX},
                                               {"-2147483648", INT_MIN},
                                               {"-99999999999999999999", INT_MIN},
                                               {nullptr, 0}};
  for (const auto& [text, ms] : cases) EXPECT_EQ(parse_inq_timeout(text), ms) << (text ? text : "");
  plat::set_backend(std::make_unique<test::FakeBackend>());
  unsetenv("VEXACM_INQ_TOV");
  EXPECT_EQ(read_inq_timeout_env(), 2000);
  for (const auto& value : {"abc", "", " -300", "10000"}) {
    setenv("VEXACM_INQ_TOV", value, 1);
    EXPECT_EQ(read_inq_timeout_env(), parse_inq_timeout(value)) << value;
  }
  setenv("VEXACM_INQ_TOV", (std::string(100, ' ') + "1234").c_str(), 1);  // a second buffer
  EXPECT_EQ(read_inq_timeout_env(), 1234);
  unsetenv("VEXACM_INQ_TOV");
}

// Seconds to the adapter: signed for the standard inquiry, unsigned for requests.
TEST(InqTimeout, SecondsForTheAdapter) {
  const struct {
    int ms;
    std::uint32_t standard, request;
  } cases[] = {{0, 2, 2},
               {2000, 4, 4},
               {10000, 12, 12},
               {1999, 3, 3},
               {-1, 2, 4294969},
               {-1500, 1, 4294967},
               {-2000, 0, 4294967},
               {-5000, 0xFFFFFFFDu, 4294964},
               {INT_MAX, 2147485, 2147485},
               {INT_MIN, std::uint32_t(-2147481), 2147485}};
  for (const auto& c : cases) {
    EXPECT_EQ(std::uint32_t(inq_timeout_seconds(c.ms)), c.standard) << c.ms;
    EXPECT_EQ(pass_timeout_seconds(std::uint32_t(c.ms)), c.request) << c.ms;
  }
}

}  // namespace
}  // namespace vox
