// Reads and writes of Kestro.ini: the pure INI functions on the file's text,
// and the five settings operations through the whole Linux stack
// (SettingsFile over IniProfile over PosixTextFileStore) on a real file.
// Every read goes to the file, and every changing write replaces it through
// a temporary file, fsync and a rename.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "PosixTextFileStore.h"
#include "settings/IniProfile.h"
#include "settings/IniText.h"
#include "settings/SettingsFile.h"

namespace kestro {
namespace {

using bench::realisticSettings;

void IniLookupFirstKey(benchmark::State& state) {
    const std::string text = realisticSettings();
    for (auto _ : state) benchmark::DoNotOptimize(iniLookup(CodePage::Utf8, text, "Settings", "PdfNShow"));
}
BENCHMARK(IniLookupFirstKey);

void IniLookupLastHistoryEntry(benchmark::State& state) {
    const std::string text = realisticSettings();
    for (auto _ : state) benchmark::DoNotOptimize(iniLookup(CodePage::Utf8, text, "RFL", "File15"));
}
BENCHMARK(IniLookupLastHistoryEntry);

void IniLookupAbsentKey(benchmark::State& state) {
    const std::string text = realisticSettings();
    for (auto _ : state) benchmark::DoNotOptimize(iniLookup(CodePage::Utf8, text, "Settings", "Missing"));
}
BENCHMARK(IniLookupAbsentKey);

void IniWriteChangedValue(benchmark::State& state) {
    const std::string text = realisticSettings();
    const std::string values[] = {"3", "4"};
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(iniWrite(CodePage::Utf8, text, "Settings", "PdfSizeNo", values[i ^= 1]));
    }
}
BENCHMARK(IniWriteChangedValue);

void IniWriteNewKey(benchmark::State& state) {
    const std::string text = realisticSettings();
    for (auto _ : state) {
        benchmark::DoNotOptimize(iniWrite(CodePage::Utf8, text, "Editor", "Options", std::string_view("--new-window")));
    }
}
BENCHMARK(IniWriteNewKey);

// The settings operations on a real Kestro.ini in a scratch directory.
struct RealSettings {
    RealSettings() : path(directory.file("Kestro.ini")), settings(profile, path) {
        bench::writeFile(path, realisticSettings());
    }
    bench::ScratchDirectory directory;
    std::string path;
    PosixTextFileStore store;
    IniProfile profile{store};
    SettingsFile settings;
};

void ReadSettingInt(benchmark::State& state) {
    RealSettings real;
    for (auto _ : state) benchmark::DoNotOptimize(real.settings.readSettingInt("Settings", "PdfSizeNo", 1));
}
BENCHMARK(ReadSettingInt);

void ReadSettingString(benchmark::State& state) {
    RealSettings real;
    for (auto _ : state) benchmark::DoNotOptimize(real.settings.readSettingString("RFL", "File15", ""));
}
BENCHMARK(ReadSettingString);

void WriteSettingInt(benchmark::State& state) {
    RealSettings real;
    int value = 1;
    for (auto _ : state) real.settings.writeSettingInt("Settings", "PdfSizeNo", value = 3 - value);
}
BENCHMARK(WriteSettingInt)->Unit(benchmark::kMicrosecond);

void WriteSettingString(benchmark::State& state) {
    RealSettings real;
    const std::string tools[] = {"/usr/bin/platex", "/opt/tex/bin/platex"};
    int i = 0;
    for (auto _ : state) real.settings.writeSettingString("Settings", "TeX", tools[i ^= 1]);
}
BENCHMARK(WriteSettingString)->Unit(benchmark::kMicrosecond);

// A write that stores what the file already holds leaves the file alone.
void WriteSettingUnchanged(benchmark::State& state) {
    RealSettings real;
    for (auto _ : state) real.settings.writeSettingInt("Settings", "Acr", 1);
}
BENCHMARK(WriteSettingUnchanged)->Unit(benchmark::kMicrosecond);

void DeleteSetting(benchmark::State& state) {
    RealSettings real;
    for (auto _ : state) {
        state.PauseTiming();
        real.settings.writeSettingString("Settings", "Bib", "/usr/bin/pbibtex");
        state.ResumeTiming();
        real.settings.deleteSetting("Settings", "Bib");
    }
}
BENCHMARK(DeleteSetting)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestro
