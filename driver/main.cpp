#include <cstdio>

#include "driver/finish_run.h"
#include "driver/program.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  // The backend answers every call into the host: it is chosen before anything else.
  if (!vox::plat::init_from_environment()) vox::finish_run(1);
  vox::finish_run(vox::run_program(argc, argv, stdin));
}
