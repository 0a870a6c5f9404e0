// Command lines of the tools.
//
// A tool's command line is the program text and each argument joined by
// single spaces. The program text and the document stem are quoted when they
// contain a blank, a tab or a double quote (with the backslash rules of the
// Windows C runtime), so each reaches the tool as exactly one word whatever
// its name holds; option texts are passed unquoted, so they split into words.
// Both directions walk whole characters of the code page: in CP932 the
// second byte of 表, ソ or 能 is 0x5C, and the Windows C runtime does not
// take it for a backslash.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/CodePage.h"

namespace kestro {

// One piece of a command line: a single word that must arrive whole, or a
// text of options that is meant to split into words.
struct CommandPart {
    std::string text;
    bool singleWord = true;
};

// The text of `word` as one command-line word: unchanged unless it is empty
// or holds a blank, tab or double quote; then enclosed in double quotes,
// with backslashes before a quote and at the end doubled and quotes escaped.
std::string quoteWord(CodePage cp, std::string_view word);

// Program text and parts joined by single spaces. An empty option text still
// adds its separating space (an empty single word is quoted as "").
std::string joinCommandLine(CodePage cp, std::string_view program, const std::vector<CommandPart>& parts);

// Windows starts a batch file through cmd.exe, which reads the whole
// command line as a command: outside double quotes & | < > ^ ( ) separate,
// pipe or redirect, and the first word is looked up anew, in the current
// directory first. True when `executable` is one: its name ends in ".bat"
// or ".cmd", in any case, once the dots and blanks that Windows drops from
// the end of a name are gone.
bool isBatchFile(CodePage cp, std::string_view executable);

// The words a batch file is started with: the file itself, then each single
// word and each word of an option text as the C runtime splits it.
std::vector<std::string> batchWords(CodePage cp, std::string_view executable, const std::vector<CommandPart>& parts);

// The first character of `word` that cmd.exe acts on even inside double
// quotes (% and !) or that would end or break the quotes (a double quote, a
// line break); npos when there is none.
std::size_t findUnsafeForBatch(CodePage cp, std::string_view word);

// Each word in double quotes, joined by single spaces: cmd.exe then takes
// & | < > ^ ( ) in them literally, and starts the very file named first.
std::string joinBatchCommandLine(CodePage cp, const std::vector<std::string>& words);

// Splits a command line into words by the rules of the Windows C runtime
// (blanks and tabs separate; double quotes group; 2n backslashes before a
// quote give n backslashes and a quote that groups, 2n+1 give n and a
// literal quote; "" inside a quoted word gives a literal quote).
std::vector<std::string> splitCommandLine(CodePage cp, std::string_view commandLine);

}  // namespace kestro
