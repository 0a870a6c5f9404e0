#include "pipeline/CompilerInputs.h"

#include <algorithm>
#include <set>

namespace kestro {

namespace {

constexpr std::size_t npos = std::string_view::npos;

std::string withoutDotSlash(std::string_view name) {
    while (name.starts_with("./")) name.remove_prefix(2);
    return std::string(name);
}

// The text after `prefix` on each line that begins with it.
std::vector<std::string> linesAfter(std::string_view text, std::string_view prefix) {
    std::vector<std::string> found;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.starts_with(prefix)) found.push_back(withoutDotSlash(line.substr(prefix.size())));
        start = end + 1;
    }
    return found;
}

// The files of the log's "\openoutN = `name'." lines (a name with blanks
// in double quotes).
std::vector<std::string> openedForWriting(std::string_view log) {
    std::vector<std::string> names;
    for (const std::string& rest : linesAfter(log, "\\openout")) {
        const std::size_t open = rest.find("= `");
        const std::size_t close = rest.rfind("'.");
        if (open == npos || close == npos || close < open + 3) continue;
        std::string name = rest.substr(open + 3, close - open - 3);
        name.erase(std::remove(name.begin(), name.end(), '"'), name.end());
        names.push_back(withoutDotSlash(name));
    }
    return names;
}

}  // namespace

std::vector<std::string> compilerInputs(CodePage cp, std::string_view log, const std::optional<std::string>& recorder,
                                        const std::string& stem, const LogFileExists& exists) {
    std::vector<std::string> read, written = openedForWriting(log);
    if (recorder) {
        read = linesAfter(*recorder, "INPUT ");
        const std::vector<std::string> outputs = linesAfter(*recorder, "OUTPUT ");
        written.insert(written.end(), outputs.begin(), outputs.end());
    } else {
        LogScan scan(cp, log, exists);
        scan.run([](std::size_t) { return false; });
        for (const std::string& name : scan.openedFiles()) read.push_back(withoutDotSlash(name));
    }
    written.push_back(stem + ".bbl");
    written.push_back(stem + ".ind");

    // A recorder file names each input many times; the written ones are no
    // inputs to watch.
    std::set<std::string> seen(written.begin(), written.end());
    std::vector<std::string> inputs;
    for (const std::string& name : read) {
        if (seen.insert(name).second) inputs.push_back(name);
    }
    return inputs;
}

}  // namespace kestro
