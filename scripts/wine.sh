#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly: wine.sh PROGRAM.exe [ARGS...]
#
# The Wine prefix is our own, <folder of PROGRAM>/wineprefix unless WINEPREFIX is set.
# Its first start (which creates it and prints a few lines of its own) happens here,
# once, under a lock, with its output in <prefix>.log, so the program's own output is
# all that reaches stdout and stderr. A prefix whose first start did not finish is
# removed and made again. The exit status is the program's.
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: wine.sh PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

WINE64=${WINE64:-/usr/lib/wine/wine64}
program=$1
shift
if [[ ! -x $WINE64 ]]; then
  echo "wine.sh: $WINE64 not found (run scripts/setup-deps.sh)" >&2
  exit 127
fi
if [[ ! -f $program ]]; then
  echo "wine.sh: $program not found" >&2
  exit 127
fi
program_dir=$(cd "$(dirname "$program")" && pwd)

export WINEPREFIX=${WINEPREFIX:-$program_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or HTML engine: their installers would only ask for downloads.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export HOME=${HOME:-$program_dir}

ready=$WINEPREFIX/.voxmira-ready
if [[ ! -f $ready ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f $ready ]]; then
      rm -rf "$WINEPREFIX"
      if "$WINE64" wineboot.exe --init >"$WINEPREFIX.log" 2>&1 </dev/null &&
        WINEPREFIX=$WINEPREFIX "$(dirname "$WINE64")/wineserver" -w >>"$WINEPREFIX.log" 2>&1 &&
        [[ -f $WINEPREFIX/system.reg ]]; then
        touch "$ready"
      else
        echo "wine.sh: could not create the Wine prefix $WINEPREFIX (see $WINEPREFIX.log)" >&2
        exit 1
      fi
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# The Wine server and Wine's own services (started with the first program of a session)
# inherit that program's stdout and stderr and hold them open until the server ends,
# so a caller reading the program's output to its end would wait for the server too.
# A new server is started here apart from the caller's streams, with its services, and
# stays for a minute after its last program; when one is running already this start
# ends at once with a non-zero status.
if "$(dirname "$WINE64")/wineserver" -p60 </dev/null >/dev/null 2>&1; then
  "$WINE64" wineboot.exe </dev/null >/dev/null 2>&1 || true
fi

exec "$WINE64" "$program" "$@"
