#!/usr/bin/env bash
# The whole check, as CI runs it:
#   1. the packages (setup-deps.sh), and the layout of every C++ file (clang-format)
#   2. the native release build of the programs, the end-to-end tests against it, and
#      the example run
#   3. a build with AddressSanitizer and UBSan, the unit tests and the end-to-end tests
#      against it, and a short run of every fuzz target (scripts/fuzz.sh --smoke)
#   4. the Windows build with MinGW (static, no DLL beyond Windows' own), the Win32
#      backend's own check under Wine, a smoke run of voxmira.exe under Wine, and the
#      end-to-end suite once more against voxmira.exe through Wine
# Each step logs to build-logs/<step>.log; a failing step shows its log's tail. The
# steps go on after a failure so that one run shows everything; the script ends with
# "N passed, M failed" and a non-zero status when anything failed.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${JOBS:-2}
NATIVE=$ROOT/build
ASAN=$ROOT/build-asan
WIN=$ROOT/build-win
LOGS=$ROOT/build-logs
WINE64=/usr/lib/wine/wine64
mkdir -p "$LOGS"
cd "$ROOT"

passed=0
failed=0
summary=()

# step NAME COMMAND...: runs COMMAND with errexit in a subshell, output to the log.
step() {
  local name=$1
  shift
  local log=$LOGS/$name.log start=$SECONDS rc=0
  printf '==> %-14s ' "$name"
  set +e
  (
    set -euo pipefail
    "$@"
  ) >"$log" 2>&1 </dev/null
  rc=$?
  set -e
  local took=$((SECONDS - start))
  if [[ $rc -eq 0 ]]; then
    passed=$((passed + 1))
    printf 'passed (%ds)\n' "$took"
    summary+=("$(printf '  passed   %-14s %4ds' "$name" "$took")")
  else
    failed=$((failed + 1))
    printf 'FAILED (%ds), see %s\n' "$took" "${log#"$ROOT"/}"
    excerpt "$log" | sed 's/^/    | /'
    summary+=("$(printf '  FAILED   %-14s %4ds  (%s)' "$name" "$took" "${log#"$ROOT"/}")")
  fi
}

# The telling part of a failed step's log: its first error lines (compilers, make,
# ctest, the checks here), then its last lines.
excerpt() {
  grep -E -m 25 'error:|Error [0-9]|No rule|\(Failed\)|\(Not Run\)|\(Timeout\)|^\[  FAILED|FAIL|^-- |differ' "$1" |
    cut -c1-240 || true
  echo "..."
  tail -n 15 "$1" | cut -c1-240
}

# skip NAME REASON: a step that cannot run yet; counted neither way.
skip() {
  printf '==> %-14s skipped: %s\n' "$1" "$2"
  summary+=("$(printf '  skipped  %-14s        (%s)' "$1" "$2")")
}

configure_and_build() { # DIR ARGS...: configure, then build every target it can
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -G "Unix Makefiles" "$@"
  # -k: one broken target does not hide the state of the others.
  cmake --build "$dir" --parallel "$JOBS" -- -k
}

# Every C++ file of the repository as .clang-format lays it out.
check_format() {
  if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$ROOT" ls-files -z '*.cpp' '*.h'
  else # a copy without its history: every source folder
    find "$ROOT" -path "$ROOT/build*" -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
  fi | xargs -0 clang-format --dry-run -Werror
}

run_ctest() { # DIR
  ctest --test-dir "$1" --output-on-failure --parallel "$JOBS" --timeout 600
}

# --- the Windows build ------------------------------------------------------------

check_static_exe() { # EXE: no DLL but Windows' own
  local exe=$1 dll bad=0
  [[ -f $exe ]] || {
    echo "$exe was not built"
    return 1
  }
  while read -r dll; do
    case ${dll,,} in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | ntdll.dll | advapi32.dll | user32.dll | \
      shell32.dll | ole32.dll | ws2_32.dll | bcrypt.dll | api-ms-win-*.dll)
      echo "ok   $dll"
      ;;
    *)
      echo "NOT A SYSTEM DLL: $dll"
      bad=1
      ;;
    esac
  done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
  return $bad
}

win_build() {
  configure_and_build "$WIN" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVOX_TESTS=OFF
  check_static_exe "$WIN/voxmira.exe"
  if compgen -G "$ROOT/tools/twinlist/*.cpp" >/dev/null; then
    check_static_exe "$WIN/twinlist.exe"
  fi
  if compgen -G "$ROOT/tools/capture/*.cpp" >/dev/null; then
    check_static_exe "$WIN/voxmira-capture.exe"
  fi
}

