#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz and runs each for a short,
# bounded time through CTest. Any crash, hang (over 5 s on one input), read
# out of bounds, undefined behaviour or broken property fails the run.
#   KESTRO_FUZZ_SECONDS   seconds per target (default 20)
#   KESTRO_FUZZ_BUILD     build directory (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${KESTRO_FUZZ_BUILD:-build-fuzz}
seconds=${KESTRO_FUZZ_SECONDS:-20}
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "test-fuzz: $tool is missing (scripts/install-deps.sh test)" >&2; exit 1; }
done

cmake -S . -B "$build" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRO_FUZZ=ON -DKESTRO_SANITIZE=ON -DKESTRO_FUZZ_SECONDS="$seconds" \
  -DKESTRO_BUILD_TESTS=OFF -DKESTRO_BUILD_QT=OFF -DKESTRO_BUILD_BENCH=OFF
cmake --build "$build" --target kestro_fuzz_targets -j"$jobs"
ctest --test-dir "$build" -L fuzz --output-on-failure --no-tests=error -j"$jobs"
