// The pair-status tool's own sources, its main() left out, built into its test program.
#include "tools/twinlist/answer.cpp"
#include "tools/twinlist/pair_image.cpp"
#include "tools/twinlist/query.cpp"
#include "tools/twinlist/twinlist_main.cpp"
