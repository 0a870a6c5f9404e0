#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the core and the
# Linux platform, the real-TeX integration tests, the Qt bar headless, the
# sanitizer build, the fuzz targets, and the Windows build under Wine; then
# makes the Debian package and the Windows zip and checks them.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/kestro-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

status=0
run_step() {
  local name=$1; shift
  echo "=== $name"
  if ! "$@"; then
    echo "=== $name FAILED"
    status=1
  fi
}

native() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j"$(nproc)"
  ctest --test-dir build --output-on-failure --no-tests=error -j2
}
run_step "native build and tests" native

for extra in scripts/test-sanitizers.sh scripts/test-fuzz.sh scripts/windows-tests.sh; do
  [ -x "$extra" ] && run_step "$extra" "$extra"
done

# From the build directories of the native step and of the Windows tests.
run_step "packages" scripts/check-packages.sh

exit $status
