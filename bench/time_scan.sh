#!/usr/bin/env bash
# Times the orvalen-scan process (Release build) on 1,000 temperatures of the
# OH + CH4 example (table, CSV and JSON, Eckart tunnelling and the fit) and of
# the capacity-limit job: wall time, best and median of N runs (default 20).
#
#   bench/time_scan.sh [RUNS]
#
# The build goes to build-bench/ (ORVALEN_BENCH_BUILD overrides it).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${ORVALEN_BENCH_BUILD:-$root/build-bench}
runs=${1:-20}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_TESTS=OFF \
  -DORVALEN_BENCH=ON >/dev/null
cmake --build "$build" --target orvalen-scan -j2 >/dev/null
exe=$build/orvalen-scan

# time_scan NAME FOLDER ARGS...: runs the scan RUNS times in the job's folder.
time_scan() {
  local name=$1 from=$2
  shift 2
  local walls=() t0 t1
  cd "$from"
  "$exe" "$@" >/dev/null 2>&1 # warm the file cache
  for ((i = 0; i < runs; i++)); do
    t0=${EPOCHREALTIME/[.,]/}
    "$exe" "$@" >/dev/null 2>&1
    t1=${EPOCHREALTIME/[.,]/}
    walls+=($((t1 - t0)))
  done
  cd - >/dev/null
  IFS=$'\n' read -r -d '' -a sorted < <(printf '%s\n' "${walls[@]}" | sort -n) || true
  printf '%-34s wall best %7.2f ms, median %7.2f ms (%d runs)\n' "$name" \
    "$(echo "${sorted[0]} / 1000" | bc -l)" "$(echo "${sorted[$((runs / 2))]} / 1000" | bc -l)" \
    "$runs"
}

T=200:2198:2 # 1,000 temperatures
time_scan "oh_ch4, table, eckart, fit" "$root/examples/oh_ch4" oh_ch4 -T $T --tunnelling eckart --fit
time_scan "oh_ch4, csv, eckart, fit" "$root/examples/oh_ch4" oh_ch4 -T $T --tunnelling eckart --fit --format csv
time_scan "oh_ch4, json, eckart, fit" "$root/examples/oh_ch4" oh_ch4 -T $T --tunnelling eckart --fit --format json
time_scan "capacity-limit job, table" "$root/tests/fixtures/limits" limits -T $T
