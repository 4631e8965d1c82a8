// The inquiry time-out: VEXACM_INQ_TOV (milliseconds) or 2000.
#pragma once

#include <cstdint>

namespace vox {

inline constexpr int kDefaultInqTimeoutMs = 2000;

// The value of a VEXACM_INQ_TOV text, read as strtol reads a decimal number: leading
// white space, an optional sign, then digits up to the first non-digit; no digit gives 0.
// Values past the range of int saturate at INT_MAX / INT_MIN instead of overflowing.
int parse_inq_timeout(const char* text);

// The time-out from the environment, read now (get_inq_timeout keeps the first answer):
// 2000 when VEXACM_INQ_TOV is absent, parse_inq_timeout of its text when it is set (an
// empty value gives 0).
int read_inq_timeout_env();

// Pass-through time-out in seconds for a request's millisecond count, in unsigned
// arithmetic (the standard inquiry uses inq_timeout_seconds, in signed arithmetic).
// A negative VEXACM_INQ_TOV is passed on unchecked, and the two conversions differ:
//   standard inquiry: -999..-1 ms give 2 s, -1999..-1000 give 1 s, -2999..-2000 give 0 s,
//     lower values give a negative count that the adapter reads as about 2^32 s;
//   requests (the page INQUIRY): the value arrives as 2^32 + ms, giving 2147485 to
//     4294969 s.
// Neither conversion overflows, whatever the setting.
inline std::uint32_t pass_timeout_seconds(std::uint32_t timeout_ms) {
  return timeout_ms / 1000u + 2u;
}

}  // namespace vox
