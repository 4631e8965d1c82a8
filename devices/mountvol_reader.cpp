// The one place that runs mountvol.exe.
#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include "devices/mount_table.h"
#include "driver/token_line.h"
#include "platform/platform.h"

namespace vox {

void load_mount_points(MountTable& table) {
  if (table.loaded) return;
  table.loaded = true;

  char command[64];
  std::snprintf(command, sizeof command, "%s 2>NUL", "mountvol.exe");
  errno = 0;
  std::FILE* pipe = plat::popen(command, "rt");
  if (pipe == nullptr) return;
  std::unique_ptr<TokenLine> line(new (std::nothrow) TokenLine);
  if (line) {
    MountvolParser parser;
    while (read_token_line(pipe, "mountvol", *line)) {
      if (line->count > 1) parser.feed(line->words[1], table);
    }
  }
  plat::pclose(pipe);
}

}  // namespace vox
