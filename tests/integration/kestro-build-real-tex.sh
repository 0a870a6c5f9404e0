#!/bin/sh
# kestro-build on real TeX, without a terminal: each document of
# DOCUMENT_DIR in a fresh directory, the tools it ran noted by wrappers on
# PATH that hand over to the real ones. Usage:
#   kestro-build-real-tex.sh KESTRO_BUILD DOCUMENT_DIR
# Exit 77 (skipped) when a tool of the road is missing.
set -u
exe=$1 documents=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-real-tex-XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir "$work/wrap"
for tool in platex pbibtex mendex dvipdfmx; do
    real=$(command -v "$tool") || { echo "skipped: $tool not installed"; exit 77; }
    printf '#!/bin/sh\necho %s >> "%s/runs"\nexec "%s" "$@"\n' "$tool" "$work" "$real" >"$work/wrap/$tool"
    chmod +x "$work/wrap/$tool"
done
export PATH="$work/wrap:$PATH"
status=0

# build NAME SOURCE EXPECTED_STATUS EXPECTED_RUNS OPTION...: builds SOURCE
# as NAME.tex; EXPECTED_RUNS is a pattern of the tools' names in order.
build() {
    name=$1 source=$2 want=$3 runs=$4 dir=$work/$1
    shift 4
    mkdir "$dir" && cp "$documents/$source" "$dir/$name.tex" && cp "$documents/refs.bib" "$dir/" || exit 1
    : >"$work/runs"
    (cd "$dir" && setsid "$exe" --yes --paper a4 "$@" "$name.tex" </dev/null >out.txt 2>err.txt)
    got=$?
    ran=$(tr '\n' ' ' <"$work/runs")
    [ "$got" -eq "$want" ] || fail "exit status $got: $(cat "$dir/err.txt")"
    case "$ran" in $runs) ;; *) fail "ran: $ran" ;; esac
}
fail() { echo "FAILED: $name: $*"; status=1; }
# The final log holds no LaTeX warning and asks for no run (font notes may remain).
resolved() {
    grep -q 'Output written' "$dir/$name.log" || fail "no output"
    grep -q -e 'LaTeX Warning' -e 'Rerun' "$dir/$name.log" && fail "unresolved: $(grep -e Warning -e Rerun "$dir/$name.log")"
}

# The first run reports changed labels and writes a new toc: run B, which
# leaves the toc as it was.
build toc toc.tex 0 "platex platex dvipdfmx " --tex
resolved
# Each paper size's page box in points, the B sizes JIS ones (not TeX Live's).
command -v pdfinfo >/dev/null || fail "no pdfinfo (poppler-utils) to read the page boxes"
for paper in a3=841.89x1190.55 a4=595.28x841.89 a5=419.53x595.28 a6=297.64x419.53 landscape=841.89x595.28 \
             b3=1031.81x1459.84 b4=728.5x1031.81 b5=515.91x728.5 b6=362.83x515.91 b5var=515.91x651.97 \
             letter=612x792 legal=612x1008 ledger=1224x792 tabloid=792x1224; do
    rm -f "$dir/toc.pdf"
    (cd "$dir" && "$exe" --pdf --no-view --paper "${paper%=*}" toc.tex </dev/null >/dev/null 2>&1) || fail "${paper%=*} not converted"
    box=$(pdfinfo "$dir/toc.pdf" 2>&1 | sed -n 's/^Page size: *\([0-9.]*\) x \([0-9.]*\) pts.*/\1x\2/p')
    [ "$box" = "${paper#*=}" ] || fail "${paper%=*} gave the page box ${box:-none}"
done
build bib bib.tex 0 "platex pbibtex platex platex dvipdfmx " --tex
resolved
grep -q '奥村晴彦' "$dir/bib.bbl" || fail "the bibliography lacks its entry"
build index index.tex 0 "platex mendex platex dvipdfmx " --tex --index-options ""
grep -q '索引' "$dir/index.ind" || fail "the index lacks its entry"
# Everything, in a document with a Japanese name, in one click: at most two
# closing runs; the paper size and the first success are stored, no history.
build 論文 all.tex 0 "platex pbibtex platex mendex platex platex*dvipdfmx " --one-click --no-view
resolved
head -c 5 "$dir/論文.pdf" | grep -q '%PDF-' || fail "no PDF made"
grep -q '^PdfSizeNo=1' "$dir/Kestro.ini" || fail "paper size not stored"
grep -q '^Acr=1' "$dir/Kestro.ini" || fail "first success not recorded"
grep -q '^\[RFL\]' "$dir/Kestro.ini" && fail "history written"
# An error stops the compiler at once, and the last lines say where it is.
build error error.tex 1 "platex " --tex
grep -q '^error.tex:4: Undefined control sequence.$' "$dir/err.txt" || fail "no error line: $(cat "$dir/err.txt")"
# hyperref asks in its own words for the run that writes the outline,
# which sits in a compressed object stream of the PDF: qpdf reads it.
build hyperref hyperref.tex 0 "platex platex dvipdfmx " --tex
grep -q 'Warning:' "$dir/hyperref.log" && fail "warnings in the final log"
if command -v qpdf >/dev/null; then
    qpdf --json --json-key=outlines "$dir/hyperref.pdf" | grep -q '"title": "Introduction"' || fail "no outline"
fi
[ $status -eq 0 ] && echo passed
exit $status
