#!/bin/sh
# kestro-build on real TeX: a Japanese document with a table of contents,
# cross-references, citations and an index, built in one click without a
# terminal. Usage: kestro-build-real-tex.sh KESTRO_BUILD DOCUMENT_DIR
# Exit 77 (skipped) when a tool of the road is missing.
set -u
exe=$1
documents=$2

for tool in platex pbibtex mendex dvipdfmx; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool not installed"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-real-tex-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
cp "$documents"/paper.tex "$documents"/refs.bib "$work"/ || exit 1
cd "$work" || exit 1

fail() { echo "FAILED: $*"; exit 1; }

# A session of its own: no controlling terminal; standard input empty.
detach=""
command -v setsid >/dev/null 2>&1 && detach=setsid
$detach "$exe" --one-click --yes --paper a4 --no-view paper.tex </dev/null >out.txt 2>err.txt
status=$?
cat err.txt
[ "$status" -eq 0 ] || fail "exit status $status"

head -c 5 paper.pdf | grep -q '%PDF-' || fail "no PDF made"
[ -s paper.toc ] || fail "no table of contents"
[ -s paper.bbl ] || fail "the bibliography tool did not run"
[ -s paper.ind ] || fail "the index tool did not run"
grep -q 'undefined' paper.log && fail "unresolved references or citations in the final log"
grep -q 'Rerun to get' paper.log && fail "the final log still asks for a rerun"
grep -q '^PdfSizeNo=1' Kestro.ini || fail "paper size not stored"
grep -q '^Acr=1' Kestro.ini || fail "first success not recorded"
grep -q '^\[RFL\]' Kestro.ini && fail "history written"
echo "passed"
exit 0