# The Win32 backend's own check: a small Windows program that drives the backend's
# calls against what Wine provides (files, error texts, DOS names, child processes).
win32_check() {
  local exe=$WIN/win32_backend_check.exe
  x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -Werror -I"$ROOT" -static \
    "$ROOT"/platform/win32/*.cpp "$ROOT"/platform/win32/check/*.cpp -o "$exe"
  bash "$ROOT/scripts/wine.sh" "$exe"
}

# --- runs under Wine ----------------------------------------------------------------

# The Windows C runtime writes stdout in text mode: every "\n" leaves the program as
# "\r\n". So the exact expectation for voxmira.exe is the native program's output with
# each "\n" made "\r\n", compared byte for byte with cmp. The program's own name (which
# the usage text shows) is the one Wine hands over, "Z:\...\voxmira.exe", so the native
# run is given that same argument 0.
to_crlf() { sed 's/$/\r/' "$1" >"$2"; }

wine_smoke() {
  local tmp
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/voxmira-smoke-XXXXXX")
  trap 'rm -rf "$tmp"' RETURN
  local exe=$WIN/voxmira.exe
  local shown="Z:${exe//\//\\}"

  echo "-- voxmira.exe -h against the native usage text"
  (exec -a "$shown" "$NATIVE/voxmira" -h) >"$tmp/native-h.txt"
  to_crlf "$tmp/native-h.txt" "$tmp/expected-h.txt"
  bash "$ROOT/scripts/wine.sh" "$exe" -h >"$tmp/wine-h.txt" 2>"$tmp/wine-h.err"
  cmp "$tmp/expected-h.txt" "$tmp/wine-h.txt"
  [[ ! -s $tmp/wine-h.err ]] || {
    echo "unexpected stderr:"
    cat "$tmp/wine-h.err"
    return 1
  }

  echo "-- -z1w=out.txt -h writes the usage to out.txt"
  mkdir "$tmp/z"
  (cd "$tmp/z" && bash "$ROOT/scripts/wine.sh" "$exe" -z1w=out.txt -h >"$tmp/z.stdout")
  [[ ! -s $tmp/z.stdout ]] || {
    echo "stdout not redirected:"
    cat "$tmp/z.stdout"
    return 1
  }
  cmp "$tmp/expected-h.txt" "$tmp/z/out.txt"

  echo "-- the Win32 backend without a host image: a drive Wine does not have"
  # Wine's answers are not a real host's, so only the status is checked here; the
  # output goes to the log.
  local rc=0
  bash "$ROOT/scripts/wine.sh" "$exe" hd99 </dev/null >"$tmp/hd99.out" 2>"$tmp/hd99.err" || rc=$?
  cat "$tmp/hd99.out" "$tmp/hd99.err"
  [[ $rc -eq 0 ]] || {
    echo "exit status $rc for hd99"
    return 1
  }

  local image=examples/host.json
  if [[ -f $image ]]; then
    echo "-- $image: native and Windows reports agree"
    # Windows error texts carry their own "\r\n", which the text-mode stream makes
    # "\r\r\n": here every run of "\r" before a line end is dropped on both sides.
    local rc_native=0 rc_wine=0
    VOXMIRA_HOST=$image "$NATIVE/voxmira" hd0-15 >"$tmp/n.out" 2>"$tmp/n.err" || rc_native=$?
    VOXMIRA_HOST=$image bash "$ROOT/scripts/wine.sh" "$exe" hd0-15 \
      >"$tmp/w.out" 2>"$tmp/w.err" || rc_wine=$?
    for f in n.out n.err w.out w.err; do sed -i 's/\r*$//' "$tmp/$f"; done
    [[ $rc_native -eq $rc_wine ]] || {
      echo "exit status: native $rc_native, Windows $rc_wine"
      return 1
    }
    diff "$tmp/n.out" "$tmp/w.out"
    diff "$tmp/n.err" "$tmp/w.err"
  else
    echo "-- no $image yet: host-image run not checked"
  fi

  if [[ -f $WIN/voxmira-capture.exe ]]; then
    # Wine's few devices, recorded by the Windows build; the native program must load
    # the image and run over it.
    echo "-- voxmira-capture.exe records the Wine host, voxmira replays it"
    bash "$ROOT/scripts/wine.sh" "$WIN/voxmira-capture.exe" >"$tmp/wine-host.json"
    VOXMIRA_HOST=$tmp/wine-host.json "$NATIVE/voxmira" hd0-3 -CLI
  fi
}

wine_e2e() {
  [[ -x $NATIVE/tests/test_e2e ]] || {
    echo "test_e2e was not built"
    return 1
  }
  VOX_E2E_WINE=1 VOX_E2E_WIN_DIR=$WIN "$NATIVE/tests/test_e2e" --gtest_brief=1
}

# --- the run -------------------------------------------------------------------------

# One function, read whole before it starts, so that editing this file while a check
# runs does not change the running check.
main() {
  echo "voxmira check in $ROOT (jobs: $JOBS)"
  step setup-deps bash "$ROOT/scripts/setup-deps.sh"
  step format check_format

  # Programs left from an earlier run must not stand in for ones this run failed to build.
  rm -f "$NATIVE/voxmira" "$NATIVE/tests/test_e2e" "$WIN/voxmira.exe"
  # The unit tests are built once, in the sanitizer build below.
  step native-build configure_and_build "$NATIVE" -DCMAKE_BUILD_TYPE=Release -DVOX_UNIT_TESTS=OFF
  step native-tests run_ctest "$NATIVE"
  step run-example bash "$ROOT/scripts/run-example.sh"

  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  step asan-build configure_and_build "$ASAN" -DCMAKE_BUILD_TYPE=Debug -DVOX_SANITIZE=ON \
    -DVOX_UNIT_TESTS=ON
  step asan-tests run_ctest "$ASAN"
  step fuzz-smoke bash "$ROOT/scripts/fuzz.sh" --smoke

  step win-build win_build
  if [[ -x $WINE64 ]]; then
    step win32-check win32_check
    if [[ -x $NATIVE/voxmira && -f $WIN/voxmira.exe ]]; then
      step wine-smoke wine_smoke
      step wine-e2e wine_e2e
    else
      skip wine-smoke "voxmira or voxmira.exe was not built"
      skip wine-e2e "voxmira or voxmira.exe was not built"
    fi
    # End this run's Wine server (wine.sh keeps it a minute for the next program).
    WINEPREFIX=$WIN/wineprefix "$(dirname "$WINE64")/wineserver" -k >/dev/null 2>&1 || true
  else
    skip wine-runs "$WINE64 missing"
  fi

  echo
  echo "Summary:"
  printf '%s\n' "${summary[@]}"
  echo "$passed passed, $failed failed"
  [[ $failed -eq 0 ]]
}

# Sourced (for one step's functions by hand), nothing runs.
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  main "$@"
fi
