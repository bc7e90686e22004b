#!/usr/bin/env bash
# Times orvalen-mech on a mechanism of 1,000 jobs: copies of the examples
# H + CH4 (examples/h_ch4_nwchem) and H + C2H6 (examples/h_c2h6_nwchem), 500
# each, every copy's species under names of its own (CH4_A17, H_B17, ...), so that
# the run fits 4,000 species and 1,000 reactions, writing the YAML, Chemkin and
# thermo files. Prints the wall time and the peak memory (GNU time), best of
# RUNS runs (default 3); the bounds are 5 s and 300 MB.
#
#   bench/time_mech.sh [RUNS]
#
# The Release build goes to build-bench/ (ORVALEN_BENCH_BUILD overrides it);
# ORVALEN_BENCH_EXE names an orvalen-mech to time instead of building one.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${ORVALEN_BENCH_BUILD:-$root/build-bench}
runs=${1:-3}
exe=${ORVALEN_BENCH_EXE:-}
if [ -z "$exe" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALEN_TESTS=OFF \
    -DORVALEN_BENCH=ON >/dev/null
  cmake --build "$build" --target orvalen-mech -j2 >/dev/null
  exe=$build/orvalen-mech
fi
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
[ -x /usr/bin/time ] || { echo "time_mech.sh: GNU time (/usr/bin/time) is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for ex in h_ch4_nwchem h_c2h6_nwchem; do
  mkdir -p "$work/$ex"
  cp "$root/examples/$ex/"*.dat "$work/$ex/"
done
: >"$work/jobs.txt"
for ((i = 1; i <= 500; i++)); do
  for ex in h_ch4_nwchem h_c2h6_nwchem; do
    # the job's lines with every molecule renamed NAME_Ai (A for H + CH4, B for H + C2H6)
    tag=A
    [ "$ex" = h_c2h6_nwchem ] && tag=B
    awk -v n="$tag$i" '$1 ~ /^(REACT|PROD|TS)$/ { $2 = $2 "_" n } { print }' \
      "$root/examples/$ex/$ex.inp" >"$work/$ex/${ex}_$i.inp"
    echo "$ex/${ex}_$i.inp" >>"$work/jobs.txt"
  done
done

best_wall= best_rss= best_user=
for ((r = 0; r < runs; r++)); do
  (cd "$work" && /usr/bin/time -f "%e %M %U" -o time.txt "$exe" --jobs jobs.txt -o mech.yaml \
    --chemkin mech.inp --thermo therm.dat 2>/dev/null) || true
  [ -s "$work/mech.yaml" ] || { echo "time_mech.sh: orvalen-mech failed" >&2; exit 1; }
  read -r wall rss user <"$work/time.txt"
  if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
    best_wall=$wall best_rss=$rss best_user=$user
  fi
done
species=$(awk '/^SPECIES/ { on = 1; next } /^END/ { on = 0 } on' "$work/mech.inp" | wc -l)
reactions=$(grep -c "^- equation:" "$work/mech.yaml" || true)
echo "orvalen-mech, 1000 jobs ($species species, $reactions reactions): best of $runs:" \
  "${best_wall} s (CPU ${best_user} s), peak memory $((best_rss / 1024)) MB (bounds 5 s, 300 MB); load $(cut -d' ' -f1-3 /proc/loadavg)"
