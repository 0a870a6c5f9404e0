#include "CommandTail.h"

namespace kestro {

std::string commandLineTail(std::string_view commandLine) {
    std::size_t pos = 0;
    bool inQuotes = false;
    // Bytes are unsigned here: CP932 lead and trail bytes are above the
    // blank and belong to the word; no trail byte is a quote.
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(commandLine[i]); };
    while (pos < commandLine.size() && (byte(pos) > ' ' || (byte(pos) != 0 && inQuotes))) {
        if (commandLine[pos] == '"') inQuotes = !inQuotes;
        ++pos;
    }
    while (pos < commandLine.size() && byte(pos) != 0 && byte(pos) <= ' ') ++pos;
    std::string_view tail = commandLine.substr(pos);
    const std::size_t end = tail.find('\0');
    return std::string(end == std::string_view::npos ? tail : tail.substr(0, end));
}

}  // namespace kestro
