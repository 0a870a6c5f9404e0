// The conventions that differ between the Windows bar and the Linux bar.
//
// The core is compiled once per platform but keeps both sets of rules
// available at run time, so the tests on any machine can check the Windows
// behaviour (CP932, backslashes, ".exe") as well as the Linux one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/CodePage.h"
#include "text/PlatformTexts.h"

namespace kestro {

enum class OsFamily { Windows, Posix };

struct PlatformRules {
    OsFamily os;
    CodePage codePage;

    static PlatformRules windows();
    static PlatformRules posix();
    // The rules of the platform this binary was built for.
    static PlatformRules native();

    bool isWindows() const { return os == OsFamily::Windows; }

    // True when a tool command already names a particular executable, so no
    // directory search, selection or derivation applies: on Windows the
    // command contains ".exe" (case-sensitive), on Linux it contains "/".
    bool namesExecutable(std::string_view command) const;

    bool contains(std::string_view text, std::string_view needle) const {
        return containsText(codePage, text, needle);
    }

    // Path separators this platform splits on ("\\/" on Windows, "/" on Linux).
    std::string_view pathSeparators() const;
    // The separator this platform writes between a directory and a name.
    char preferredSeparator() const;

    // The directory part of a path, up to and including its last separator;
    // empty when the path has none.
    std::string directoryOf(std::string_view path) const;

    // Default tool and editor names.
    std::string defaultTexCommand() const { return "platex"; }
    std::string defaultBibtexCommand() const;  // "jbibtex" / "pbibtex"
    std::string defaultIndexCommand() const { return "mendex"; }
    std::string defaultDvipdfCommand() const { return "dvipdfmx"; }
    std::string defaultEditorPath() const;  // Notepad / "xdg-open"
    // The bibliography tool's name for a compiler, where a name is derived
    // from it: "upbibtex" for an upLaTeX ("uplatex" in the command), the
    // Japanese tool ("jbibtex" on Windows, "pbibtex" on Linux) for another
    // pLaTeX ("platex"), else "bibtex".
    std::string bibtexNameFor(std::string_view texCommand) const;

    // The console programs the command prompt button tries, in order. On
    // Windows the one fixed cmd.exe; on Linux the desktop's terminal
    // emulator, then $TERMINAL (passed in, may be empty), then xterm.
    std::vector<std::string> commandPromptPrograms(std::string_view terminalVariable) const;

    // The texts that name this platform's programs, files and controls.
    const PlatformTexts& texts() const { return isWindows() ? kWindowsTexts : kLinuxTexts; }

    // History entries are matched without case on Windows, with case on Linux.
    bool historyIgnoresCase() const { return isWindows(); }

    // The longest path, in bytes, that the system's file functions take:
    // MAX_PATH less its terminating zero on Windows; Linux has no such
    // limit for the bar's paths.
    std::size_t longestPath() const { return isWindows() ? 259 : std::string_view::npos; }

    // The settings file path for a working directory: plain concatenation
    // with "\\Kestro.ini" or "/Kestro.ini"; empty when cwd is empty.
    std::string settingsPathFor(std::string_view workingDirectory) const;
};

}  // namespace kestro
