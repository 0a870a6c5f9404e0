// The text after the program name on the process's command line.
#pragma once

#include <string>
#include <string_view>

namespace kestro {

// What the C runtime hands WinMain as its command line: the program name
// (a quoted part counts as one word, blanks inside it included) and the
// blanks after it are skipped; the rest is kept exactly, quotes and
// trailing blanks included.
std::string commandLineTail(std::string_view commandLine);

}  // namespace kestro
