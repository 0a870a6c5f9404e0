#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "build/ProgramLookup.h"

namespace kestro {
namespace {

using Paths = std::vector<std::string>;

const std::string kHyo = "\x95\x5C";  // 表: its second byte is a backslash
const std::string k259 = "C:\\" + std::string(259 - 3 - 1 - 6, 'f');  // + "\platex" is 259 bytes
const std::string k260 = "C:\\" + std::string(259 - 3 - 6, 'g');      // + "\platex" is 260 bytes
const Paths kUntried = {"<not checked>"};

// One lookup per row: the startable files, the program and PATH, what is
// found and (unless kUntried) every candidate asked about, in order.
struct Lookup {
    const char* name;
    bool windows;
    std::set<std::string> files;
    std::string program;
    std::string path;
    std::optional<std::string> found;
    Paths tried = kUntried;
};

const Lookup kLookups[] = {
    // --- Windows ---
    {"current directory before PATH", true, {".\\platex.exe", "C:\\tex\\bin\\platex.exe"}, "platex", "C:\\tex\\bin",
     ".\\platex.exe"},
    {"then PATH, each extension in turn", true, {"C:\\tex\\bin\\platex.exe"}, "platex", "C:\\tex\\bin",
     "C:\\tex\\bin\\platex.exe",
     {".\\platex.com", ".\\platex.exe", ".\\platex.bat", ".\\platex.cmd", "C:\\tex\\bin\\platex.com",
      "C:\\tex\\bin\\platex.exe"}},
    {"extensions in fixed order", true, {".\\tool.cmd", ".\\tool.bat", ".\\tool.exe"}, "tool", "", ".\\tool.exe"},
    {"PATH entries in order", true, {"C:\\second\\platex.exe", "C:\\third\\platex.com"}, "platex",
     "C:\\first;C:\\second\\;C:\\third", "C:\\second\\platex.exe"},
    {"empty PATH entries name no directory", true, {"C:\\bin\\platex.exe", "\\platex.exe"}, "platex", ";C:\\bin;",
     "C:\\bin\\platex.exe"},
    {"nothing anywhere: four extensions in three places", true, {}, "platex", "C:\\a;C:\\b", std::nullopt,
     {".\\platex.com", ".\\platex.exe", ".\\platex.bat", ".\\platex.cmd", "C:\\a\\platex.com", "C:\\a\\platex.exe",
      "C:\\a\\platex.bat", "C:\\a\\platex.cmd", "C:\\b\\platex.com", "C:\\b\\platex.exe", "C:\\b\\platex.bat",
      "C:\\b\\platex.cmd"}},
    {"a name with a dot is taken as written", true, {".\\platex.exe"}, "platex.exe", "C:\\bin", ".\\platex.exe",
     {".\\platex.exe"}},
    {"so my.tool gets no extension", true, {".\\my.tool.exe", "C:\\bin\\my.tool.exe"}, "my.tool", "C:\\bin",
     std::nullopt, {".\\my.tool", "C:\\bin\\my.tool"}},
    {"a dot in a directory is not in the name", true, {"c:\\w32tex.d\\bin\\platex.exe"}, "c:\\w32tex.d\\bin\\platex",
     "", "c:\\w32tex.d\\bin\\platex.exe"},
    {"a directory is not looked up in the current one", true, {".\\bin\\platex.exe", "bin\\platex.exe"},
     "bin\\platex", "", "bin\\platex.exe"},
    {"a drive is a directory", true, {".\\C:platex.exe", "C:platex.exe"}, "C:platex", "", "C:platex.exe"},
    {"a forward slash is not searched on PATH", true, {"C:\\tex\\bin\\platex.exe"}, "bin/platex", "C:\\tex",
     std::nullopt, {"bin/platex.com", "bin/platex.exe", "bin/platex.bat", "bin/platex.cmd"}},
    {"backslashes only: tried below each PATH entry", true, {"C:\\tex\\bin\\platex.exe"}, "bin\\platex", "C:\\tex",
     "C:\\tex\\bin\\platex.exe"},
    {"a candidate of 259 bytes is tried", true, {k259 + "\\platex.exe"}, "platex", k259, k259 + "\\platex.exe"},
    {"one of 260 ends the search", true, {"C:\\later\\platex.exe"}, "platex", k260 + ";C:\\later", std::nullopt,
     {".\\platex.com", ".\\platex.exe", ".\\platex.bat", ".\\platex.cmd"}},
    {"a trail byte is no separator", true, {".\\" + kHyo + ".exe"}, kHyo, "", ".\\" + kHyo + ".exe"},
    {"nor a final backslash of a PATH entry", true, {"C:\\" + kHyo + "\\platex.exe"}, "platex", "C:\\" + kHyo,
     "C:\\" + kHyo + "\\platex.exe"},
    {"an empty program finds nothing", true, {".\\.com", ".\\.exe", "C:\\bin\\.exe"}, "", "C:\\bin", std::nullopt,
     {}},
    // --- Linux ---
    {"a bare name is searched on PATH only", false, {"platex", "./platex", "/usr/local/bin/platex", "/usr/bin/platex"},
     "platex", "/usr/local/bin:/usr/bin", "/usr/local/bin/platex", {"/usr/local/bin/platex"}},
    {"PATH entries in order", false, {"/usr/bin/platex"}, "platex", "/opt/tex/bin/:/usr/bin", "/usr/bin/platex",
     {"/opt/tex/bin/platex", "/usr/bin/platex"}},
    {"empty and relative entries are skipped", false, {"platex", "./platex", "bin/platex", "/usr/bin/platex"},
     "platex", ":.:bin::/usr/bin:", "/usr/bin/platex", {"/usr/bin/platex"}},
    {"an empty PATH finds nothing", false, {"platex", "./platex"}, "platex", "", std::nullopt, {}},
    {"a slash is used as written", false, {"./platex", "/usr/bin/platex"}, "./platex", "/usr/bin", "./platex",
     {"./platex"}},
    {"even when missing", false, {"/usr/bin/platex"}, "/opt/tex/platex", "/usr/bin", std::nullopt,
     {"/opt/tex/platex"}},
    {"no extensions are added", false, {"/usr/bin/platex.exe"}, "platex", "/usr/bin", std::nullopt},
    {"Japanese names", false, {"/usr/bin/論文ツール"}, "論文ツール", "/usr/bin", "/usr/bin/論文ツール"},
};

TEST(ProgramLookup, EveryRowFindsWhatItShouldAfterTheCandidatesItShould) {
    for (const Lookup& row : kLookups) {
        SCOPED_TRACE(std::string(row.windows ? "Windows: " : "Linux: ") + row.name);
        Paths tried;
        const LookupEnvironment environment{[&](const std::string& candidate) {
                                                tried.push_back(candidate);
                                                return row.files.count(candidate) > 0;
                                            },
                                            row.path};
        const PlatformRules rules = row.windows ? PlatformRules::windows() : PlatformRules::posix();
        EXPECT_EQ(lookupProgram(rules, row.program, environment), row.found);
        if (row.tried != kUntried) {
            EXPECT_EQ(tried, row.tried);
        }
    }
}

}  // namespace
}  // namespace kestro
