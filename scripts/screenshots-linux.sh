#!/usr/bin/env bash
# Screenshots of the Linux bar, its dialogs, message boxes with Japanese
# text and the tool console, taken under Xvfb with openbox drawing the
# frames, at scale 1 and at scale 2 (a HiDPI screen):
# scripts/screenshots-linux.sh [OUTDIR]   (default build-screenshots/, with
# scale-1/ and scale-2/ in it). Needs xvfb, xauth, openbox and a Japanese
# font (fonts-ipaexfont-gothic); installs them when they are missing.
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
# Qt's own words (the file dialog) as a Japanese desktop shows them.
export LANG=${KESTRO_SHOTS_LANG:-ja_JP.UTF-8}
for scale in 1 2; do
  mkdir -p "$out/scale-$scale"
  size=$((1280 * scale))x$((800 * scale))x24
  QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 $size" sh -c '
    openbox >/dev/null 2>&1 & wm=$!
    sleep 1
    "$1" "$2"; status=$?
    kill $wm
    exit $status' sh "$build/scripts/screenshots/kestro_gui_screenshots" "$out/scale-$scale"
done
echo "Screenshots in $out"
