#include "AnsiFilter.h"

namespace kestro {

QByteArray AnsiFilter::filter(const QByteArray& chunk) {
    QByteArray text;
    text.reserve(chunk.size());
    for (const char byte : chunk) {
        const unsigned char c = static_cast<unsigned char>(byte);
        switch (state_) {
        case State::CarriageReturn:
            // A lone carriage return (a progress line redrawn in place)
            // becomes a line break; "\r\n" is one line break.
            text.append('\n');
            state_ = State::Text;
            if (c == '\n') break;
            [[fallthrough]];
        case State::Text:
            if (c == 0x1B) {
                state_ = State::Escape;
            } else if (c == '\r') {
                state_ = State::CarriageReturn;
            } else if (c == '\n' || c == '\t' || c >= 0x20) {
                if (c != 0x7F) text.append(byte);
            } else if (c == '\b' && !text.isEmpty() && text.back() != '\n') {
                text.chop(1);
            }
            break;
        case State::Escape:
            if (c == '[') state_ = State::Csi;
            else if (c == ']') state_ = State::OscString;
            else state_ = State::Text;  // a two-byte sequence such as ESC =
            break;
        case State::Csi:
            // Parameters and intermediates run up to a final byte @ to ~.
            if (c >= 0x40 && c <= 0x7E) state_ = State::Text;
            break;
        case State::OscString:
            if (c == 0x07) state_ = State::Text;
            else if (c == 0x1B) state_ = State::OscEscape;
            break;
        case State::OscEscape:
            state_ = c == '\\' ? State::Text : State::OscString;
            break;
        }
    }
    return text;
}

}  // namespace kestro
