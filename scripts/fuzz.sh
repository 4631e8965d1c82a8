#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ (clang, libFuzzer, ASan, UBSan) and runs each in turn.
#
#   scripts/fuzz.sh                 every target for 60 s
#   scripts/fuzz.sh 600             every target for 600 s
#   scripts/fuzz.sh --smoke         every target briefly (its seeds, then 3 s), from a
#                                   quicker build without optimisation (build-fuzz-smoke)
#   scripts/fuzz.sh 300 probe ...   only the targets named
#
# Per target it prints the executions, their rate, the coverage and the corpus reached
# (libFuzzer's final stats). New inputs go to build-fuzz/corpus/<target>/ beside the
# committed seeds of fuzz/corpus/<target>/. A crash, a leak, a time-out or a broken
# check keeps the input in build-fuzz/artifacts/ and the script ends with status 1 after
# the other targets have run. Environment: JOBS (build jobs, 2), VOX_FUZZ_BUILD (the
# build folder), VOX_FUZZ_SMOKE_SECONDS (3), VOX_FUZZ_NO_BUILD=1 (run the programs
# already built, for runs side by side).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${JOBS:-2}
SMOKE_SECONDS=${VOX_FUZZ_SMOKE_SECONDS:-3}

seconds=60
smoke=0
targets=()
for arg in "$@"; do
  case $arg in
  --smoke) smoke=1 ;;
  -h | --help)
    sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
  *[!0-9]*) targets+=("$arg") ;;
  *) seconds=$arg ;;
  esac
done
build_type=RelWithDebInfo
BUILD=${VOX_FUZZ_BUILD:-$ROOT/build-fuzz}
if [[ $smoke -eq 1 ]]; then
  seconds=$SMOKE_SECONDS
  build_type=Debug
  BUILD=${VOX_FUZZ_BUILD:-$ROOT/build-fuzz-smoke}
fi
if [[ ${#targets[@]} -eq 0 ]]; then
  for src in "$ROOT"/fuzz/*_fuzzer.cpp; do
    name=$(basename "$src" .cpp)
    targets+=("${name%_fuzzer}")
  done
fi

# Inputs larger than libFuzzer's default of 4096 bytes where a target needs them: a
# layout file reaches past its 147704-byte image, a host image holds many disks.
max_len() {
  case $1 in
  layout_restore) echo 150000 ;;
  host_image) echo 65536 ;;
  *) echo 4096 ;;
  esac
}

if [[ ${VOX_FUZZ_NO_BUILD:-0} != 1 ]]; then
  echo "== building the fuzz targets in ${BUILD#"$ROOT"/}"
  mkdir -p "$BUILD"
  cmake -S "$ROOT/fuzz" -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE="$build_type" \
    >"$BUILD/configure.log" 2>&1 || {
    cat "$BUILD/configure.log"
    exit 1
  }
  build_targets=()
  for t in "${targets[@]}"; do build_targets+=(--target "${t}_fuzzer"); done
  cmake --build "$BUILD" --parallel "$JOBS" "${build_targets[@]}"
fi

mkdir -p "$BUILD/artifacts" "$BUILD/tmp"
# The variables the program reads are the targets' own business: none comes from here.
unset VEXAC_QUIL VEXACM_INQ_TOV QRY_BUF_SZ CHG_DVOBJ_CH VOXMIRA_HOST VOXMIRA_TRACE \
  VEXAM_USE_TEMP TEMP windir
export TMPDIR=$BUILD/tmp
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=()
summary=()
for t in "${targets[@]}"; do
  exe=$BUILD/${t}_fuzzer
  seeds=$ROOT/fuzz/corpus/$t
  work=$BUILD/corpus/$t
  log=$BUILD/${t}.log
  mkdir -p "$work" "$seeds"
  echo "== $t: ${seconds}s"
  rc=0
  nice -n 10 "$exe" "$work" "$seeds" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -close_fd_mask=3 \
    -artifact_prefix="$BUILD/artifacts/${t}-" >"$log" 2>&1 || rc=$?
  # "#123 DONE cov: 456 ft: 789 corp: 12/3Kb ..." (after a crash: the last progress
  # line) and the stat:: lines.
  done_line=$(grep -E '^#[0-9]+[[:space:]].* cov: ' "$log" | tail -n 1 || true)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
  corp=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$done_line")
  line=$(printf '%-15s %10s execs %7s/s  cov %5s  ft %6s  corpus %s' "$t" "${execs:-?}" \
    "${rate:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}")
  if [[ $rc -eq 0 ]]; then
    summary+=("  ok      $line")
  else
    failed+=("$t")
    summary+=("  FAILED  $line  (status $rc, log ${log#"$ROOT"/})")
    grep -E 'ERROR: |SUMMARY: |check failed|Test unit written to|^    #[0-9]+ ' "$log" | head -n 25 |
      sed 's/^/    | /'
  fi
  echo "${summary[-1]}"
done

echo
echo "Fuzz summary (${seconds}s per target):"
printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "failed: ${failed[*]}; inputs kept in ${BUILD#"$ROOT"/}/artifacts/"
  exit 1
fi
