#include "driver/flags.h"

namespace vox {

int cli_mode = 0;
int inqdump_mode = 0;
char dvobj_char = '$';

}  // namespace vox
