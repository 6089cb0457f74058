#!/usr/bin/env bash
# Sets everything up, builds the program, its tests, benchmarks and fuzz targets, and runs the
# whole test suite with CTest (each benchmark in a quick mode, each fuzz target for 20 seconds).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test "$@"
# The fuzz targets, built with clang; the test suite runs each of them for a short while.
scripts/setup.sh fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DTESSARIN_FUZZ=ON -DTESSARIN_TESTS=OFF -DTESSARIN_BENCH=OFF
cd out/test
QT_QPA_PLATFORM=offscreen ctest -j "$(nproc)" --output-on-failure --timeout 600
