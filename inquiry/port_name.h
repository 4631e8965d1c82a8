// The port name of a volume: a family tag, the port, and the host group number when
// -fg asked for it and the probe found one. Under cli_mode the tag is left out.
//
//   [RB] CL%c-%c   [RB] CL%c-%c-%d      (two port characters from page 0x83)
//   [MV] %s        [MV] %s-%d           (a PORT_TABLE name)
//   [PL] CL%c-%c   [PL] CL%c-%c-%d      (two port characters from page 0x83)
//   [CW] CL%c-%c   [CW] CL%c-%c-%d      (the port bytes of the standard data)
//   [CW] Unknown   -                    (standard data too short for a port)
#pragma once

#include "inquiry/dev_identity.h"

namespace vox {

enum class PortFamily { kRB, kMV, kPL, kCW };

// "[tag] CL<c1>-<c2>" for the families that send two port characters.
void set_port_chars(DevIdentity& record, PortFamily family, char c1, char c2, int show_host_group,
                    bool cli);
// "[MV] <name>".
void set_port_table_name(DevIdentity& record, const char* name, int show_host_group, bool cli);
// "[CW] Unknown", or "-" under cli_mode.
void set_port_unknown(DevIdentity& record, bool cli);

// ASCII upper case of a port letter; other bytes unchanged.
char port_letter_upper(char c);

}  // namespace vox
