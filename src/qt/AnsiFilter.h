// Turns the bytes a tool writes to its terminal into plain text for the
// console window: escape sequences (colours, cursor moves, titles) are
// dropped, carriage returns before a line feed vanish, and a sequence split
// between two reads is still recognised.
#pragma once

#include <QByteArray>

namespace kestro {

class AnsiFilter {
public:
    // The printable part of `chunk`; what belongs to an unfinished escape
    // sequence waits for the next chunk.
    QByteArray filter(const QByteArray& chunk);

private:
    enum class State { Text, Escape, Csi, OscString, OscEscape, CarriageReturn };
    State state_ = State::Text;
};

}  // namespace kestro
