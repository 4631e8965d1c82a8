// The three process-wide flags. Start-up sets them from the command line and the
// environment; nothing changes them afterwards.
#pragma once

namespace vox {

// 1 under -CLI, -CLIB, -CLIW, -CLIWP, -CLIWN: table output, and the diagnostics marked
// as such are left out.
extern int cli_mode;
// 1 under -inqdump: the probe dumps the inquiry data, the layout reader the entries.
extern int inqdump_mode;
// Second prefix character of a DOS-device word: '$', or '%' when CHG_DVOBJ_CH exists.
extern char dvobj_char;

}  // namespace vox
