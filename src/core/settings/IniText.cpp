#include "settings/IniText.h"

#include <cstdint>
#include <vector>

#include "text/PlatformRules.h"

namespace kestro {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kReadBufferBytes = 4096;
// GetPrivateProfileIntA reads the value into a buffer of this many characters.
constexpr std::size_t kIntBufferCharacters = 30;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Blanks are all below 0x40, so they are never the trail byte of a
// double-byte character and trimming needs no code page.
std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

enum class LineKind { Section, Key, Other };

struct Line {
    std::size_t begin = 0;       // first byte of the line's text
    std::size_t contentEnd = 0;  // end of the text, before CR LF or LF
    std::size_t end = 0;         // after the line end (== contentEnd on an unterminated last line)
    LineKind kind = LineKind::Other;
    std::string_view name;       // section or key name, trimmed
    std::string_view value;      // key value, trimmed, quotes still on
};

Line classify(CodePage cp, std::string_view text, std::size_t begin, std::size_t contentEnd,
              std::size_t end) {
    Line line;
    line.begin = begin;
    line.contentEnd = contentEnd;
    line.end = end;
    const std::string_view content = trimmed(text.substr(begin, contentEnd - begin));
    if (!content.empty() && content.front() == '[') {
        // A "[" without a closing "]" opens nothing and holds no key.
        const std::size_t close = findLastOf(cp, content, "]");
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = trimmed(content.substr(1, close - 1));
        }
        return line;
    }
    // "=" is below 0x40, never a trail byte: the first one ends the name.
    const std::size_t equals = content.find('=');
    if (equals != std::string_view::npos) {
        line.kind = LineKind::Key;
        line.name = trimmed(content.substr(0, equals));
        line.value = trimmed(content.substr(equals + 1));
    }
    return line;
}

std::vector<Line> splitLines(CodePage cp, std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (pos < text.size()) {
        const std::size_t newline = text.find('\n', pos);
        std::size_t contentEnd = newline == std::string_view::npos ? text.size() : newline;
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        if (newline != std::string_view::npos && contentEnd > pos && text[contentEnd - 1] == '\r') {
            --contentEnd;
        }
        lines.push_back(classify(cp, text, pos, contentEnd, end));
        pos = end;
    }
    return lines;
}

bool sameName(CodePage cp, std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldAsciiCase(cp, a) == foldAsciiCase(cp, b);
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// New lines follow the file's own line ends; a file without any gets the
// Windows ones, so the file stays readable by the Windows bar.
std::string_view lineEndOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos && (newline == 0 || text[newline - 1] != '\r')) {
        return "\n";
    }
    return "\r\n";
}

// Where the first section of that name sits, and in it the first line of
// the key and the last key line of the section.
struct Place {
    std::optional<std::size_t> section;
    std::optional<std::size_t> key;
    std::size_t lastKeyLine = 0;
};

Place findPlace(CodePage cp, const std::vector<Line>& lines, std::string_view section,
                std::string_view key) {
    Place place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == LineKind::Section) {
            if (place.section) break;
            if (sameName(cp, line.name, section)) {
                place.section = i;
                place.lastKeyLine = i;
            }
        } else if (place.section && line.kind == LineKind::Key) {
            place.lastKeyLine = i;
            if (!place.key && sameName(cp, line.name, key)) place.key = i;
        }
    }
    return place;
}

// The key's own line: deleted, or given the new value.
void rewriteKeyLine(std::string& result, const Line& line, const std::optional<std::string_view>& value) {
    if (!value) {
        result.erase(line.begin, line.end - line.begin);
    } else if (line.value != *value) {
        // The file's spelling of the key stays, as a Windows rewrite keeps it.
        std::string replacement(line.name);
        replacement += '=';
        replacement += *value;
        result.replace(line.begin, line.contentEnd - line.begin, replacement);
    }
}

// A new key line after the last key line of its section (`anchor`).
void addToSection(std::string& result, const Line& anchor, const std::string& keyLine, std::string_view lineEnd) {
    std::string insertion;
    if (anchor.end == anchor.contentEnd) insertion += lineEnd;  // unterminated last line
    insertion += keyLine;
    result.insert(anchor.end, insertion);
}

