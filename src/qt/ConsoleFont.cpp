#include "ConsoleFont.h"

#include <QPainterPath>
#include <QRawFont>
#include <QStringList>

namespace kestro {

namespace {

// Monospaced faces with Japanese glyphs that draw a backslash.
const QStringList kJapaneseFaces{QStringLiteral("VL Gothic"), QStringLiteral("Noto Sans Mono CJK JP")};
const QStringList kLatinFaces{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")};

bool hasJapanese(const QFont& font) { return QRawFont::fromFont(font).supportsCharacter(QChar(0x3042)); }

}  // namespace

bool drawsBackslash(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("\\"));
    if (glyphs.isEmpty() || glyphs.front() == 0) return false;
    const QPainterPath path = raw.pathForGlyph(glyphs.front());
    const QRectF box = path.boundingRect();
    const auto inked = [&](qreal x, qreal y) {
        return path.contains(QPointF(box.left() + x * box.width(), box.top() + y * box.height()));
    };
    return inked(0.85, 0.85) && !inked(0.85, 0.15);
}

QFont consoleFont(const QFont& desktopFixed) {
    const auto face = [&](const QString& family) {
        QFont font = desktopFixed;
        font.setFamilies({family});
        font.setStyleHint(QFont::Monospace);
        return font;
    };
    for (const QString& family : QStringList{desktopFixed.family()} + kJapaneseFaces) {
        if (const QFont font = face(family); drawsBackslash(font) && hasJapanese(font)) return font;
    }
    for (const QString& family : QStringList{desktopFixed.family()} + kLatinFaces) {
        if (const QFont font = face(family); drawsBackslash(font)) return font;
    }
    return desktopFixed;
}

}  // namespace kestro
