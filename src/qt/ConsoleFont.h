// The console's face. Many Japanese fonts (IPAGothic among them) draw
// U+005C as a yen sign, as old Japanese character sets did, and TeX's
// backslashes then read ¥undefined; the console takes a monospaced face
// that draws a backslash and has Japanese glyphs, whatever the locale.
#pragma once

#include <QFont>

namespace kestro {

// The desktop's monospaced font where it draws a backslash and has Japanese
// glyphs; else the first face that does; else a monospaced face that draws
// a backslash, with Japanese glyphs from the font fallback.
QFont consoleFont(const QFont& desktopFixed);

// Whether `font` draws U+005C as a backslash (a stroke from the top left to
// the bottom right), not as a yen sign (arms at the top, a stem below).
bool drawsBackslash(const QFont& font);

}  // namespace kestro
