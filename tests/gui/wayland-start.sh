#!/bin/sh
# The bar under a Wayland compositor without XWayland (weston, headless):
# it starts, says once on standard error that the compositor places it, and
# a termination request ends it as a close request does, history written.
# Usage: wayland-start.sh KESTRO
set -u
kestro=$1
work=$(mktemp -d)
weston_pid=
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "wayland-start: $*" >&2; cat "$work/kestro.err" >&2 2>/dev/null; exit 1; }

mkdir -m 700 "$work/runtime" && mkdir "$work/doc" && : >"$work/doc/paper.tex"
export XDG_RUNTIME_DIR="$work/runtime"
unset DISPLAY QT_QPA_PLATFORM
weston --backend=headless-backend.so --socket=kestro-test --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
weston_pid=$!
waited=0
until [ -S "$work/runtime/kestro-test" ]; do
  [ $waited -lt 100 ] || fail "weston did not start: $(tail -3 "$work/weston.log")"
  sleep 0.1; waited=$((waited + 1))
done

cd "$work/doc"
WAYLAND_DISPLAY=kestro-test "$kestro" paper.tex 2>"$work/kestro.err" &
bar=$!
waited=0
until grep -q 'on Wayland' "$work/kestro.err"; do
  kill -0 $bar 2>/dev/null || fail "the bar ended at start"
  [ $waited -lt 100 ] || fail "no word about Wayland on standard error"
  sleep 0.1; waited=$((waited + 1))
done
sleep 0.5
kill -TERM $bar
wait $bar
status=$?
[ $status -eq 0 ] || fail "the bar ended with status $status"
[ "$(grep -c 'on Wayland' "$work/kestro.err")" -eq 1 ] || fail "the Wayland notice is not there exactly once"
grep -q "^File0=$work/doc/paper.tex.\?$" "$work/doc/Kestro.ini" || fail "history not written: $(cat "$work/doc/Kestro.ini")"
echo "wayland-start: ok"