// A new section at the end of the text, holding the key line.
void addSection(std::string& result, std::string_view sectionName, const std::string& keyLine,
                std::string_view lineEnd) {
    const bool onlyBom = result == kUtf8Bom;
    if (!result.empty() && !onlyBom && result.back() != '\n') result += lineEnd;
    result += '[';
    result += sectionName;
    result += ']';
    result += lineEnd;
    result += keyLine;
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::optional<std::string> iniLookup(std::string_view text, std::string_view section,
                                     std::string_view key) {
    return iniLookup(PlatformRules::native().codePage, text, section, key);
}

std::optional<std::string> iniLookup(CodePage cp, std::string_view text,
                                     std::string_view section, std::string_view key) {
    const std::vector<Line> lines = splitLines(cp, text);
    const Place place = findPlace(cp, lines, trimmed(section), trimmed(key));
    if (!place.key) return std::nullopt;
    return std::string(withoutQuotes(lines[*place.key].value));
}

bool iniCanStore(std::string_view section, std::string_view key,
                 const std::optional<std::string_view>& value) {
    const std::string_view sectionName = trimmed(section);
    const std::string_view keyName = trimmed(key);
    if (sectionName.empty() || keyName.empty()) return false;
    if (hasLineBreak(section) || hasLineBreak(key)) return false;
    if (keyName.find('=') != std::string_view::npos || keyName.front() == '[') return false;
    return !value || !hasLineBreak(*value);
}

bool iniCanStore(CodePage cp, std::string_view section, std::string_view key,
                 const std::optional<std::string_view>& value) {
    if (!iniCanStore(section, key, value)) return false;
    std::string line(1, '[');
    line += trimmed(section);
    line += ']';
    return findLastOf(cp, line, "]") == line.size() - 1;
}

std::string iniWrite(std::string_view text, std::string_view section, std::string_view key,
                     const std::optional<std::string_view>& value) {
    return iniWrite(PlatformRules::native().codePage, text, section, key, value);
}

std::string iniWrite(CodePage cp, std::string_view text, std::string_view section,
                     std::string_view key, const std::optional<std::string_view>& value) {
    std::string result(text);
    if (!iniCanStore(cp, section, key, value)) return result;
    const std::string_view sectionName = trimmed(section);
    const std::string_view keyName = trimmed(key);
    const std::string_view lineEnd = lineEndOf(text);

    const std::vector<Line> lines = splitLines(cp, text);
    const Place place = findPlace(cp, lines, sectionName, keyName);
    if (place.key) {
        rewriteKeyLine(result, lines[*place.key], value);
    } else if (value) {
        std::string keyLine(keyName);
        keyLine += '=';
        keyLine += *value;
        keyLine += lineEnd;
        if (place.section) {
            addToSection(result, lines[place.lastKeyLine], keyLine, lineEnd);
        } else {
            addSection(result, sectionName, keyLine, lineEnd);
        }
    }
    return result;
}

int profileIntFromText(std::string_view value) {
    // Windows reads the value through a buffer of 30 characters; the digits
    // of a number always come before the first non-ASCII character, so a
    // cut by bytes gives the same number.
    value = value.substr(0, kIntBufferCharacters - 1);
    std::size_t pos = 0;
    // Every control character counts as a blank here, not only ' ' and tab.
    while (pos < value.size() && static_cast<unsigned char>(value[pos]) <= ' ') ++pos;
    bool negative = false;
    if (pos < value.size() && (value[pos] == '+' || value[pos] == '-')) {
        negative = value[pos] == '-';
        ++pos;
    }
    // Only the lower-case prefixes switch the base: "0X1f" reads as 0.
    std::uint32_t base = 10;
    if (pos + 1 < value.size() && value[pos] == '0') {
        const char prefix = value[pos + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) pos += 2;
    }
    // Unsigned arithmetic wraps modulo 2^32, which is what Windows gives for
    // numbers that do not fit.
    std::uint32_t number = 0;
    for (; pos < value.size(); ++pos) {
        const char c = value[pos];
        std::uint32_t digit = base;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'z') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'Z') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        }
        if (digit >= base) break;
        number = number * base + digit;
    }
    if (negative) number = 0u - number;
    return static_cast<int>(number);
}

std::string limitProfileString(CodePage cp, std::string_view value) {
    // Windows cuts at the byte, even inside a character; on Linux a tool
    // must never get half a UTF-8 character.
    if (cp == CodePage::Utf8) return cutToBytes(cp, value, kReadBufferBytes - 1);
    return std::string(value.substr(0, kReadBufferBytes - 1));
}

}  // namespace kestro
