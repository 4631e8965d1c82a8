#include "transport/inq_timeout.h"

#include <climits>
#include <string>

#include "platform/platform.h"
#include "platform/win_defs.h"
#include "transport/scsi.h"

namespace vox {
namespace {

constexpr const char kTimeoutVariable[] = "VEXACM_INQ_TOV";

bool is_space(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

int parse_inq_timeout(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (is_space(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Accumulate the magnitude and stop growing it once it is past the int range.
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (*p - '0');
  }
  if (negative) return magnitude >= kLimit ? INT_MIN : static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

int read_inq_timeout_env() {
  std::string value(64, '\0');
  plat::SetLastError(0);
  std::uint32_t got = plat::GetEnvironmentVariableA(kTimeoutVariable, value.data(),
                                                    static_cast<std::uint32_t>(value.size()));
  if (got == 0) {
    return plat::GetLastError() == win::ERROR_ENVVAR_NOT_FOUND ? kDefaultInqTimeoutMs : 0;
  }
  if (got >= value.size()) {  // too long for the first buffer: got is the size needed
    value.assign(got, '\0');
    got = plat::GetEnvironmentVariableA(kTimeoutVariable, value.data(),
                                        static_cast<std::uint32_t>(value.size()));
    if (got == 0 || got >= value.size()) return 0;
  }
  value.resize(got);
  return parse_inq_timeout(value.c_str());
}

int get_inq_timeout() {
  static const int timeout_ms = read_inq_timeout_env();
  return timeout_ms;
}

}  // namespace vox
