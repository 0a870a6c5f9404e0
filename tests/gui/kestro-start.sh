#!/bin/sh
# The kestro program started as a user starts it: --help and --version need
# no display and touch nothing; without a display it says so in one line;
# `--` takes the next word as the document, also one like an option; a
# termination signal ends it as a close request does, history written, also
# while a message box is open; and with "wayland", under a Wayland
# compositor without XWayland (weston, headless), it says once that the
# compositor places it.
# Usage: kestro-start.sh KESTRO [wayland]
set -u
kestro=$1
work=$(mktemp -d)
trap '[ -n "${weston:-}" ] && kill $weston 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "kestro-start: $*" >&2; cat "$work/err" >&2; exit 1; }
# Waits up to ten seconds for the shell test in "$@".
await() { i=0; until "$@"; do [ $i -lt 100 ] || return 1; sleep 0.1; i=$((i + 1)); done; }
# Starts the bar in the background on "$@" (bar: its process id).
start() { "$kestro" "$@" 2>"$work/err" & bar=$!; }
# Sends signal $1 once the bar has started, and expects it to end with 0.
end_with() {
  await grep -q PdfNShow Kestro.ini || fail "the bar did not start"
  kill -"$1" $bar
  wait $bar || fail "SIG$1 ended the bar with status $?"
}

mkdir -m 700 "$work/runtime" && mkdir "$work/doc" && : >"$work/doc/paper.tex" && : >"$work/err"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work/doc"
"$kestro" --version | grep -q '^kestro [0-9][0-9.]*$' || fail "--version"
"$kestro" --help | grep -q '^Usage: kestro \[FILE.tex\]$' || fail "--help"
[ ! -e Kestro.ini ] || fail "--help or --version wrote Kestro.ini"

for display in "" :79; do
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=$display "$kestro" paper.tex 2>"$work/err"
  status=$?
  [ $status -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q '^kestro: no display' "$work/err" ||
    fail "DISPLAY=$display: status $status"
done

export QT_QPA_PLATFORM=offscreen
start -- -x.tex
end_with TERM
grep -q "^File0=$work/doc/-x.tex.\?$" Kestro.ini || fail "-- -x.tex: history not written: $(cat Kestro.ini)"
# A document refused at start: its box is open when the signal comes.
for signal in HUP INT; do
  printf '[RFL]\nFile0=%s\nFile2=old.tex\n' "$work/doc/paper.tex" >Kestro.ini
  start "$(printf 'new\nline.tex')"
  end_with $signal
  ! grep -q File2 Kestro.ini || fail "SIG$signal with a box open: history not written"
done

[ "${2:-}" = wayland ] || { echo "kestro-start: ok"; exit 0; }
unset DISPLAY QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket=kestro-test --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
weston=$!
await test -S "$work/runtime/kestro-test" || fail "weston did not start: $(tail -3 "$work/weston.log")"
rm Kestro.ini
export WAYLAND_DISPLAY=kestro-test
start paper.tex
await grep -q 'on Wayland' "$work/err" || fail "no word about Wayland on standard error"
end_with TERM
[ "$(grep -c 'on Wayland' "$work/err")" -eq 1 ] || fail "the Wayland notice is not there exactly once"
grep -q "^File0=$work/doc/paper.tex.\?$" Kestro.ini || fail "history not written: $(cat Kestro.ini)"
echo "kestro-start: ok"
