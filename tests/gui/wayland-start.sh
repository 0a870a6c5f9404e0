#!/bin/sh
# The bar under a Wayland compositor without XWayland (weston, headless):
# it starts, says once on standard error that the compositor places it, and
# a termination request ends it as a close request does, history written.
# Usage: wayland-start.sh KESTRO
set -u
work=$(mktemp -d)
trap '[ -n "${weston:-}" ] && kill $weston 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "wayland-start: $*" >&2; cat "$work/err" >&2; exit 1; }
# Waits up to ten seconds for the shell test in "$@".
await() { i=0; until "$@"; do [ $i -lt 100 ] || return 1; sleep 0.1; i=$((i + 1)); done; }

mkdir -m 700 "$work/runtime" && mkdir "$work/doc" && : >"$work/doc/paper.tex" && : >"$work/err"
export XDG_RUNTIME_DIR="$work/runtime"
unset DISPLAY QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket=kestro-test --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
weston=$!
await test -S "$work/runtime/kestro-test" || fail "weston did not start: $(tail -3 "$work/weston.log")"
cd "$work/doc"
WAYLAND_DISPLAY=kestro-test "$1" paper.tex 2>"$work/err" &
bar=$!
await grep -q 'on Wayland' "$work/err" || fail "no word about Wayland on standard error"
sleep 0.5
kill -TERM $bar
wait $bar || fail "the bar ended with status $?"
[ "$(grep -c 'on Wayland' "$work/err")" -eq 1 ] || fail "the Wayland notice is not there exactly once"
grep -q "^File0=$work/doc/paper.tex.\?$" Kestro.ini || fail "history not written: $(cat Kestro.ini)"
echo "wayland-start: ok"
