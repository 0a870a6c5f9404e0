#!/bin/sh
# kestro started as a user starts it: --help and --version touch nothing; no
# display is one line and status 1; -- takes a name like an option; a signal
# ends the bar as a close request does, also with a message box open (the
# refused start-up document's); with "wayland", under weston without
# XWayland, it says once that the compositor places it.
# Usage: kestro-start.sh KESTRO [wayland]
set -u
work=$(mktemp -d)
trap '[ -n "${weston:-}" ] && kill $weston 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "kestro-start: $*" >&2; cat "$work/err" >&2; exit 1; }
# Waits up to ten seconds for the shell test in "$@".
await() { i=0; until "$@"; do [ $i -lt 100 ] || return 1; sleep 0.1; i=$((i + 1)); done; }
# Starts the bar on the words after $1, sends it signal $1 once it is up,
# and expects status 0.
bar() {
  signal=$1; shift
  env --default-signal "$kestro" "$@" 2>"$work/err" & pid=$!
  await grep -qs PdfNShow Kestro.ini || fail "the bar did not start"
  kill -$signal $pid; wait $pid || fail "SIG$signal ended the bar with status $?"
}

kestro=$1
mkdir -m 700 "$work/runtime" && mkdir "$work/doc" && : >"$work/doc/paper.tex" && : >"$work/err"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work/doc"
"$kestro" --version | grep -q '^kestro [0-9.]*$' && "$kestro" --help | grep -q '^Usage: kestro ' || fail "--version, --help"
[ ! -e Kestro.ini ] || fail "--help or --version wrote Kestro.ini"
for display in "" :79; do
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=$display "$kestro" 2>"$work/err"
  [ $? -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q '^kestro: no display' "$work/err" || fail "DISPLAY=$display"
done

export QT_QPA_PLATFORM=offscreen
bar TERM -- -x.tex
grep -q "^File0=$work/doc/-x.tex.\?$" Kestro.ini || fail "-- -x.tex: $(cat Kestro.ini)"
for signal in HUP INT; do
  printf '[RFL]\nFile0=%s\nFile2=old.tex\n' "$work/doc/paper.tex" >Kestro.ini
  bar $signal "$(printf 'new\nline.tex')"
  ! grep -q File2 Kestro.ini || fail "SIG$signal with a box open: history not written"
done

[ "${2:-}" = wayland ] || { echo "kestro-start: ok"; exit 0; }
unset DISPLAY QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket=kestro-test --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
weston=$!
await test -S "$work/runtime/kestro-test" || fail "weston did not start: $(tail -3 "$work/weston.log")"
rm Kestro.ini
export WAYLAND_DISPLAY=kestro-test
bar TERM paper.tex
[ "$(grep -c 'on Wayland' "$work/err")" -eq 1 ] || fail "the Wayland notice is not there exactly once"
grep -q "^File0=$work/doc/paper.tex.\?$" Kestro.ini || fail "history not written: $(cat Kestro.ini)"
echo "kestro-start: ok"
