#!/usr/bin/env bash
# Whole-process wall times of orvalen beside those of an empty process, from one
# run: the OH + CH4 example, the capacity-limit job and /bin/true are started in
# turn, RUNS times each (default 200), so that all three see the same machine;
# the medians are printed with their ratios to /bin/true's, and the peak memory
# of each job.
#
#   bench/time_process.sh [RUNS]
#
# The Release build goes to build-bench/ (ORVALEN_BENCH_BUILD overrides it);
# ORVALEN_BENCH_CMAKE_ARGS adds configure options, e.g. -DORVALEN_STATIC=OFF to
# time a dynamically linked program, and ORVALEN_BENCH_EXE names a program to
# time instead of building one. The load average is printed before and after:
# on a busy machine the medians say little. There, ORVALEN_BENCH_REALTIME=1
# runs the timing (not the build) under the real-time FIFO policy (chrt -f 10,
# root only), so that the processes timed are not kept waiting by other work;
# it holds one core for the few seconds of the timing.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${ORVALEN_BENCH_BUILD:-$root/build-bench}
runs=${1:-200}

exe=${ORVALEN_BENCH_EXE:-$build/orvalen}
linked=dynamically
if [ -n "${ORVALEN_BENCH_EXE:-}" ]; then
  linked="as given"
else
  if [ -z "${ORVALEN_BENCH_TIMING_ONLY:-}" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_TESTS=OFF \
      -DORVALEN_BENCH=ON ${ORVALEN_BENCH_CMAKE_ARGS:-} >/dev/null
    cmake --build "$build" --target orvalen -j2 >/dev/null
  fi
  grep -q 'ORVALEN_LINKER_HAS_STATIC_LIBC:INTERNAL=1' "$build/CMakeCache.txt" &&
    grep -q 'ORVALEN_STATIC:BOOL=ON' "$build/CMakeCache.txt" && linked=statically
fi
if [ "${ORVALEN_BENCH_REALTIME:-0}" = 1 ] && [ -z "${ORVALEN_BENCH_TIMING_ONLY:-}" ]; then
  exec env ORVALEN_BENCH_TIMING_ONLY=1 chrt -f 10 "$0" "$@"
fi
true_exe=/bin/true

work=$(mktemp -d /tmp/orvalen-time-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/example" "$work/limits"
cp "$root"/examples/oh_ch4/*.inp "$root"/examples/oh_ch4/*.dat "$work/example/"
cp "$root"/tests/fixtures/limits/*.inp "$root"/tests/fixtures/limits/*.dat "$work/limits/"

# micros DIR COMMAND...: the wall time of one process started in DIR, in
# microseconds, taken with the shell's clock around it; the shell's own fork
# and wait are in every figure alike.
micros() {
  local t0 t1
  cd "$1"
  shift
  t0=${EPOCHREALTIME/[.,]/}
  "$@" >/dev/null 2>&1 || true
  t1=${EPOCHREALTIME/[.,]/}
  echo $((t1 - t0))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

echo "orvalen:   $exe (linked $linked)"
[ -n "${ORVALEN_BENCH_TIMING_ONLY:-}" ] && echo "timing:    under chrt -f 10 (real-time FIFO policy)"
echo "machine:   $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) before"

# One round of warming the file cache, then the rounds that count. The order
# inside a round turns, so that none of the three always follows another.
(cd "$work/example" && "$exe" oh_ch4 >/dev/null 2>&1) || true
(cd "$work/limits" && "$exe" limits >/dev/null 2>&1) || true
: >"$work/true.us"
: >"$work/example.us"
: >"$work/limits.us"
for ((i = 0; i < runs; i++)); do
  for ((k = 0; k < 3; k++)); do
    case $(((i + k) % 3)) in
    0) micros "$work" "$true_exe" >>"$work/true.us" ;;
    1) micros "$work/example" "$exe" oh_ch4 >>"$work/example.us" ;;
    2) micros "$work/limits" "$exe" limits >>"$work/limits.us" ;;
    esac
  done
done
cd "$root"
echo "machine:   load average $(cut -d' ' -f1-3 /proc/loadavg) after"

t_true=$(median <"$work/true.us")
t_example=$(median <"$work/example.us")
t_limits=$(median <"$work/limits.us")

peak_kb() { # peak resident memory of one run, from GNU time when it is there
  [ -x /usr/bin/time ] || { echo "-"; return; }
  (cd "$1" && /usr/bin/time -f %M "$exe" "$2" 2>&1 >/dev/null | tail -n 1)
}

awk -v runs="$runs" -v t="$t_true" -v e="$t_example" -v l="$t_limits" \
  -v pe="$(peak_kb "$work/example" oh_ch4)" -v pl="$(peak_kb "$work/limits" limits)" 'BEGIN {
  printf "\n%-44s %10s %10s %12s\n", "process (" runs " runs of each)", "median", "/bin/true", "peak memory"
  printf "%-44s %7.3f ms %9.2fx %12s\n", "/bin/true", t / 1000, 1, "-"
  printf "%-44s %7.3f ms %9.2fx %9s kB\n", "OH + CH4 example (examples/oh_ch4)", e / 1000, e / t, pe
  printf "%-44s %7.3f ms %9.2fx %9s kB\n", "capacity-limit job (tests/fixtures/limits)", l / 1000, l / t, pl
  # The targets: the example at most 2.5 times an empty process, the capacity
  # job under 8 ms, both in this same run.
  printf "\nexample at most 2.5 x /bin/true: %s\n", (e <= 2.5 * t) ? "met" : "missed"
  printf "capacity-limit job under 8 ms:   %s\n", (l < 8000) ? "met" : "missed"
}'
