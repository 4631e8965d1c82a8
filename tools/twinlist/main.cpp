// twinlist: the pair-status tool, answering from the `pairs` of the host image that
// VOXMIRA_HOST names.
#include <cstdio>

#include "tools/twinlist/twinlist_main.h"

int main(int argc, char** argv) {
  return vox::twinlist::twinlist_main(argc, argv, stdout, stderr);
}
