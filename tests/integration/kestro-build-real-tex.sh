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
for tool in platex pbibtex mendex dvipdfmx uplatex upbibtex; do
    real=$(command -v "$tool") || { echo "skipped: $tool not installed"; exit 77; }
    printf '#!/bin/sh\necho %s >> "%s/runs"\nexec "%s" "$@"\n' "$tool" "$work" "$real" >"$work/wrap/$tool"
    chmod +x "$work/wrap/$tool"
done
export PATH="$work/wrap:$PATH"
status=0 typed=

# build NAME SOURCE EXPECTED_STATUS EXPECTED_RUNS OPTION...: builds SOURCE
# as NAME.tex (again, when it is there), on a terminal where $typed is typed
# when it is set; EXPECTED_RUNS is a pattern of the tools' names in order.
build() {
    name=$1 source=$2 want=$3 runs=$4 dir=$work/$1
    shift 4
    [ -e "$dir/$name.tex" ] || { mkdir -p "$dir" && cp "$documents/$source" "$dir/$name.tex" &&
        cp "$documents/refs.bib" "$dir/"; } || exit 1
    : >"$work/runs"
    if [ -n "$typed" ]; then
        (cd "$dir" && echo "$typed" | script -qec "'$exe' --yes --paper a4 $* '$name.tex'" /dev/null >err.txt 2>&1)
    else
        (cd "$dir" && setsid "$exe" --yes --paper a4 "$@" "$name.tex" </dev/null >out.txt 2>err.txt)
    fi
    got=$? typed=
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
# RerunOnChange: an edit that moves no citation or index entry leaves the
# .bbl and the .ind as the compiler read them, and one compiler run settles.
sed -i 's/この文書は/改めて、この文書は/' "$dir/$name.tex"
build 論文 all.tex 0 "platex pbibtex mendex dvipdfmx " --tex --rerun-on-change
resolved
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
# upLaTeX, chosen on the terminal in place of a compiler that is gone, brings
# upbibtex from beside it, which reads the 𠮷 (outside JIS X 0208) of the
# database; with TeXOpt=-synctex=1, synctex finds a line's page in the PDF.
mkdir "$work/upref" && printf '[Settings]\nTeX=%s/gone/uplatex\nTeXOpt=-synctex=1\n' "$work" >"$work/upref/Kestro.ini"
typed=$work/wrap/uplatex
build upref uplatex.tex 0 "uplatex upbibtex uplatex uplatex dvipdfmx " --tex
pdftotext "$dir/upref.pdf" - | grep -q '𠮷田' || fail "no 𠮷 in the PDF (or no pdftotext of poppler-utils)"
(cd "$dir" && synctex view -i 4:1:upref.tex -o upref.pdf) | grep -qx 'Page:2' || fail "synctex finds no page 2"
[ $status -eq 0 ] && echo passed
exit $status
