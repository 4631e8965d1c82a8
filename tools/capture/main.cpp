#include <cstdio>

#include "tools/capture/capture_cli.h"

int main(int argc, char** argv) {
  return vox::capture::capture_main(argc, argv, stdout, stderr);
}
