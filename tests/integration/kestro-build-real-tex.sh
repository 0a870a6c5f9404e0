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
# What reads the results: the PDF's text and the SyncTeX file.
for checker in pdftotext synctex; do
    command -v "$checker" >/dev/null || { echo "FAILED: $checker is missing (scripts/install-deps.sh test)"; exit 1; }
done
export PATH="$work/wrap:$PATH"
status=0 settings= typed=

# build NAME SOURCE EXPECTED_STATUS EXPECTED_RUNS OPTION...: builds SOURCE
# as NAME.tex in a directory of its own, with $settings (when set) as its
# Kestro.ini.
build() {
    name=$1 source=$2 dir=$work/$1
    shift 2
    mkdir "$dir" && cp "$documents/$source" "$dir/$name.tex" && cp "$documents/refs.bib" "$dir/" || exit 1
    [ -z "$settings" ] || printf '%s\n' "$settings" >"$dir/Kestro.ini"
    settings=
    again "$@"
}
# again EXPECTED_STATUS EXPECTED_RUNS OPTION...: builds NAME.tex (again),
# on a terminal where $typed (when set) is typed; EXPECTED_RUNS is a
# pattern of the tools' names in order.
again() {
    want=$1 runs=$2
    shift 2
    : >"$work/runs"
    if [ -n "$typed" ]; then
        (cd "$dir" && printf '%s\n' "$typed" |
            script -qec "'$exe' --yes --paper a4 $* '$name.tex'" /dev/null >out.txt 2>err.txt)
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
# With RerunOnChange, an edit that moves no citation or index entry leaves
# the .bbl and the .ind as the compiler read them: one compiler run.
sed -i 's/この文書は/改めて、この文書は/' "$dir/$name.tex"
again 0 "platex pbibtex mendex dvipdfmx " --tex --rerun-on-change
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
# upLaTeX chosen on the terminal, where the stored compiler is gone, brings
# upbibtex from beside it, which reads the Unicode upLaTeX writes (𠮷 of
# the database lies outside JIS X 0208). With TeXOpt=-synctex=1 the SyncTeX
# file lies beside the PDF, and synctex finds the page of a line.
settings="[Settings]
TeX=$work/gone/uplatex
TeXOpt=-synctex=1"
typed=$work/wrap/uplatex
build upref uplatex.tex 0 "uplatex upbibtex uplatex uplatex dvipdfmx " --tex
grep -qx "Bib=$work/wrap/upbibtex" "$dir/Kestro.ini" || fail "no upbibtex: $(cat "$dir/Kestro.ini")"
pdftotext "$dir/upref.pdf" - | grep -q '𠮷田' || fail "𠮷 is not in the PDF"
[ -f "$dir/upref.synctex.gz" ] || fail "no SyncTeX file"
(cd "$dir" && synctex view -i 5:1:upref.tex -o upref.pdf) | grep -qx 'Page:2' || fail "synctex finds no page 2"
[ $status -eq 0 ] && echo passed
exit $status
