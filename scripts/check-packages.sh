#!/usr/bin/env bash
# Makes the packages from the existing build directories and checks what a
# user gets from them: the Debian package of the native build and the zip of
# the Windows build.
#
# Usage: scripts/check-packages.sh [deb] [zip]   (default: both)
#   KESTRO_BUILD      native build directory (default: build in the checkout)
#   KESTRO_WIN_BUILD  Windows build directory, where scripts/windows-tests.sh
#                     built and tested Kestro.exe (default: build-win)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRO_BUILD:-$root/build}
win_build=${KESTRO_WIN_BUILD:-$root/build-win}
kinds=("$@")
[ ${#kinds[@]} -eq 0 ] && kinds=(deb zip)

"$root/scripts/install-deps.sh" package

work=$(mktemp -d /tmp/kestro-packages.XXXXXX)
trap 'rm -rf "$work"' EXIT

passes=0
failures=0
check() {
  local what=$1; shift
  if "$@"; then
    echo "ok: $what"
    passes=$((passes + 1))
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

project_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$1/CMakeCache.txt"
}

# Builds the target "package" in a build directory; its output goes to a log
# shown only when it fails.
make_package() {
  if ! cmake --build "$1" --target package >"$work/package.log" 2>&1; then
    cat "$work/package.log"
    return 1
  fi
}

# Every name in $2 (one a line) is in the list $1.
has_all() {
  local missing
  missing=$(comm -13 <(sort -u "$1") <(sort -u <<<"$2"))
  [ -z "$missing" ] || { echo "  missing: $missing"; return 1; }
}

check_deb() {
  [ -f "$build/CMakeCache.txt" ] || { echo "FAILED: no native build in $build"; failures=$((failures + 1)); return; }
  local version deb unpacked
  version=$(project_version "$build")
  deb=$build/kestro_${version}_amd64.deb
  rm -f "$deb"
  check "the Debian package is made" make_package "$build"
  [ -f "$deb" ] || { echo "FAILED: $deb was not written"; failures=$((failures + 1)); return; }

  # --- file list ---------------------------------------------------------
  dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|/$||' >"$work/deb-files"
  local wanted=./usr/bin/kestro
  wanted+=$'\n'./usr/bin/kestro-build
  wanted+=$'\n'./usr/share/applications/kestro.desktop
  wanted+=$'\n'./usr/share/metainfo/io.kestro.Kestro.metainfo.xml
  wanted+=$'\n'./usr/share/icons/hicolor/scalable/apps/kestro.svg
  for size in 16 22 24 32 48 64 128 256; do
    wanted+=$'\n'./usr/share/icons/hicolor/${size}x${size}/apps/kestro.png
  done
  for page in kestro kestro-build; do
    wanted+=$'\n'./usr/share/man/man1/$page.1.gz
    wanted+=$'\n'./usr/share/man/ja/man1/$page.1.gz
  done
  wanted+=$'\n'./usr/share/bash-completion/completions/kestro-build
  wanted+=$'\n'./usr/share/doc/kestro/copyright
  wanted+=$'\n'./usr/share/doc/kestro/changelog.gz
  check "the package holds the programs, menu entry, icons, manual pages in English and Japanese, completion and documents" \
    has_all "$work/deb-files" "$wanted"
  check "the package installs nothing but programs and data under /usr" \
    bash -c '! grep -Ev "^\.(/usr(/(bin|share)(/.*)?)?)?$" "$1"' _ "$work/deb-files"

  # --- control fields ----------------------------------------------------
  dpkg-deb -I "$deb" >/dev/null
  field() { dpkg-deb -f "$deb" "$1"; }
  check "Package, Version, Architecture and Section" \
    test "$(field Package) $(field Version) $(field Architecture) $(field Section)" = "kestro $version amd64 tex"
  check "a Maintainer and a Description" test -n "$(field Maintainer)" -a "$(field Description | wc -l)" -gt 2
  local depends
  depends=$(field Depends)
  check "Depends from the libraries the programs link, and the SVG icon plugin" \
    bash -c '[[ $1 == *libc6* && $1 == *libqt6widgets6* && $1 == *libqt6svg6* ]]' _ "$depends"
  check "Recommends the TeX tools, the opener, Qt's translations, its Wayland plugin and the console's font" \
    test "$(field Recommends)" = "texlive-lang-japanese, xdg-utils, qt6-translations-l10n, qt6-wayland, fonts-vlgothic"

  # --- the unpacked package ----------------------------------------------
  unpacked=$work/root
  dpkg-deb -x "$deb" "$unpacked"
  check "kestro-build --version names the version" \
    test "$("$unpacked/usr/bin/kestro-build" --version)" = "kestro-build $version"
  check "kestro-build --help prints the usage" \
    bash -c '"$1" --help | grep -q "^Usage: kestro-build"' _ "$unpacked/usr/bin/kestro-build"
  check "the programs are stripped" \
    bash -c '! file -L "$@" | grep -q "not stripped"' _ "$unpacked/usr/bin/kestro" "$unpacked/usr/bin/kestro-build"
  check "the AppStream data is valid" \
    appstreamcli validate --no-net "$unpacked/usr/share/metainfo/io.kestro.Kestro.metainfo.xml"
  local launchable
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' \
    "$unpacked/usr/share/metainfo/io.kestro.Kestro.metainfo.xml")
  check "the AppStream data launches the menu entry" test -f "$unpacked/usr/share/applications/$launchable"
  check "the menu entry is valid" desktop-file-validate "$unpacked/usr/share/applications/kestro.desktop"
  for page in kestro kestro-build; do
    check "the manual page $page(1) renders without a warning" \
      render_man NAME -l "$unpacked/usr/share/man/man1/$page.1.gz"
    check "man -L ja $page shows the Japanese page without a warning" render_man 名前 -L ja "$page"
  done
  check "the bash completion offers the paper sizes" complete_paper "$unpacked"

  # --- lintian -----------------------------------------------------------
  lintian --allow-root "$deb" >"$work/lintian.log" 2>&1 || true
  sed 's/^/  lintian: /' "$work/lintian.log"
  check "lintian finds no error" bash -c '! grep -q "^E:" "$1"' _ "$work/lintian.log"
}

# render_man HEADING MAN-ARGUMENT...: man, finding pages in the unpacked
# package, shows one without a warning, and it starts with its name section.
render_man() {
  local heading=$1
  shift
  MANPATH=$unpacked/usr/share/man LANG=C.UTF-8 MANWIDTH=80 man --warnings "$@" >"$work/man.out" 2>"$work/man.err"
  [ ! -s "$work/man.err" ] && grep -q "^$heading" "$work/man.out" || { cat "$work/man.err"; return 1; }
}

complete_paper() {
  local completion=/usr/share/bash-completion/bash_completion
  bash -c '
    source "$1" && source "$2/usr/share/bash-completion/completions/kestro-build" || exit 1
    COMP_WORDS=(kestro-build --paper l); COMP_CWORD=2; COMP_LINE="kestro-build --paper l"; COMP_POINT=${#COMP_LINE}
    _comp_kestro_build kestro-build l --paper
    [ "${COMPREPLY[*]}" = "landscape letter legal ledger" ]' _ "$completion" "$1"
}

check_zip() {
  [ -f "$win_build/CMakeCache.txt" ] || {
    echo "FAILED: no Windows build in $win_build (scripts/windows-tests.sh makes it)"
    failures=$((failures + 1)); return; }
  local version zip name exe tested
  version=$(project_version "$win_build")
  name=Kestro-$version-win64
  zip=$win_build/$name.zip
  exe=$(cat "$win_build/packaging/kestro-exe-path.txt")
  # The program as the Wine tests left it, before anything is rebuilt.
  tested=$(sha256sum <"$exe")
  rm -f "$zip"
  check "the Windows zip is made" make_package "$win_build"
  [ -f "$zip" ] || { echo "FAILED: $zip was not written"; failures=$((failures + 1)); return; }

  unzip -Z1 "$zip" | sed 's|/$||' | LC_ALL=C sort >"$work/zip-files"
  check "the zip holds Kestro.exe, the read-me and the licence in one folder" \
    test "$(tr '\n' ' ' <"$work/zip-files")" = "$name/Kestro.exe $name/LICENSE.txt $name/README.txt "
  unzip -q "$zip" -d "$work/zip"
  check "its Kestro.exe is the one the Wine tests passed" \
    test "$(sha256sum <"$work/zip/$name/Kestro.exe")" = "$tested"
  check "its read-me opens as UTF-8 text with Windows line ends" \
    bash -c '[ "$(head -c3 "$1" | od -An -tx1 | tr -d " ")" = efbbbf ] && grep -q $'"'"'\r$'"'"' "$1"' \
    _ "$work/zip/$name/README.txt"
}

for kind in "${kinds[@]}"; do
  case $kind in
    deb) check_deb ;;
    zip) check_zip ;;
    *) echo "check-packages: unknown package kind $kind" >&2; exit 2 ;;
  esac
done

echo "packages: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
