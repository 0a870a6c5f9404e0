#!/bin/sh
# Runs a Windows program under Wine for CTest: with an empty standard input,
# its output collected in a file first (Wine's background services inherit
# the output handles and would keep a pipe open long after the program has
# ended) and passed on without the carriage returns of Windows line ends.
out=$(mktemp "${TMPDIR:-/tmp}/kestro-wine-out.XXXXXX") || exit 125
wine "$@" </dev/null >"$out" 2>&1
status=$?
tr -d '\r' <"$out"
rm -f "$out"
exit $status
