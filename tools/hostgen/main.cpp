#include <cstdio>

#include "tools/hostgen/hostgen_cli.h"

int main(int argc, char** argv) {
  return vox::hostgen::hostgen_main(argc, argv, stdout, stderr);
}
