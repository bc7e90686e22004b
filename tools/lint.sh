#!/usr/bin/env bash
# The style checks CI runs: the folder layering of src/ (DESIGN.md), clang-format
# in a dry run over every C++ file of the repository (any difference fails), then clang-tidy with .clang-tidy over every
# source file of src/, using the compile commands of a configured build folder.
#
#   tools/lint.sh [BUILD]     BUILD defaults to build (configured by `make test`)
#
# Exits 1 on any finding. `make format` rewrites the files clang-format would change.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: $build/compile_commands.json not found; run \"make test\" (or configure $build) first" >&2
  exit 1
fi

# Which folder of src/ may include which (DESIGN.md): never one above it.
declare -A may=(
  [base]=""
  [fixedio]="base"
  [molecule]="fixedio base"
  [thermo]="molecule fixedio base"
  [input]="molecule fixedio base"
  [rates]="thermo molecule fixedio base"
  [driver]="input rates thermo molecule fixedio base"
  [geometry]="molecule base"
  [qc]="geometry molecule fixedio base"
  [extended]="geometry rates thermo molecule fixedio base"
  [kinetics]="extended geometry rates thermo molecule fixedio base"
  [mech]="kinetics extended geometry input rates thermo molecule fixedio base"
  [scan]="kinetics extended geometry input rates thermo molecule fixedio base"
)
layering=0
for dir in src/*/; do
  folder=$(basename "$dir")
  if [ -z "${may[$folder]+set}" ]; then
    echo "lint: src/$folder is not in the folder table of tools/lint.sh and DESIGN.md" >&2
    layering=1
    continue
  fi
  while IFS=: read -r file used; do
    case " $folder ${may[$folder]} " in
      *" $used "*) ;;
      *)
        echo "lint: $file includes a header of src/$used, which src/$folder may not use" >&2
        layering=1
        ;;
    esac
  done < <(grep -o '#include "[a-z_]*/' "$dir"*.[ch]pp | sed 's/#include "//; s#/$##')
done
[ $layering -eq 0 ] || exit 1

mapfile -t cxx < <(git ls-files '*.cpp' '*.hpp')
echo "lint: clang-format --dry-run on ${#cxx[@]} files" >&2
clang-format --dry-run --Werror "${cxx[@]}"

mapfile -t srcs < <(git ls-files 'src/*.cpp')
echo "lint: clang-tidy on ${#srcs[@]} files" >&2
# GCC-only warning options in the compile commands (-Wno-restrict) are not clang's.
printf '%s\n' "${srcs[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet \
    --extra-arg=-Wno-unknown-warning-option 2> >(grep -v "warnings generated" >&2)
echo "lint: clean" >&2
