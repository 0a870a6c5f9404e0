#!/usr/bin/env bash
# Installs what the Linux bar needs (Debian 12, as root or with sudo),
# builds it into build/ and starts it on the sample document.
#
# The bar runs in examples/sample, so its settings file Kestro.ini lands
# beside the sample and not in the repository's root; the sample's tools
# and their output stay in that folder too. Press the one-click button
# (the lightning) to compile, make the PDF and open it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

packages=(
  cmake g++ make
  qt6-base-dev libqt6svg6
  texlive-lang-japanese texlive-latex-base texlive-latex-recommended
  fonts-ipaexfont-gothic xdg-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
    sudo=sudo
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKESTRO_BUILD_TESTS=OFF -DKESTRO_BUILD_BENCH=OFF -DKESTRO_BUILD_QT=ON
cmake --build build -j"$(nproc)" --target kestro

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop session (DISPLAY or WAYLAND_DISPLAY) to show the bar in." >&2
  echo "Built: $root/build/src/qt/kestro" >&2
  exit 1
fi

cd "$root/examples/sample"
exec "$root/build/src/qt/kestro" "$root/examples/sample/sample.tex"
