#!/usr/bin/env bash
# Writes long.tex: a Japanese document of about 200 pages (56 sections) with a table of
# contents, cross-references, citations of refs.bib and an index, for the
# build comparison of bench/run-bench.sh.
# Usage: make-long.sh OUTPUT.tex [SECTIONS]
set -euo pipefail
out=${1:?usage: make-long.sh OUTPUT.tex [SECTIONS]}
sections=${2:-56}

paragraph='日本語の文書を組むときは、和文と欧文の間の空白、禁則処理、行末の句読点の扱いなど、多くの規則に従います。表示、ソース、能力のように、シフト JIS で第二バイトが 0x5C になる文字も普通に現れます。組版の規則は文献に詳しく書かれていますが、実際の文書ではその都度確かめる必要があります。'
keys=(knuth84 lamport94 okumura ptex)
terms=('くはん@組版' 'きんそく@禁則' 'くとうてん@句読点' 'わぶん@和文' 'おうぶん@欧文' 'もじ@文字')

{
  echo '\documentclass[a4paper]{jarticle}'
  echo '\usepackage{makeidx}'
  echo '\makeindex'
  echo '\begin{document}'
  echo '\title{長い文書}\author{計測用}\date{}\maketitle'
  echo '\tableofcontents'
  for ((s = 1; s <= sections; s++)); do
    echo "\\section{第 $s 節}\\label{sec:$s}"
    if ((s > 1)); then echo "前の第~\\ref{sec:$((s - 1))} 節（\\pageref{sec:$((s - 1))} ページ）に続きます。"; fi
    if ((s < sections)); then echo "次は第~\\ref{sec:$((s + 1))} 節です。"; fi
    for ((u = 1; u <= 3; u++)); do
      echo "\\subsection{項 $s.$u}\\label{sub:$s:$u}"
      for ((p = 1; p <= 4; p++)); do
        echo "$paragraph"
        echo "$paragraph\\index{${terms[$(((s + u + p) % ${#terms[@]}))]}}"
        echo "詳しくは \\cite{${keys[$(((s + p) % ${#keys[@]}))]}} を見てください。"
        echo
      done
      echo "\\begin{equation} x_{$s,$u} = \\sum_{k=1}^{$u} k^{$s} \\label{eq:$s:$u} \\end{equation}"
      echo "式~(\\ref{eq:$s:$u}) を使います\\index{しき@式}。"
    done
  done
  echo '\bibliographystyle{plain}'
  echo '\bibliography{refs}'
  echo '\printindex'
  echo '\end{document}'
} > "$out"
