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
expect() { [ "$2" = "$3" ] || fail "$1: got [$2], wanted [$3]"; }
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
# startIn DIR ANSWER ARGUMENT...: kestro-build started in DIR, without a
# terminal (ANSWER empty) or on one where ANSWER is typed; its status in
# $got, its messages in DIR/err.txt.
startIn() {
    at=$1 answer=$2
    shift 2
    : >"$work/runs"
    if [ -z "$answer" ]; then
        (cd "$at" && setsid "$exe" --yes --paper a4 "$@" </dev/null >out.txt 2>err.txt)
    else
        printf '%s\n' "$answer" | (cd "$at" && script -qec "$exe --yes --paper a4 $* 2>err.txt" /dev/null >out.txt)
    fi
    got=$?
}
# TeX= names a wrapper that adds -file-line-error, or nothing.
fileLineError() {
    printf '#!/bin/sh\nexec platex -file-line-error "$@"\n' >"$work/wrap/fle-platex" && chmod +x "$work/wrap/fle-platex"
    printf '[Settings]\nTeX=%s\n' "$work/wrap/fle-platex" >"$1/Kestro.ini"
}

# The error line names the file TeX had open, a blank and parentheses in
# its name, in both of TeX's forms of an error.
name="names" dir=$work/names
mkdir -p "$dir/sub" && printf 'ok\n\\undefinedcs\n' >"$dir/sub/chap(1).tex" || exit 1
printf '\\documentclass{article}\\begin{document}\n\\input{sub/chap(1)}\n\\end{document}\n' >"$dir/my doc.tex"
for form in plain file-line-error; do
    [ $form = plain ] || fileLineError "$dir"
    startIn "$dir" "" "my doc.tex"
    grep -qx 'sub/chap(1).tex:2: Undefined control sequence.' "$dir/err.txt" || fail "$form: $(cat "$dir/err.txt")"
done
# x typed at TeX's prompt on the terminal, after a page went out: the road
# ends there, in both forms.
name="user stop" dir=$work/stop
mkdir "$dir" && printf '\\documentclass{article}\\begin{document}\nx\\newpage\n\\undefinedcs\n\\end{document}\n' >"$dir/stop.tex"
for form in plain file-line-error; do
    [ $form = plain ] || fileLineError "$dir"
    startIn "$dir" x --tex stop.tex
    expect "$form: runs" "$(tr '\n' ' ' <"$work/runs")" "platex "
    grep -q 'Output written on stop.dvi' "$dir/stop.log" || fail "$form: no page went out"
done
# Every LaTeX warning of the final log, a file outside the start directory
# by its absolute path; the road and its status as before.
name="warnings" dir=$work/warn/doc
mkdir -p "$dir" "$work/warn/shared" && printf '\\ref{alsonowhere}\n' >"$work/warn/shared/part.tex" || exit 1
printf '\\documentclass{jsarticle}\n\\begin{document}\nSee \\ref{nowhere} and \\cite{nobody}.\n\\input{../shared/part}\n\\end{document}\n' >"$dir/warnings.tex"
startIn "$dir" "" --tex warnings.tex
expect status $got 0
expect "warning lines" "$(grep 'warning:' "$dir/err.txt")" "warnings.tex:3: warning: Reference \`nowhere' on page 1 undefined on input line 3.
warnings.tex:3: warning: Citation \`nobody' on page 1 undefined on input line 3.
$(cd "$work/warn/shared" && pwd -P)/part.tex:1: warning: Reference \`alsonowhere' on page 1 undefined on input line 1.
warnings.tex: warning: There were undefined references."
# --watch on a document that \input's a chapter: a save of the chapter (an
# editor's rename), a burst of saves and a save during a build (while a
# slow TeX wrapper runs) each give one build more; the viewer is started
# after the first PDF only; SIGTERM ends the watch.
name="watch" dir=$work/watch
mkdir "$dir" && printf '\\documentclass{article}\\begin{document}\\input{chapter}\\end{document}\n' >"$dir/main.tex"
save() { printf '\\typeout{VERSION-%s}Text %s.\n' "$1" "$1" >"$dir/chapter.new" && mv "$dir/chapter.new" "$dir/chapter.tex"; }
builds() { grep -c '^kestro-build: built main.pdf in' "$dir/err.txt"; }
waitFor() { for i in $(seq 300); do [ -e "$1" ] && [ "$(builds)" -ge "$2" ] && return; sleep 0.1; done; fail "waited for $1 and build $2"; }
save 1
printf '#!/bin/sh\n[ -e slow ] && touch compiling && sleep 1\nexec platex "$@"\n' >"$work/wrap/slow-platex" && chmod +x "$work/wrap/slow-platex"
printf '[Settings]\nTeX=%s\n' "$work/wrap/slow-platex" >"$dir/Kestro.ini"
printf '#!/bin/sh\necho "$@" >> "%s/opened"\n' "$dir" >"$work/wrap/opener" && chmod +x "$work/wrap/opener"
(cd "$dir" && KESTRO_OPENER="$work/wrap/opener" exec setsid "$exe" --watch --one-click --yes --paper a4 main.tex </dev/null >out.txt 2>err.txt) &
watcher=$!
waitFor "$dir/opened" 1
save 2
waitFor "$dir/main.log" 2
grep -q VERSION-2 "$dir/main.log" || fail "the saved chapter was not compiled"
touch "$dir/main.tex" && sleep 0.05 && save 3
waitFor "$dir/main.log" 3
sleep 1
expect "builds after a burst" "$(builds)" 3
touch "$dir/slow" && save 4
waitFor "$dir/compiling" 3
save 5
waitFor "$dir/main.log" 5
sleep 1
expect builds "$(builds)" 5
grep -q VERSION-5 "$dir/main.log" || fail "the chapter saved during a build was not compiled"
expect "viewer starts" "$(cat "$dir/opened")" main.pdf
kill -TERM $watcher
wait $watcher
expect "status after SIGTERM" $? 143
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
