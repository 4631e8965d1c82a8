#!/usr/bin/env bash
# Load benchmark: times the CLI tables over generated hosts of 4,096 and 16,384 disks
# (4 arrays, 4 paths to every LDEV) and measures the peak memory of each run.
#
#   bash bench/run.sh [-b BUILD_DIR] [-w WORK_DIR] [-r RUNS] [--no-build]
#
# BUILD_DIR (default build-bench) gets a native Release build of voxmira and hostgen;
# WORK_DIR (default /tmp/voxmira-bench) the host images, the outputs and the results:
# results.md (the table of times and memory), hyperfine-*.json when hyperfine is
# installed. Output of voxmira goes to /dev/null while it is timed. Not a test: nothing
# fails on a slow run; the target is under one second a run.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$repo/build-bench
work=/tmp/voxmira-bench
runs=10
do_build=1

usage() { sed -n '2,11p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
  case $1 in
    -b) build=$(realpath -m "$2"); shift 2 ;;
    -w) work=$(realpath -m "$2"); shift 2 ;;
    -r) runs=$2; shift 2 ;;
    --no-build) do_build=0; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "run.sh: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
  esac
done
case $runs in ''|*[!0-9]*|0) echo "run.sh: -r wants a positive number" >&2; exit 2 ;; esac

if [ "$do_build" = 1 ]; then
  cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVOX_TESTS=OFF >/dev/null
  cmake --build "$build" --target voxmira hostgen -j2 >/dev/null
fi
voxmira=$build/voxmira
hostgen=$build/hostgen
for p in "$voxmira" "$hostgen"; do
  [ -x "$p" ] || { echo "run.sh: $p is missing (build it, or drop --no-build)" >&2; exit 1; }
done
mkdir -p "$work"

# name  arrays  LDEVs per array  paths
sizes=("4k 4 256 4" "16k 4 1024 4")
# The runs of each size; DISKS is replaced by the last disk number. -h loads the image
# and prints the usage text: the share of the image load in the other runs.
commands=("-h" "-CLI hd0-DISKS" "-sort -CLI hd0-DISKS" "-sort -CLIB hd0-DISKS")

load() { cut -d' ' -f1-3 /proc/loadavg; }

results=$work/results.md
{
  echo "machine: $(nproc) cores, $(uname -sr); load at start: $(load)"
  echo
  echo "| disks | command | mean s | min s | max s | user s | sys s | runs | peak RSS MiB |"
  echo "|---:|---|---:|---:|---:|---:|---:|---:|---:|"
} >"$results"

for size in "${sizes[@]}"; do
  read -r tag arrays ldevs paths <<<"$size"
  disks=$((arrays * ldevs * paths))
  host=$work/farm-$tag.json
  "$hostgen" farm "$arrays" "$ldevs" "$paths" -o "$host"
  export VOXMIRA_HOST=$host
  for c in "${commands[@]}"; do
    args=${c//DISKS/$((disks - 1))}
    # One run checked in full first: every disk gives a row under the one header line.
    # shellcheck disable=SC2086
    "$voxmira" $args >"$work/out.txt" 2>"$work/err.txt" ||
      { echo "run.sh: voxmira $args failed with status $?" >&2; exit 1; }
    rows=$(wc -l <"$work/out.txt")
    if [ "$args" = -h ]; then
      if [ -s "$work/err.txt" ]; then
        echo "run.sh: voxmira -h: $(head -1 "$work/err.txt")" >&2
        exit 1
      fi
    elif [ "$rows" != $((disks + 1)) ] || [ -s "$work/err.txt" ]; then
      echo "run.sh: voxmira $args gave $rows lines (want $((disks + 1))) and" \
        "$(wc -c <"$work/err.txt") bytes on stderr" >&2
      exit 1
    fi
    # mean, min, max of the elapsed time, then the mean user and system CPU time.
    if command -v hyperfine >/dev/null; then
      json=$work/hyperfine-$tag-$(echo "$args" | tr -c 'A-Za-z0-9\n' '_' | sed 's/_*$//').json
      # shellcheck disable=SC2086
      hyperfine -N --style basic --warmup 1 --runs "$runs" --output null \
        --export-json "$json" "$voxmira $args" >/dev/null 2>&1
      read -r mean min max user sys < <(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print("%.3f %.3f %.3f %.3f %.3f" % (r["mean"], r["min"], r["max"], r["user"], r["system"]))' "$json")
    else
      times=$work/times.txt
      : >"$times"
      for _ in $(seq "$runs"); do
        # shellcheck disable=SC2086
        { TIMEFORMAT='%R %U %S'; time "$voxmira" $args >/dev/null 2>&1; } 2>>"$times"
      done
      read -r mean min max user sys < <(awk '
        {s += $1; u += $2; k += $3; if (NR == 1 || $1 < lo) lo = $1; if ($1 > hi) hi = $1}
        END {printf "%.3f %.3f %.3f %.3f %.3f\n", s / NR, lo, hi, u / NR, k / NR}' "$times")
    fi
    rss=-
    if [ -x /usr/bin/time ]; then
      # shellcheck disable=SC2086
      kib=$(/usr/bin/time -f %M "$voxmira" $args 2>&1 >/dev/null | tail -1)
      rss=$(awk -v k="$kib" 'BEGIN {printf "%.1f", k / 1024}')
    fi
    line="| $disks | voxmira $args | $mean | $min | $max | $user | $sys | $runs | $rss |"
    echo "$line" >>"$results"
    echo "$line"
  done
done
echo >>"$results"
echo "load at end: $(load)" >>"$results"
echo "results: $results (load at end: $(load))"
