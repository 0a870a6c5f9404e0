#!/usr/bin/env bash
# Compares the time to a finished PDF of kestro-build (as the bar always
# builds, and with RerunOnChange=1), latexmk and "ptex2pdf -l" on the
# project's own Japanese documents (bench/documents/), from clean, again
# unchanged and after a one-word edit of the document body, and prints a
# markdown table: median wall
# time, compiler runs, whether the final log is settled (no re-run request,
# no undefined reference, no missing table of contents, bibliography or
# index), and the ratio to latexmk. It also reports kestro-build's own
# overhead: its wall time less the time its tools ran.
#
# Every driver runs the same tools through stand-ins on PATH (ToolTimer.cpp)
# that count and time each platex, pbibtex, mendex and dvipdfmx run.
#
# Usage: bench/run-bench.sh [--runs N] [--output FILE]
#   KESTRO_BUILD       the kestro-build to measure (default build/src/cli/kestro-build)
#   BENCH_DOCUMENTS    documents to build (default: plain toc references bibliography index all
#                      hyperref long)
#   BENCH_PTEX2PDF_ALL set to 1 to run ptex2pdf on every document, not only
#                      where one compiler run can finish it (plain)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
kestro_build=${KESTRO_BUILD:-$root/build/src/cli/kestro-build}
documents=${BENCH_DOCUMENTS:-plain toc references bibliography index all hyperref long}
runs=5
output=""
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --output) output=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--output FILE]" >&2; exit 2 ;;
  esac
done

for tool in platex pbibtex mendex dvipdfmx latexmk ptex2pdf c++; do
  command -v "$tool" >/dev/null || { echo "run-bench: $tool is missing" >&2; exit 1; }
done
if [ ! -x "$kestro_build" ]; then
  echo "run-bench: no kestro-build at $kestro_build; build it (cmake --build build --target kestro-build) or set KESTRO_BUILD" >&2
  exit 1
fi
kestro_build=$(cd "$(dirname "$kestro_build")" && pwd)/$(basename "$kestro_build")

