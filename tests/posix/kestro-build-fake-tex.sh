#!/bin/sh
# kestro-build run as a program on fake TeX tools (shell scripts that note
# "name [arg]... @directory" in $work/runs), in a session of its own
# without a terminal, or on a pseudo-terminal standing in for the user's.
# Usage: kestro-build-fake-tex.sh KESTRO_BUILD
set -u
exe=$1
work=$(cd "$(mktemp -d "${TMPDIR:-/tmp}/kestro-build-XXXXXX")" && pwd -P) || exit 1
trap 'rm -rf "$work"' EXIT
bin=$work/bin doc=$work/work
export PATH="$bin:/usr/bin:/bin" LANG=C.UTF-8 KESTRO_OPENER="$bin/opener"
status=0
fail() { echo "FAILED: $case: $*"; status=1; }
expect() { [ "$2" = "$3" ] || fail "$1: got [$2], wanted [$3]"; }
setting() { tr -d '\r' <"$work/Kestro.ini" 2>/dev/null | sed -n "s/^$1=//p"; }
runs() { grep -c "^$1 " "$work/runs"; }

# tool NAME BODY: a fake tool that notes its run, then runs BODY with the
# last argument in $last.
tool() {
    printf '#!/bin/sh\nline=${0##*/}; for a; do line="$line [$a]"; done\nprintf "%%s @%%s\\n" "$line" "$(pwd -P)" >> "%s/runs"\nfor last; do :; done\n%s\nexit 0\n' \
        "$work" "$2" >"$bin/$1"
    chmod +x "$bin/$1"
}
# compiler SNIPPET: counts its runs in $n, writes the DVI, an empty aux file
# and a clean log, then runs SNIPPET.
compiler() {
    tool platex "n=\$((\$(cat '$work/count' 2>/dev/null || echo 0) + 1)); echo \$n > '$work/count'
printf dvi > \"\$last.dvi\"; : > \"\$last.aux\"; echo 'A fake TeX.' > \"\$last.log\"
$1"
}
# start CASE [KESTRO.INI]: a fresh document and tools.
start() {
    case=$1
    rm -rf "$bin" "$doc" "$work/runs" "$work/count" "$work/Kestro.ini" && mkdir "$bin" "$doc" || exit 1
    : >"$work/runs"
    echo '\documentclass{article}' >"$doc/paper.tex"
    [ $# -lt 2 ] || printf "$2" >"$work/Kestro.ini"
    compiler ""
    tool mendex 'printf ind > "$last.ind"'
    tool dvipdfmx 'printf pdf > "$last.pdf"'
    tool opener 'printf "%s\n" "$*" > opened.tmp; mv opened.tmp opened.txt'
}
# build ARGUMENT...: kestro-build in $work, with no terminal and a line on
# standard input; its status in $got.
build() {
    (cd "$work" && echo x | setsid timeout 60 "$exe" "$@" >"$work/err" 2>&1)
    got=$?
}

start "a wrong command line, a missing document or one that is no regular file"
mkfifo "$doc/fifo.tex" && ln -s gone "$doc/dangling.tex" && mkdir "$doc/dir.tex" || exit 1
for line in "" "--tex --pdf work/paper.tex" "work/missing.tex" "--yes work/fifo.tex" work/dir.tex work/dangling.tex; do
    build $line
    expect "status of [$line]" $got 2
done
grep -q "dangling.tex is a symbolic link to nothing" "$work/err" || fail "$(cat "$work/err")"
expect "runs" "$(cat "$work/runs")" ""
[ -e "$work/Kestro.ini" ] && fail "Kestro.ini written"

# The relative document is made absolute, the tools run beside it with an
# empty standard input, the paper dialog takes --paper and stores it in the
# starting directory's Kestro.ini, and the history is neither read nor written.
start "the TeX road" '[RFL]\nFile0=/elsewhere/old.tex\n'
compiler 'if read line; then printf got > stdin.txt; else printf empty > stdin.txt; fi'
build --tex --paper=B5 work/paper.tex
expect status $got 0
expect runs "$(cat "$work/runs")" "platex [paper] @$doc
dvipdfmx [-p] [182mm,257mm] [paper] @$doc"
expect "standard input" "$(cat "$doc/stdin.txt")" empty
expect "stored" "$(setting PdfSizeNo) $(setting Acr) $(setting File0) $(setting File1)" "7 1 /elsewhere/old.tex "

start "one click hands the PDF to the opener unless --no-view"
build --one-click --no-view "$doc/paper.tex"
sleep 0.2
[ -e "$doc/opened.txt" ] && fail "opened with --no-view"
build --one-click "$doc/paper.tex"
for i in 1 2 3 4 5 6 7 8 9 10; do [ -e "$doc/opened.txt" ] || sleep 0.2; done
expect "opened" "$(cat "$doc/opened.txt" 2>/dev/null)" paper.pdf

# Where a dialog is switched off, the command line's value holds for this
# run only; so does --tex-options, in place of TeXOpt, whose words reach
# every compiler run before the stem, and which the run's writes keep.
start "paper, index and compiler options for this run only" \
    '[Settings]\nPdfNeShow=1\nPdfSizeNo=10\nMkIdxNvr=1\nMkIdxOpt=-s my\nTeXOpt=-synctex=1  -file-line-error\n'
compiler '[ $n = 1 ] && printf x > "$last.idx"'
build --tex --paper a3 --index-options -g "$doc/paper.tex"
expect status $got 0
build --tex --tex-options=-kanji=sjis "$doc/paper.tex"
expect status $got 0
expect runs "$(cat "$work/runs")" "platex [-synctex=1] [-file-line-error] [paper] @$doc
mendex [-g] [paper] @$doc
platex [-synctex=1] [-file-line-error] [paper] @$doc
dvipdfmx [-p] [a3] [paper] @$doc
platex [-kanji=sjis] [paper] @$doc
dvipdfmx [-p] [letter] [paper] @$doc"
expect stored "$(setting PdfSizeNo) $(setting MkIdxOpt) $(setting Acr) $(setting TeXOpt)" "10 -s my 1 -synctex=1  -file-line-error"

# Where the index dialog shows, --index-options answers it and is stored;
# with --rerun-on-change an unchanged bibliography costs no compiler run;
# the final log's LaTeX warnings are listed as editors read them.
start "the index dialog, the on-change road and the warnings"
printf '(./paper.tex\nLaTeX Warning: Citation `k'"'"' on page 1 undefined on input line 3.\n\n)\n' >"$work/warn.log"
printf bbl >"$doc/paper.bbl"
compiler "[ \$n = 1 ] && printf x > \"\$last.idx\"; printf '%s\\n' '\\bibdata{refs}' > \"\$last.aux\"; cp '$work/warn.log' \"\$last.log\""
tool pbibtex 'printf bbl > "$last.bbl"'
build --tex --index-options -g --rerun-on-change work/paper.tex
expect runs "$(cut -d@ -f1 "$work/runs")" "platex [paper] 
pbibtex [paper] 
mendex [-g] [paper] 
platex [paper] 
dvipdfmx [paper] "
expect stored "$(setting MkIdxOpt)" "-g"
expect warning "$(grep warning: "$work/err")" "work/paper.tex:3: warning: Citation \`k' on page 1 undefined on input line 3."

# --watch builds again after a save during a build and after a save of a
# file the recorder names; a signal ends it.
start "watch"
: >"$doc/chap.tex"
compiler 'printf "INPUT ./chap.tex\n" > "$last.fls"; [ $n = 1 ] && echo % >> "$last.tex"'
(cd "$work" && exec setsid "$exe" --watch --tex work/paper.tex </dev/null >"$work/err" 2>&1) & watching=$!
count() { for i in $(seq 50); do [ "$(cat "$work/count" 2>/dev/null)" = "$1" ] && return 0; sleep 0.1; done; return 1; }
count 2 || fail "no build after the save during the first"
sleep 0.3 && echo % >>"$doc/chap.tex"
count 3 || fail "no build after the recorded input's save"
kill -TERM $watching; wait $watching

# --clean removes and names the road's files of the document's name; not
# the document named, the PDF (but --clean-all), other files, nor a
# directory, FIFO, link or read-only file of such a name.
start "clean"
(cd "$doc" && touch paper.aux paper.log paper.toc paper.dvi paper.bbl paper.synctex.gz paper.pdf refs.bib other.aux \
    paper.lot && chmod a-w paper.lot && mkdir paper.out && mkfifo paper.fls && ln -s paper.tex paper.idx) || exit 1
build --clean work/paper.log
[ -e "$doc/paper.log" ] && [ -e "$doc/paper.pdf" ] || fail "the document named or the PDF was removed"
build --clean work/paper.tex
expect "status and list" "$got $(grep ^removed "$work/err")" "0 removed work/paper.log"
build --clean-all work/paper.tex
expect left "$(ls "$doc" | tr '\n' ' ')" "other.aux paper.fls paper.idx paper.lot paper.out paper.tex refs.bib "
[ -e "$work/Kestro.ini" ] && fail "Kestro.ini written"

# SIGTERM and SIGHUP end the tool's whole tree (behind a wrapper script
# that does not exec: the compiler and what it started, which still get
# their grace after the wrapper has ended) and nothing outside it, not the
# editor whose process group kestro-build shares; the settings file stays
# whole.
gone() { for i in $(seq 50); do case "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" in ''|Z) return 0 ;; esac; sleep 0.1; done; return 1; }
for signal in TERM:15 HUP:1; do
    number=${signal#*:} signal=${signal%:*}
    start "SIG$signal ends the tool's tree and the run" "[Settings]\nPdfNeShow=1\nTeX=$bin/wrapper\n"
    compiler "trap 'sleep 0.3; printf got > signal.txt; exit 1' TERM HUP; sleep 30 & echo \$! > sleep.pid; wait"
    printf '#!/bin/sh\n"%s" "$@"\n' "$bin/platex" >"$bin/wrapper" && chmod +x "$bin/wrapper"
    setsid sh -c "cd '$work' || exit; trap 'echo got > editor.txt' TERM HUP
        '$exe' --tex '$doc/paper.tex' </dev/null >err 2>&1 & echo \$! > pid; wait \$!; echo \$? > status" &
    for i in $(seq 100); do [ -s "$doc/sleep.pid" ] || sleep 0.1; done
    kill -$signal "$(cat "$work/pid")"
    wait
    expect status "$(cat "$work/status")" $((128 + number))
    expect "the tool's signal" "$(cat "$doc/signal.txt" 2>/dev/null)" got
    gone "$(cat "$doc/sleep.pid")" || fail "the compiler's child outlived kestro-build"
    [ -e "$work/editor.txt" ] && fail "the editor got SIG$signal"
    expect "Kestro.ini" "$(cat "$work/Kestro.ini")" "$(printf '[Settings]\nPdfNeShow=1\nTeX=%s' "$bin/wrapper")"
done

# On the terminal: the viewer question, y (the retry fails again); the
# converter selection, y; a name that does not exist, a directory and a
# file that cannot be run, each asked again, then one that can.
start "questions and file names on the terminal"
tool dvipdfmx "exit 1"
tool mine ""
tool readme "" && chmod -x "$bin/readme"
printf 'y\ny\n/no/such/file\n%s\n%s\n%s\n' "$bin" "$bin/readme" "$bin/mine" |
    (cd "$work" && script -qec "'$exe' --tex '$doc/paper.tex'" /dev/null >"$work/err" 2>&1)
expect status $? 1
expect "converter runs" "$(runs dvipdfmx)" 2
for said in "/no/such/file が見つかりません。" "$bin はディレクトリです。" "$bin/readme は実行できません"; do
    grep -qF "$said" "$work/err" || fail "not said: $said"
done
expect "stored" "$(setting DviPdf)" "$bin/mine"

# Ctrl-C on the terminal reaches the tool, which has the terminal while it
# runs; a tool that it ends ends the road and kestro-build by SIGINT.
start "Ctrl-C ends the tool, the road and kestro-build"
compiler 'touch started.txt; sleep 30'
(for i in $(seq 100); do [ -e "$doc/started.txt" ] || sleep 0.1; done; printf '\003'; sleep 1) |
    (cd "$work" && script -qec "perl -e 'system @ARGV; print \"signal \", \$? & 127' '$exe' --tex '$doc/paper.tex'" \
        /dev/null >"$work/err" 2>&1)
grep -q 'signal 2' "$work/err" || fail "$(cat "$work/err")"
expect "converter runs" "$(runs dvipdfmx)" 0

[ $status -eq 0 ] && echo passed
exit $status
