#include "text/PlatformRules.h"

namespace kestro {

PlatformRules PlatformRules::windows() {
    return PlatformRules{OsFamily::Windows, CodePage::Cp932};
}

PlatformRules PlatformRules::posix() {
    return PlatformRules{OsFamily::Posix, CodePage::Utf8};
}

PlatformRules PlatformRules::native() {
#ifdef _WIN32
    return windows();
#else
    return posix();
#endif
}

bool PlatformRules::namesExecutable(std::string_view command) const {
    return contains(command, isWindows() ? ".exe" : "/");
}

std::string_view PlatformRules::pathSeparators() const {
    return isWindows() ? "\\/" : "/";
}

char PlatformRules::preferredSeparator() const {
    return isWindows() ? '\\' : '/';
}

std::string PlatformRules::directoryOf(std::string_view path) const {
    const std::size_t last = findLastOf(codePage, path, pathSeparators());
    if (last == std::string_view::npos) return {};
    return std::string(path.substr(0, last + 1));
}

std::string PlatformRules::defaultBibtexCommand() const {
    // TeX distributions on Linux ship the Japanese bibliography tool under
    // this name only.
    return isWindows() ? "jbibtex" : "pbibtex";
}

std::string PlatformRules::bibtexNameFor(std::string_view texCommand) const {
    // "uplatex" holds "platex": it is asked first. upLaTeX writes Unicode
    // that the pLaTeX tool cannot read beyond JIS X 0208 (𠮷, say).
    if (contains(texCommand, "uplatex")) return "upbibtex";
    return contains(texCommand, "platex") ? defaultBibtexCommand() : "bibtex";
}

std::string PlatformRules::defaultEditorPath() const {
    // On Linux the desktop's own choice of program for a .tex file.
    return isWindows() ? "c:\\WINDOWS\\NOTEPAD.exe" : "xdg-open";
}

std::vector<std::string> PlatformRules::commandPromptPrograms(std::string_view terminalVariable) const {
    if (isWindows()) return {"c:\\windows\\system32\\cmd.exe"};
    std::vector<std::string> programs{"x-terminal-emulator"};
    if (!terminalVariable.empty()) programs.emplace_back(terminalVariable);
    programs.emplace_back("xterm");
    return programs;
}

std::string PlatformRules::settingsPathFor(std::string_view workingDirectory) const {
    if (workingDirectory.empty()) return {};
    // Plain concatenation, also for a root directory: the doubled separator
    // of "C:\\Kestro.ini" or "//Kestro.ini" still names the same file.
    std::string path(workingDirectory);
    path += isWindows() ? "\\Kestro.ini" : "/Kestro.ini";
    return path;
}

}  // namespace kestro
