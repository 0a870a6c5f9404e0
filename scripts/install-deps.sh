#!/usr/bin/env bash
# Installs the Debian packages Kestro needs that are not there yet.
# Usage: scripts/install-deps.sh [run|test]
#   run   what building and running the Linux bar needs
#   test  that, plus what every test needs (real TeX, Wine, the cross compiler)
set -euo pipefail

purpose=${1:-test}

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6svg6
  texlive-lang-japanese texlive-latex-base texlive-latex-recommended
  fonts-ipaexfont-gothic xdg-utils
)
if [ "$purpose" = test ]; then
  packages+=(
    googletest libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev llvm
    latexmk
    xvfb xauth imagemagick
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 locales fonts-ipafont-gothic
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=900 "${missing[@]}"
