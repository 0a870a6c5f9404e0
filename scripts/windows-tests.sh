#!/usr/bin/env bash
# Cross-builds the Windows bar with mingw-w64 and runs its tests under Wine,
# headless: the core's unit tests, the tests of the Win32 layer (profile
# functions, files, processes, the real dialogs) and the check of
# Kestro.exe's imports and resources.
#
# Usage: scripts/windows-tests.sh
#   KESTRO_WIN_BUILD  build directory (default: build-win in the checkout)
#   KESTRO_JOBS       parallel compile jobs (default: 2)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRO_WIN_BUILD:-$root/build-win}
jobs=${KESTRO_JOBS:-2}

"$root/scripts/install-deps.sh" windows

# --- a fresh Wine prefix with the null display driver ----------------------
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
WINEPREFIX=$(mktemp -d /tmp/kestro-wine.XXXXXX)
export WINEPREFIX
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

echo "windows-tests: preparing Wine in $WINEPREFIX"
wineboot -i </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
# The explorer started by wineboot keeps the old driver until it ends.
wineserver -w

# --- build -----------------------------------------------------------------
cmake -S "$root" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKESTRO_BUILD_QT=OFF -DKESTRO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"

# --- test ------------------------------------------------------------------
# A persistent server makes each of the many short Wine starts cheap; its
# output must not hold this script's pipes open.
wineserver -p </dev/null >/dev/null 2>&1
# The first program of a prefix starts Wine's services; started here, they
# do not hold on to the output of a test.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure -j 1 </dev/null
