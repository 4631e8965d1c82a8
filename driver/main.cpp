#include <cstdio>

#include "driver/finish_run.h"
#include "driver/program.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  // Diagnostics are built from an fprintf prefix and a perror text, and perror writes
  // straight to the descriptor. The Windows runtime buffers stderr when it is a file or
  // a pipe, which would print the perror text before its prefix: stderr is made
  // unbuffered, as C intends it, on every platform.
  std::setvbuf(stderr, nullptr, _IONBF, 0);
  // The backend answers every call into the host: it is chosen before anything else.
  if (!vox::plat::init_from_environment()) vox::finish_run(1);
  vox::finish_run(vox::run_program(argc, argv, stdin));
}
