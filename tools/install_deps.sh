#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need and a fresh machine
# lacks; does nothing when everything is there. orvalen itself needs only a
# C++20 compiler; the companion programs orvalen-import, orvalen-scan and orvalen-mech need
# Eigen, Boost.Math, nlohmann-json and CLI11; the tests need GoogleTest,
# gfortran (the field-editing comparison), xtb (one live calculation) and
# rsvg-convert (the plot renders), GNU parallel, jq and python3 (the batch
# commands of docs/orvalen-scan.md, run as written), python3-yaml (the YAML of
# orvalen-mech read back), help2man and groff (the manual pages, made from the
# programs' --help and checked).
#
#   tools/install_deps.sh          everything: the programs, the tests, the benchmarks
#   tools/install_deps.sh build    only what building orvalen needs (g++, cmake,
#                                  ninja-build, make)
#   tools/install_deps.sh programs what the three programs need: the above with
#                                  Eigen, Boost.Math, nlohmann-json and CLI11, as
#                                  `make` and `make run` do
#   tools/install_deps.sh lint     clang-format and clang-tidy for tools/lint.sh
set -euo pipefail

mode=${1:-all}
case $mode in
  all | build | programs | lint) ;;
  *)
    echo "usage: $0 [build | programs | lint]" >&2
    exit 2
    ;;
esac

need=()
command -v g++ >/dev/null || need+=(g++)
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v make >/dev/null || need+=(make)
if [ "$mode" = all ] || [ "$mode" = programs ]; then
  [ -f /usr/include/eigen3/Eigen/Dense ] || need+=(libeigen3-dev)
  [ -f /usr/include/boost/math/quadrature/gauss_kronrod.hpp ] || need+=(libboost-math-dev)
  [ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
  [ -f /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
fi
if [ "$mode" = all ]; then
  command -v gfortran >/dev/null || need+=(gfortran)
  command -v xtb >/dev/null || need+=(xtb)
  command -v rsvg-convert >/dev/null || need+=(librsvg2-bin)
  command -v parallel >/dev/null || need+=(parallel)
  command -v jq >/dev/null || need+=(jq)
  command -v python3 >/dev/null || need+=(python3)
  [ -f /usr/lib/python3/dist-packages/yaml/__init__.py ] || need+=(python3-yaml)
  command -v help2man >/dev/null || need+=(help2man)
  command -v groff >/dev/null || need+=(groff-base)
  [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
  [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
fi

if [ "$mode" = lint ]; then
  need=()
  command -v clang-format >/dev/null || need+=(clang-format)
  command -v clang-tidy >/dev/null || need+=(clang-tidy)
fi

[ ${#need[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "install_deps: installing ${need[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${need[@]}"
