// Environment variables hold any text: the inquiry time-out (VEXACM_INQ_TOV), the base
// size of the DOS name list (QRY_BUF_SZ) and the layout file folder (TEMP or windir) are
// read through GetEnvironmentVariableA into fixed buffers, and the numbers are parsed.
//
// Input: byte 0 picks the variable (0 VEXACM_INQ_TOV, 1 QRY_BUF_SZ, 2 TEMP with
// VEXAM_USE_TEMP present, 3 windir), the rest is its value (up to a string end).
//
// Checked against plain readings: the time-out is what strtol gives, held to the int
// range; the list size is the value held to 0xFFFFFFFF, or 16384 for zero, a negative
// value or no number; the layout file is "<value>\VOL<serial>_<ldev>.ini" for a value of
// 1 to 255 characters and the empty text otherwise.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "devices/dos_names.h"
#include "driver/flags.h"
#include "fuzz_input.h"
#include "layout/layout_file_path.h"
#include "transport/inq_timeout.h"

namespace {

int strtol_reading(const std::string& value) {
  errno = 0;
  const long v = std::strtol(value.c_str(), nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

std::size_t list_size_reading(const std::string& value) {
  std::size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || (value[i] >= '\t' && value[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  unsigned long long v = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    v = v * 10 + static_cast<unsigned>(value[i] - '0');
    if (v > 0xFFFFFFFFull) v = 0xFFFFFFFFull;
  }
  if (negative || v == 0) return vox::kDefaultDosListBytes;
  return static_cast<std::size_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vox::cli_mode = 1;  // the too-long folder message is not under test
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vox::fuzz::FuzzInput in(data, size);
  const int pick = in.u8() & 3;
  std::string value = in.rest_text();
  value.resize(std::strlen(value.c_str()));

  switch (pick) {
    case 0: {
      setenv("VEXACM_INQ_TOV", value.c_str(), 1);
      const int expected = strtol_reading(value);
      VOX_FUZZ_CHECK(vox::parse_inq_timeout(value.c_str()) == expected);
      VOX_FUZZ_CHECK(vox::read_inq_timeout_env() == expected);
      unsetenv("VEXACM_INQ_TOV");
      VOX_FUZZ_CHECK(vox::read_inq_timeout_env() == vox::kDefaultInqTimeoutMs);
      break;
    }
    case 1: {
      setenv("QRY_BUF_SZ", value.c_str(), 1);
      const std::size_t expected = list_size_reading(value);
      VOX_FUZZ_CHECK(vox::parse_list_base_size(value.c_str()) == expected);
      VOX_FUZZ_CHECK(vox::read_list_base_size() == expected);
      unsetenv("QRY_BUF_SZ");
      break;
    }
    default: {
      const bool temp = pick == 2;
      if (temp) setenv("VEXAM_USE_TEMP", "", 1);
      setenv(temp ? "TEMP" : "windir", value.c_str(), 1);
      const std::string path = vox::layout_file_path(-5, 2147483647);
      const bool usable = !value.empty() && value.size() < vox::kLayoutFolderSize;
      VOX_FUZZ_CHECK(path == (usable ? value + "\\VOL-5_2147483647.ini" : std::string()));
      unsetenv("VEXAM_USE_TEMP");
      unsetenv("TEMP");
      unsetenv("windir");
      break;
    }
  }
  return 0;
}
