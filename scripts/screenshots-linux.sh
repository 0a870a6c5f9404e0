#!/usr/bin/env bash
# Screenshots of the Linux bar, its dialogs, message boxes with Japanese
# text and the tool console, taken under Xvfb: scripts/screenshots-linux.sh [OUTDIR]
# (default build-screenshots/). Needs xvfb, xauth and a Japanese font
# (fonts-ipaexfont-gothic); installs them when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out=${1:-$root/build-screenshots}
build=${KESTRO_BUILD_DIR:-$root/build}

scripts/install-deps.sh run screenshots

cmake -S . -B "$build" -DKESTRO_BUILD_QT=ON -DKESTRO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target kestro_gui_screenshots

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/kestro-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/gui/kestro_gui_screenshots" "$out"
echo "Screenshots in $out"
