#include "pipeline/ProgramLookup.h"

#include <array>

namespace kestro {

namespace {

// Longest path a Windows process can be started from (MAX_PATH less the
// terminating zero).
constexpr std::size_t kWindowsMaxPathBytes = 259;

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

std::optional<std::string> lookupWindows(const PlatformRules& rules, std::string_view program,
                                         const LookupEnvironment& env) {
    const CodePage cp = rules.codePage;
    std::string_view name = program;
    std::string firstCandidate;
    const std::size_t lastSeparator = findLastOf(cp, program, "\\/");
    const std::size_t firstColon = findFirstOf(cp, program, ":");
    if (lastSeparator != std::string_view::npos) {
        name = program.substr(lastSeparator + 1);
        firstCandidate = std::string(program);
    } else if (firstColon != std::string_view::npos) {
        name = program.substr(firstColon + 1);
        firstCandidate = std::string(program);
    } else {
        // A bare name: the current directory (the document's folder) first.
        firstCandidate = ".\\" + std::string(program);
    }
    const bool nameHasDot = containsText(cp, name, ".");

    if (auto found = findWithExtensions(firstCandidate, nameHasDot, env)) return found;
    if (containsText(cp, program, "/")) return std::nullopt;

    std::optional<std::string> result;
    forEachPathEntry(env.pathVariable, ';', [&](std::string_view entry) {
        // An empty entry (a PATH ending in ";" is common) names no directory;
        // completed with a backslash it would point at the drive's root.
        if (entry.empty()) return true;
        std::string candidate(entry);
        // The test for a final backslash must not be fooled by a trail byte.
        const std::size_t lastBackslash = findLastOf(cp, candidate, "\\");
        if (lastBackslash != candidate.size() - 1) candidate += '\\';
        candidate += program;
        if (candidate.size() > kWindowsMaxPathBytes) return false;
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