work=$(mktemp -d "${TMPDIR:-/tmp}/kestro-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# The stand-ins for the tools, first on PATH for every driver alike.
c++ -O2 -std=c++17 -static -o "$work/tool-timer" "$here/ToolTimer.cpp" 2>/dev/null ||
  c++ -O2 -std=c++17 -o "$work/tool-timer" "$here/ToolTimer.cpp"
mkdir -p "$work/wrap" "$work/home" "$work/src"
for tool in platex pbibtex mendex dvipdfmx; do ln -s "$work/tool-timer" "$work/wrap/$tool"; done
export KESTRO_BENCH_REAL_PATH=$PATH
export KESTRO_BENCH_LOG=$work/tools.log
export PATH=$work/wrap:$PATH
# No personal latexmkrc or TeX settings take part.
export HOME=$work/home

cat > "$work/latexmkrc" <<'RC'
$latex = 'platex %O %S';
$bibtex = 'pbibtex %O %B';
$makeindex = 'mendex %O -o %D %S';
$dvipdf = 'dvipdfmx %O -o %D %S';
$pdf_mode = 3;
RC

cp "$here"/documents/*.tex "$here"/documents/refs.bib "$work/src/"
"$here/documents/make-long.sh" "$work/src/long.tex"

# kestro-onchange is kestro-build on a Kestro.ini with RerunOnChange=1.
tools_for() {
  if [ "$1" = plain ] || [ "${BENCH_PTEX2PDF_ALL:-0}" = 1 ]; then
    echo "kestro-build kestro-onchange latexmk ptex2pdf"
  else
    echo "kestro-build kestro-onchange latexmk"
  fi
}

microseconds() { local t=${1/./}; echo $((10#$t)); }

clean_outputs() {
  local dir=$1 doc=$2
  rm -f "$dir/$doc".{aux,toc,log,dvi,pdf,bbl,blg,idx,ind,ilg,out,fls,fdb_latexmk,lof,lot}
}

# Settled: the PDF exists and the final log asks for nothing more.
settled() {
  local dir=$1 doc=$2
  [ -f "$dir/$doc.pdf" ] && [ -f "$dir/$doc.log" ] || { echo no; return; }
  if grep -aqE "Rerun to get|Rerun to correct|[Rr]erun LaTeX|has changed\. Rerun|Label\(s\) may have changed|There were undefined references|(Citation|Reference) .* undefined|No file $doc\.(toc|bbl|ind)" "$dir/$doc.log"; then
    echo no
  else
    echo yes
  fi
}

# One build: appends "tool doc mode wall-us platex-runs tool-us settled status
# pages tool-runs".
build_once() {
  local tool=$1 doc=$2 mode=$3
  local dir=$work/run/$tool/$doc
  : > "$KESTRO_BENCH_LOG"
  local status=0 start end
  start=$EPOCHREALTIME
  case $tool in
    kestro-build | kestro-onchange) (cd "$dir" && "$kestro_build" --one-click --yes --paper a4 --no-view "$doc.tex") ;;
    latexmk) (cd "$dir" && latexmk -r "$work/latexmkrc" "$doc.tex") ;;
    ptex2pdf) (cd "$dir" && ptex2pdf -l "$doc.tex") ;;
  esac </dev/null >"$dir/driver.out" 2>&1 || status=$?
  end=$EPOCHREALTIME
  local wall=$(( $(microseconds "$end") - $(microseconds "$start") ))
  local compiles tool_runs tool_time pages
  compiles=$(grep -c '^platex ' "$KESTRO_BENCH_LOG" || true)
  tool_runs=$(wc -l < "$KESTRO_BENCH_LOG")
  tool_time=$(awk '{ s += $3 - $2 } END { printf "%d", s / 1000 }' "$KESTRO_BENCH_LOG")
  pages=$(grep -aoE 'Output written on [^ ]+ \([0-9]+ page' "$dir/$doc.log" 2>/dev/null | grep -oE '[0-9]+ page' | grep -oE '[0-9]+' || echo 0)
  echo "$tool $doc $mode $wall $compiles $tool_time $(settled "$dir" "$doc") $status $pages $tool_runs" >> "$work/results"
}

# The edit a writer makes most: one word more at the start of the first line
# of body text (the first line after \begin{document} that begins with a
# Japanese character), leaving labels, citations and index entries alone.
edit_one_word() {
  LC_ALL=C awk 'body && !done && /^[^\t -~]/ { $0 = "改めて" $0; done = 1 }
                /\\begin\{document\}/ { body = 1 }
                { print }
                END { if (!done) exit 1 }' "$1" > "$1.edited" || {
    echo "run-bench: no line of body text to edit in $1" >&2; exit 1; }
  mv "$1.edited" "$1"
}

echo "Building ${documents// /, } with $runs runs each..." >&2
for ((run = 1; run <= runs; run++)); do
  for doc in $documents; do
    for tool in $(tools_for "$doc"); do
      dir=$work/run/$tool/$doc
      if [ ! -d "$dir" ]; then
        mkdir -p "$dir"
        cp "$work/src/refs.bib" "$dir/"
        # The bar's settings for this document: no index style of its own
        # (mendex's default, as for latexmk) and no index options dialog.
        printf '[Settings]\r\nMkIdxOpt=\r\nMkIdxNvr=1\r\n' > "$dir/Kestro.ini"
        if [ "$tool" = kestro-onchange ]; then printf 'RerunOnChange=1\r\n' >> "$dir/Kestro.ini"; fi
      fi
      cp "$work/src/$doc.tex" "$dir/"
      clean_outputs "$dir" "$doc"
      build_once "$tool" "$doc" clean
      build_once "$tool" "$doc" unchanged
      edit_one_word "$dir/$doc.tex"
      build_once "$tool" "$doc" edited
    done
  done
  echo "  run $run of $runs done" >&2
done

failures=$(awk '$8 != 0' "$work/results")
if [ -n "$failures" ]; then
  echo "run-bench: some builds failed (tool doc mode ... status):" >&2
  echo "$failures" >&2
fi

# The median of a blank-separated list of numbers, shared by both tables.
awk_median='
    function median(list,   n, a, i, j, t) {
      n = split(list, a, " ")
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] + 0 < a[i] + 0) { t = a[i]; a[i] = a[j]; a[j] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
'

summary() {
  echo "| Document | Pages | Build | Tool | Wall time (s) | Compiler runs | Settled | Ratio to latexmk |"
  echo "|---|---:|---|---|---:|---:|---|---:|"
  awk -v documents="$documents" "$awk_median"'
    {
      key = $2 SUBSEP $3 SUBSEP $1
      wall[key] = wall[key] " " $4
      runs[key] = runs[key] " " $5
      count[key]++
      if ($7 == "yes") good[key]++
      if ($9 > pages[$2]) pages[$2] = $9
      seen[key] = 1
    }
    END {
      split(documents, docs, " ")
      split("clean unchanged edited", modes, " ")
      split("kestro-build kestro-onchange latexmk ptex2pdf", tools, " ")
      shown["kestro-onchange"] = "kestro-build, RerunOnChange=1"
      for (d = 1; d in docs; d++) for (m = 1; m <= 3; m++) {
        base = docs[d] SUBSEP modes[m] SUBSEP "latexmk"
        for (t = 1; t <= 4; t++) {
          key = docs[d] SUBSEP modes[m] SUBSEP tools[t]
          if (!(key in seen)) continue
          w = median(wall[key]) / 1e6
          lo = 99; hi = 0; n = split(runs[key], r, " ")
          for (i = 1; i <= n; i++) { if (r[i] < lo) lo = r[i]; if (r[i] > hi) hi = r[i] }
          compiles = lo == hi ? lo : lo "–" hi
          ok = good[key] + 0
          settledText = ok == count[key] ? "yes" : (ok == 0 ? "no" : ok "/" count[key])
          ratio = (base in seen) ? sprintf("%.2f", median(wall[key]) / median(wall[base])) : "—"
          name = tools[t] in shown ? shown[tools[t]] : tools[t]
          printf "| %s | %d | %s | %s | %.2f | %s | %s | %s |\n", docs[d], pages[docs[d]], modes[m], name, w, compiles, settledText, ratio
        }
      }
    }' "$work/results"
  echo
  echo "kestro-build's own overhead: its wall time less the time its tools ran (each"
  echo "measured by its stand-in from start to exit), median per road:"
  echo
  echo "| Document | Build | Tool runs | Overhead (ms) |"
  echo "|---|---|---:|---:|"
  awk -v documents="$documents" "$awk_median"'
    $1 == "kestro-build" {
      o[$2 SUBSEP $3] = o[$2 SUBSEP $3] " " ($4 - $6) / 1000
      n[$2 SUBSEP $3] = n[$2 SUBSEP $3] " " $10
    }
    END {
      split(documents, docs, " ")
      for (d = 1; d in docs; d++) for (m = 1; m <= 3; m++) {
        mode = m == 1 ? "clean" : m == 2 ? "unchanged" : "edited"
        key = docs[d] SUBSEP mode
        if (key in o) printf "| %s | %s | %s | %.1f |\n", docs[d], mode, median(n[key]), median(o[key])
      }
    }' "$work/results"
}

machine() {
  echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores, $(free -h | awk '/^Mem:/ { print $2 }') memory;"
  echo "$(platex --version | head -1); $(latexmk -v | grep -o 'Version [0-9.]*' | head -1 | sed 's/^/latexmk /'); $(ptex2pdf -v 2>&1 | grep -o 'version [0-9.]*' | head -1 | sed 's/\.$//; s/^/ptex2pdf /')."
  echo "Each figure is the median of $runs runs; \"clean\" starts without any output file, \"unchanged\" builds again at once,"
  echo "\"edited\" builds once more after a one-word edit of the document body."
}

{
  machine
  echo
  summary
} | tee "${output:-/dev/null}"
