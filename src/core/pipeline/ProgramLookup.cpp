#include "pipeline/ProgramLookup.h"

#include <array>

namespace kestro {

namespace {

constexpr std::array<std::string_view, 4> kWindowsExtensions = {".com", ".exe", ".bat", ".cmd"};

// Calls visit for each entry of a PATH-like list, in order, empty ones included.
template <typename Visit>
void forEachPathEntry(std::string_view list, char separator, Visit visit) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = list.find(separator, start);
        if (!visit(list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start))) {
            return;
        }
        if (end == std::string_view::npos) return;
        start = end + 1;
    }
}

// A file name with a dot is tried as written; one without gets the
// executable extensions in turn.
std::optional<std::string> findWithExtensions(const std::string& candidate, bool nameHasDot,
                                              const LookupEnvironment& env) {
    if (nameHasDot) {
        if (env.isStartable(candidate)) return candidate;
        return std::nullopt;
    }
    for (const std::string_view extension : kWindowsExtensions) {
        std::string withExtension = candidate + std::string(extension);
        if (env.isStartable(withExtension)) return withExtension;
    }
    return std::nullopt;
}

// A drive with its root (C:\ or C:/) or a network path (\\server):
// a directory that does not depend on the current one. An ASCII letter is
// never a lead byte, so the colon after it starts a character.
bool isAbsoluteWindowsPath(std::string_view path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return true;
    const bool letter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path[1] == ':' && separator(path[2]);
}

std::optional<std::string> lookupWindows(const PlatformRules& rules, std::string_view program,
                                         const LookupEnvironment& env) {
    const CodePage cp = rules.codePage;
    std::string_view name = program;
    const std::size_t lastSeparator = findLastOf(cp, program, "\\/");
    const std::size_t firstColon = findFirstOf(cp, program, ":");
    if (lastSeparator != std::string_view::npos) {
        name = program.substr(lastSeparator + 1);
    } else if (firstColon != std::string_view::npos) {
        name = program.substr(firstColon + 1);
    }
    const bool nameHasDot = containsText(cp, name, ".");

    // A bare name is never looked for in the current directory: it is the
    // document's folder, and a platex.exe or platex.bat that came with a
    // downloaded document must not run when TeX is pressed.
    const bool bare = name.size() == program.size();
    if (!bare) {
        if (auto found = findWithExtensions(std::string(program), nameHasDot, env)) return found;
    }
    if (containsText(cp, program, "/")) return std::nullopt;

    std::optional<std::string> result;
    forEachPathEntry(env.pathVariable, ';', [&](std::string_view entry) {
        // An empty entry (a PATH ending in ";" is common) or a relative one
        // (bin, ., \tools on the current drive) would point into the
        // document's folder or its drive.
        if (!isAbsoluteWindowsPath(entry)) return true;
        std::string candidate(entry);
        // The test for a final backslash must not be fooled by a trail byte.
        const std::size_t lastBackslash = findLastOf(cp, candidate, "\\");
        if (lastBackslash != candidate.size() - 1) candidate += '\\';
        candidate += program;
        if (candidate.size() > rules.longestPath()) return false;
        result = findWithExtensions(candidate, nameHasDot, env);
        return !result;
    });
    return result;
}

std::optional<std::string> lookupPosix(const PlatformRules& rules, std::string_view program,
                                       const LookupEnvironment& env) {
    if (rules.namesExecutable(program)) {
        std::string asWritten(program);
        if (env.isStartable(asWritten)) return asWritten;
        return std::nullopt;
    }
    // The current directory is never searched: it is the document's folder,
    // and a program of the same name that came with a downloaded document
    // must not start. Relative entries would point into it as well.
    std::optional<std::string> result;
    forEachPathEntry(env.pathVariable, ':', [&](std::string_view entry) {
        if (entry.empty() || entry.front() != '/') return true;
        std::string candidate(entry);
        if (candidate.back() != '/') candidate += '/';
        candidate += program;
        if (env.isStartable(candidate)) result = std::move(candidate);
        return !result;
    });
    return result;
}

}  // namespace

std::optional<std::string> lookupProgram(const PlatformRules& rules, std::string_view program,
                                         const LookupEnvironment& env) {
    // An empty program text names no file; without this guard it would be
    // completed to ".\.com" and the like, or to a PATH directory itself.
    if (program.empty()) return std::nullopt;
    return rules.isWindows() ? lookupWindows(rules, program, env) : lookupPosix(rules, program, env);
}

}  // namespace kestro
