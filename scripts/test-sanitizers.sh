#!/usr/bin/env bash
# Builds the native test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan and runs it. The Qt bar and the
# benchmarks are left out (Qt's own libraries are not instrumented and only
# add false reports); the real-TeX integration tests are left out to keep
# the whole test run within its time budget: they run in the native build.
#   KESTRO_ASAN_BUILD   build directory (default build-asan)
#   KESTRO_ASAN_CXX     compiler (default clang++ when present, else g++)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${KESTRO_ASAN_BUILD:-build-asan}
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
cxx=${KESTRO_ASAN_CXX:-}
if [ -z "$cxx" ]; then
  if command -v clang++ >/dev/null; then cxx=clang++; else cxx=g++; fi
fi

cmake -S . -B "$build" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
  -DKESTRO_SANITIZE=ON -DKESTRO_BUILD_QT=OFF -DKESTRO_BUILD_BENCH=OFF -DKESTRO_FUZZ=OFF
cmake --build "$build" -j"$jobs"

# Every report is fatal; leaks count too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs" -LE 'integration|gui|fuzz'
