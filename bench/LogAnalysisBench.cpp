// The searches the compile makes in a compiler log, on a 100 MB log that
// holds none of the texts searched for, so every search reads it whole.
#include <benchmark/benchmark.h>

#include <string>

#include "pipeline/LogAnalysis.h"

namespace kestro {
namespace {

constexpr std::size_t kLogBytes = 100u * 1024u * 1024u;

// Lines of a long compile: boxes, pages, font notes, a prompt-like line and
// Japanese text (in the code page's own bytes), with near misses of every
// text the analysis looks for.
std::string makeLog(CodePage cp) {
    const std::string japanese = cp == CodePage::Utf8 ? "日本語の文書を組版しています。表示能力ソフト\n"
                                                      : "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\x91"
                                                        "\x95\x5c\x8e\xa6\x94\x5c\x97\xcd\x83\x5c\x83\x74\x83\x67\n";
    const std::string lines[] = {
        "Overfull \\hbox (1.23pt too wide) in paragraph at lines 120--121\n",
        "[12] [13] (./chapter2.tex\n",
        "LaTeX Font Warning: Font shape `JY1/mc/m/it' undefined\n",
        "(Font)              using `JY1/mc/m/n' instead on input line 42.\n",
        "No file other.bbl.\n",
        "?  x label(s) \\bibdat\n",
        "Package: rerunfilecheck 2022-07-10 v1.10 Rerun checks for auxiliary files (HO)\n",
        "Package rerunfilecheck Info: File `paper.out' has not changed.\n",
        "Underfull \\hbox (badness 10000) in paragraph at lines 7--9\n",
        japanese,
    };
    std::string log;
    log.reserve(kLogBytes + 256);
    while (log.size() < kLogBytes) {
        for (const std::string& line : lines) log += line;
    }
    return log;
}

void analyse(benchmark::State& state, CodePage cp) {
    const std::string log = makeLog(cp);
    for (auto _ : state) {
        // The six searches of one compile, in its order.
        bool found = isUserStop(cp, log);
        found |= reportsMissingBbl(cp, log, "paper");
        found |= auxNamesBibdata(cp, log);
        found |= logHasLatexWarning(cp, log);
        found |= logHasLabelChange(cp, log);
        found |= logAsksForRerun(cp, log);
        benchmark::DoNotOptimize(found);
        if (found) state.SkipWithError("the synthetic log matched a search");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(log.size()) * 6);
}

void BM_LogAnalysisUtf8(benchmark::State& state) { analyse(state, CodePage::Utf8); }
void BM_LogAnalysisCp932(benchmark::State& state) { analyse(state, CodePage::Cp932); }

BENCHMARK(BM_LogAnalysisUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogAnalysisCp932)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestro
