// The capture tool's sources (its main() left out) and the JSON writer it shares with the
// host-image generator, built into the test program.
#include "tools/capture/anonymize.cpp"
#include "tools/capture/capture_cli.cpp"
#include "tools/capture/capture_json.cpp"
#include "tools/capture/disk_capture.cpp"
#include "tools/capture/fake_values.cpp"
#include "tools/capture/host_answers.cpp"
#include "tools/capture/host_capture.cpp"
#include "tools/capture/serial_fields.cpp"
#include "tools/hostgen/host_json.cpp"
#include "tools/hostgen/json_layout.cpp"
