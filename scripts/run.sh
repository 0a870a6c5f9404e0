#!/usr/bin/env bash
# Installs what the Linux bar needs (Debian 12, as root or with sudo),
# builds it into build-run/ and starts it on the sample document.
#
# The bar runs in examples/sample, so its settings file Kestro.ini lands
# beside the sample and not in the repository's root; the sample's tools
# and their output stay in that folder too. Press the one-click button
# (the lightning) to compile, make the PDF and open it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh run

cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DKESTRO_BUILD_TESTS=OFF -DKESTRO_BUILD_BENCH=OFF -DKESTRO_BUILD_QT=ON
cmake --build build-run -j"$(nproc)" --target kestro

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop session (DISPLAY or WAYLAND_DISPLAY) to show the bar in." >&2
  echo "Built: $root/build-run/src/qt/kestro" >&2
  exit 1
fi

cd "$root/examples/sample"
exec "$root/build-run/src/qt/kestro" "$root/examples/sample/sample.tex"
