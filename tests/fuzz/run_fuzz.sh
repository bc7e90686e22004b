#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each of them for a while.
#
#   tests/fuzz/run_fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#
# SECONDS_PER_TARGET defaults to 60; TARGET is job_input, mol_file, format,
# run or qc_output (default: all five). Inputs are cut to 20 KB, those of
# qc_output to 80 KB. The build goes to build-fuzz/
# (ORVALEN_FUZZ_BUILD overrides it), the growing corpus to build-fuzz/corpus/TARGET/ and any
# crashing, hanging or leaking input to build-fuzz/findings/TARGET/. Keep a
# finding as tests/fuzz/regressions/TARGET/NAME: the fuzz_regression test of
# e2e_tests (qc_tests for qc_output) replays every file there. Exits 1 when a
# target found something.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${ORVALEN_FUZZ_BUILD:-$root/build-fuzz}
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(job_input mol_file format run qc_output)

# clang-14 with its libFuzzer runtime; installed when missing (as root).
if ! command -v clang++-14 >/dev/null ||
   ! ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "installing clang-14 and its runtime libraries" >&2
  apt-get update -qq && apt-get install -y -qq clang-14 libclang-rt-14-dev >/dev/null || exit 2
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null || exit 2
cmake --build "$build" -j2 || exit 2

status=0
for t in "${targets[@]}"; do
  exe=$build/fuzz_$t
  [ -x "$exe" ] || { echo "no fuzz target '$t'" >&2; exit 2; }
  corpus=$build/corpus/$t
  findings=$build/findings/$t
  mkdir -p "$corpus" "$findings"
  dict=()
  [ -f "$here/$t.dict" ] && dict=(-dict="$here/$t.dict")
  log=$build/fuzz_$t.log
  # The real outputs the qc_output seeds are cut from run to 80 KB (make_seeds.sh).
  max_len=20000
  [ "$t" = qc_output ] && max_len=80000
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
    -artifact_prefix="$findings/" -print_final_stats=1 "${dict[@]}" \
    "$corpus" "$here/seeds/$t" >"$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  if [ $rc -ne 0 ] || [ -n "$(ls -A "$findings")" ]; then
    status=1
    echo "$t: FOUND SOMETHING (exit $rc), see $log and $findings"
    grep -m3 -E 'ERROR|runtime error|uncaught|invariant|Timeout|deadly' "$log" | sed 's/^/    /'
  else
    echo "$t: nothing found in ${seconds} s, ${execs:-?} inputs, ${cov:-cov ?}"
  fi
done
exit $status
