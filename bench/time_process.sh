#!/usr/bin/env bash
# Times the orvalen process (Release build) on the capacity-limit job with
# /usr/bin/time -v and prints its wall time and peak memory, the best of N runs
# (default 20), and the same for the OH + CH4 example.
#
#   bench/time_process.sh [RUNS]
#
# The build goes to build-bench/ (ORVALEN_BENCH_BUILD overrides it).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${ORVALEN_BENCH_BUILD:-$root/build-bench}
runs=${1:-20}

[ -x /usr/bin/time ] || { echo "installing GNU time" >&2; apt-get install -y -qq time >/dev/null; }

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_TESTS=OFF \
  -DORVALEN_BENCH=ON >/dev/null
cmake --build "$build" --target orvalen -j2 >/dev/null
exe=$build/orvalen

work=$(mktemp -d /tmp/orvalen-time-XXXXXX)
trap 'rm -rf "$work"' EXIT

# time_job NAME FOLDER JOB: copies the job folder and runs it RUNS times. The
# wall time is taken with the shell's microsecond clock around the process
# (GNU time shows hundredths of a second only); peak memory comes from
# /usr/bin/time -v.
time_job() {
  local name=$1 from=$2 job=$3
  [ -f "$from/$job.inp" ] || { echo "$name: no job $from/$job.inp"; return; }
  mkdir -p "$work/$name"
  cp "$from"/*.inp "$from"/*.dat "$work/$name/"
  cd "$work/$name"
  local walls=() t0 t1 rss=0 r gnu_wall status
  "$exe" "$job" >/dev/null # warm the file cache
  for ((i = 0; i < runs; i++)); do
    t0=${EPOCHREALTIME/[.,]/}
    "$exe" "$job" >/dev/null
    t1=${EPOCHREALTIME/[.,]/}
    walls+=($((t1 - t0)))
  done
  /usr/bin/time -v "$exe" "$job" 2>"$work/time.txt" >/dev/null
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
  gnu_wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
  status=$(sed -n 's/.*Exit status: //p' "$work/time.txt")
  cd - >/dev/null
  IFS=$'\n' read -r -d '' -a sorted < <(printf '%s\n' "${walls[@]}" | sort -n) || true
  printf '%-20s wall best %6.2f ms, median %6.2f ms (%d runs; /usr/bin/time: %s)\n' "$name" \
    "$(echo "${sorted[0]} / 1000" | bc -l)" "$(echo "${sorted[$((runs / 2))]} / 1000" | bc -l)" \
    "$runs" "$gnu_wall"
  printf '%-20s peak memory %d kB = %.2f MB, exit status %s\n' "" "$rss" \
    "$(echo "$rss / 1024" | bc -l)" "$status"
}

time_job capacity-limit-job "$root/tests/fixtures/limits" limits
time_job oh_ch4 "$root/examples/oh_ch4" oh_ch4
