#!/usr/bin/env bash
# Screenshots of the Windows bar and its dialogs under Wine, with Japanese
# text, on a virtual X display: one PNG per window.
#
# Usage: scripts/screenshots-windows.sh [output directory]
#   (default: screenshots-windows in the build directory)
#   KESTRO_WIN_BUILD  the cross build (default: build-win in the checkout);
#                     built first by scripts/windows-tests.sh or here
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTRO_WIN_BUILD:-$root/build-win}
out=$(mkdir -p "${1:-$build/screenshots-windows}" && cd "${1:-$build/screenshots-windows}" && pwd)

"$root/scripts/install-deps.sh" windows screenshots

if [ ! -f "$build/src/win32/Kestro.exe" ] || [ ! -f "$build/scripts/screenshots/kestro_dialog_gallery.exe" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DKESTRO_BUILD_QT=OFF -DKESTRO_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j "${KESTRO_JOBS:-2}" --target Kestro kestro_dialog_gallery >/dev/null

export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
WINEPREFIX=$(mktemp -d /tmp/kestro-wine-shots.XXXXXX)
export WINEPREFIX
work=$(mktemp -d /tmp/kestro-shots-work.XXXXXX)
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

# A settings file in the working directory with a Japanese history: the bar
# shows File0 (the first entry) in its history box.
printf '%s\r\n' \
  '[Settings]' 'PdfNeShow=1' 'PdfSizeNo=7' 'PdfNShow=0' 'MkIdxOpt=-s myindex' 'MkIdxNvr=0' \
  '[RFL]' 'File0=C:\論文\卒業論文.tex' 'File1=D:\TeX\表計算ソフトの比較.tex' 'File2=C:\work\paper.tex' \
  | iconv -f UTF-8 -t CP932 > "$work/Kestro.ini"
cp "$build/src/win32/Kestro.exe" "$build/scripts/screenshots/kestro_dialog_gallery.exe" "$work/"

cat > "$work/prepare.sh" <<'PREPARE'
wineboot -i >/dev/null 2>&1
# The symbols of the title bar's buttons (Marlett) come with fonts-wine.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# The dialogs ask for the proportional Japanese font of Windows; IPA's is
# its counterpart here (the fixed-width fallback would cut the texts).
for font in 'ＭＳ Ｐゴシック' 'MS UI Gothic'; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d 'IPAPGothic' /f >/dev/null 2>&1
done
wineserver -w
PREPARE

cat > "$work/shoot.sh" <<'SHOOT'
set -u
out=$1
# name, desktop size, program and argument, seconds to wait
shoot() {
  name=$1 size=$2 program=$3 argument=$4 wait=$5
  wine explorer "/desktop=shot,$size" "$program" $argument >/dev/null 2>&1 &
  sleep "$wait"
  import -window root -crop "$size+0+0" "$out/$name.png"
  wineserver -k >/dev/null 2>&1
  wait
  sleep 1
}
shoot bar-tooltip 1400x200 kestro_dialog_gallery.exe bar-tooltip 10
shoot bar 1400x200 Kestro.exe "" 6
shoot bar-history 1400x300 kestro_dialog_gallery.exe bar-history 7
shoot about 420x200 kestro_dialog_gallery.exe about 5
shoot settings 300x300 kestro_dialog_gallery.exe settings 5
shoot paper 440x300 kestro_dialog_gallery.exe paper 5
shoot index 460x300 kestro_dialog_gallery.exe index 5
shoot message 720x220 kestro_dialog_gallery.exe message 5
SHOOT

cd "$work"
# The prefix is made in a display session of its own. The screen is no
# taller than 300 pixels: on a taller one Wine never shows the tooltip.
xvfb-run -a -s '-screen 0 1440x300x24' sh "$work/prepare.sh" </dev/null
xvfb-run -a -s '-screen 0 1440x300x24' sh "$work/shoot.sh" "$out" </dev/null
ls "$out"
