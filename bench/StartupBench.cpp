// The bar's start-up on a real Kestro.ini with sixteen history entries:
// BarWindow construction and initialise() (paper group, history, tool
// group, start-up document), through the Linux settings stack.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "PosixDesktop.h"
#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixTextFileStore.h"
#include "app/BarWindow.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro {
namespace {

void startUp(benchmark::State& state, const std::string& commandTail) {
    bench::ScratchDirectory directory;
    const std::string path = directory.file("Kestro.ini");
    bench::writeFile(path, bench::realisticSettings());
    PosixTextFileStore store;
    IniProfile profile(store);
    SettingsFile settings(profile, path);
    PosixFileSystem files;
    PosixProcesses processes;
    PosixDesktop desktop(processes);
    bench::SilentUi ui;
    Services services{PlatformRules::posix(), settings, files, processes, desktop, ui, "kestro"};
    for (auto _ : state) {
        BarWindow bar(services, commandTail);
        bar.initialise();
        benchmark::DoNotOptimize(bar.state().documentStem);
    }
}

void StartupFromHistory(benchmark::State& state) { startUp(state, ""); }
BENCHMARK(StartupFromHistory)->Unit(benchmark::kMicrosecond);

void StartupWithCommandLineDocument(benchmark::State& state) {
    startUp(state, "\"/home/hanako/文書/新しい論文.tex\"");
}
BENCHMARK(StartupWithCommandLineDocument)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestro
