#include "pipeline/CommandLine.h"

namespace kestro {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool needsQuotes(std::string_view word) {
    return word.empty() || word.find_first_of(" \t\"") != std::string_view::npos;
}

// `word` in double quotes, read back whole by the C runtime.
std::string enclose(CodePage cp, std::string_view word) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (std::size_t pos = 0; pos < word.size();) {
        // A double-byte character is copied whole: in CP932 its second byte
        // may be 0x5C, which the runtime does not take for a backslash.
        const std::size_t length = characterLength(cp, word, pos);
        const char c = word[pos];
        if (length == 1 && c == '\\') {
            ++backslashes;
            ++pos;
            continue;
        }
        if (length == 1 && c == '"') {
            // 2n+1 backslashes before a quote read back as n and a literal quote.
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted.append(word.substr(pos, length));
        pos += length;
    }
    // The closing quote follows: 2n backslashes read back as n.
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

}  // namespace

std::string quoteWord(CodePage cp, std::string_view word) {
    return needsQuotes(word) ? enclose(cp, word) : std::string(word);
}

std::string joinCommandLine(CodePage cp, std::string_view program, const std::vector<CommandPart>& parts) {
    std::string line = quoteWord(cp, program);
    for (const CommandPart& part : parts) {
        line += ' ';
        line += part.singleWord ? quoteWord(cp, part.text) : part.text;
    }
    return line;
}

bool isBatchFile(CodePage cp, std::string_view executable) {
    // Neither a dot nor a blank is ever the second byte of a character.
    const std::size_t end = executable.find_last_not_of(". ");
    if (end == std::string_view::npos || end < 3) return false;
    const std::string extension = foldAsciiCase(cp, executable.substr(end - 3, 4));
    return extension == ".bat" || extension == ".cmd";
}

std::vector<std::string> batchWords(CodePage cp, std::string_view executable, const std::vector<CommandPart>& parts) {
    std::vector<std::string> words{std::string(executable)};
    for (const CommandPart& part : parts) {
        if (part.singleWord) {
            words.push_back(part.text);
        } else {
            for (std::string& word : splitCommandLine(cp, part.text)) words.push_back(std::move(word));
        }
    }
    return words;
}

std::size_t findUnsafeForBatch(CodePage cp, std::string_view word) {
    return findFirstOf(cp, word, "%!\"\r\n");
}

std::string joinBatchCommandLine(CodePage cp, const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        // Backslashes before the closing quote are doubled, so a tool that
        // the batch file hands %* on to reads the word as it was.
        line += enclose(cp, word);
    }
    return line;
}

// The rules of the C runtime since 2008 (the one Windows tools of today are
// built with): inside a quoted region, "" gives a literal quote and the region
// goes on. Older runtimes ended the region there; quoteWord never writes ""
// inside a word, so the words it quotes read the same under both.
std::vector<std::string> splitCommandLine(CodePage cp, std::string_view commandLine) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    const std::size_t size = commandLine.size();
    while (true) {
        while (pos < size && isBlank(commandLine[pos])) ++pos;
        if (pos == size) break;

        std::string word;
        bool inQuotes = false;
        while (true) {
            std::size_t backslashes = 0;
            while (pos < size && commandLine[pos] == '\\') {
                ++backslashes;
                ++pos;
            }
            bool copyCharacter = true;
            if (pos < size && commandLine[pos] == '"') {
                if (backslashes % 2 == 0) {
                    if (inQuotes && pos + 1 < size && commandLine[pos + 1] == '"') {
                        ++pos;  // "" inside quotes: the second one is copied
                    } else {
                        copyCharacter = false;
                        inQuotes = !inQuotes;
                    }
                }
                backslashes /= 2;
            }
            word.append(backslashes, '\\');
            if (pos == size || (!inQuotes && isBlank(commandLine[pos]))) break;
            // A double-byte character goes whole, its second byte never read
            // as a backslash (CP932).
            const std::size_t length = characterLength(cp, commandLine, pos);
            if (copyCharacter) word.append(commandLine.substr(pos, length));
            pos += length;
        }
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace kestro
