#!/usr/bin/env bash
# Builds the native release binary and runs voxmira over the shipped example host.
# Extra arguments replace the default device words: run-example.sh hd0-3 -CLI
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$ROOT/build

bash "$ROOT/scripts/setup-deps.sh" >/dev/null
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" --target voxmira --parallel 2 >/dev/null

cd "$ROOT"
example=examples/host.json
if [[ -f $example ]]; then
  # The example run: every disk of the example host in the default report.
  VOXMIRA_HOST=$example "$BUILD/voxmira" "${@:-hd0-15}"
else
  # No example host yet: show the usage text.
  "$BUILD/voxmira" -h
fi
