// The INI text format with the observable semantics of the Win32
// private-profile functions, as pure functions on the file's bytes.
//
// Reading: a line "[name]" opens a section; "key=value" holds a value.
// Section and key names are compared without ASCII case. Blanks around
// names and values are dropped, and one pair of enclosing double (or single)
// quotes around a value. The first matching section and the first matching
// key within it win. A UTF-8 byte order mark, CR LF or LF line ends, and a
// missing final line end are all accepted.
//
// Writing changes only the line of the key (or adds the key, or the section
// and the key, at the end); every other line is kept byte for byte.
//
// Names are compared character by character in the given code page, so the
// trail byte of a double-byte character is never case-folded. The overloads
// without a code page use the platform's own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace kestro {

// The stored value as a profile read gives it (blanks and one pair of
// enclosing quotes dropped, not yet cut to the read buffer), or nothing when
// the section or key is absent.
std::optional<std::string> iniLookup(std::string_view text, std::string_view section,
                                     std::string_view key);
std::optional<std::string> iniLookup(CodePage cp, std::string_view text,
                                     std::string_view section, std::string_view key);

// The text after writing `value` under section/key, or after deleting the
// key when value is nothing. Writing the value the key already holds, or
// deleting an absent key, gives the text back unchanged; so does a name or
// value that iniCanStore refuses.
std::string iniWrite(std::string_view text, std::string_view section, std::string_view key,
                     const std::optional<std::string_view>& value);
std::string iniWrite(CodePage cp, std::string_view text, std::string_view section,
                     std::string_view key, const std::optional<std::string_view>& value);

// False for what the line format cannot hold and read back as written: an
// empty section or key name, a line break in any of the three, a key name
// with "=" or starting with "[". Storing such text would split the line and
// could plant keys of its own in the file.
bool iniCanStore(std::string_view section, std::string_view key,
                 const std::optional<std::string_view>& value);
// The same, and in the given code page a section name whose last character
// is cut short is refused too: its lead byte would take the closing "]" as
// its second byte, and the section would never be found again.
bool iniCanStore(CodePage cp, std::string_view section, std::string_view key,
                 const std::optional<std::string_view>& value);

// GetPrivateProfileIntA's reading of a value, as Wine implements it: only
// the first 29 characters count; optional leading blanks or control
// characters, an optional sign, then decimal digits, or "0x", "0o" or "0b"
// (lower case only) and digits of base 16, 8 or 2; 0 when no digit follows.
// Values beyond 32 bits wrap as Windows does.
int profileIntFromText(std::string_view value);

// The at-most-4095-byte value a 4096-byte read buffer gives back. In CP932
// the cut is at 4095 bytes exactly, as on Windows, even inside a character;
// in UTF-8 it falls on the last character boundary within 4095 bytes.
std::string limitProfileString(CodePage cp, std::string_view value);

}  // namespace kestro
