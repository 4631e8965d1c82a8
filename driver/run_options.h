// The option values of one run, collected from the command line at start-up.
#pragma once

#include <cstdint>

namespace vox {

// fmt_flags bits: letters of an -f word, and -pin.
inline constexpr unsigned FMT_HEX = 0x001;      // x: LDEV# in hexadecimal
inline constexpr unsigned FMT_VOLGUID = 0x002;  // v: Volume{GUID} names
inline constexpr unsigned FMT_HARD = 0x004;     // p: H.A.R.D volume marked '*'
inline constexpr unsigned FMT_FENCOR = 0x008;   // l: LDEV FENCOR volume marked '*'
inline constexpr unsigned FMT_WIDE = 0x010;     // w: wide volstat
inline constexpr unsigned FMT_CYL = 0x020;      // c: bitmap_page with cylinder size
inline constexpr unsigned FMT_BITMAP = 0x040;   // h: bitmap_page
inline constexpr unsigned FMT_NICNAME = 0x080;  // n: LDEV_NIC_NAME
inline constexpr unsigned FMT_PIN = 0x100;      // -pin: PIN track volume marked '*'
inline constexpr unsigned FMT_REALID = 0x200;   // r: real ID (e clears it)

struct RunOptions {
  int read_stdin = 1;
  int find_mode = 0;  // 1 -find, 2 -findc, 3 -export
  unsigned fmt_flags = 0;
  std::uint8_t vpd_select = 0;  // 0xE2 after r, 0xF2 after e
  int show_host_group = 0;
  int cli_kind = 0;  // 0 -CLI, 1 -CLIW, 2 -CLIWP, 3 -CLIWN, 4 -CLIB
  int sort_mode = 0;
  int cm_image = 0;
  int layout_cmd = 0;                 // 1 -gvinf 2 -gvinfex 3 -gplba 4 -gplbaex 5 -svinf 6 -svinfex
  const char* name_filter = nullptr;  // points into the argument
  int exit_error = 0;
};

}  // namespace vox
