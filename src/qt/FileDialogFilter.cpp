#include "FileDialogFilter.h"

#include <QStringList>

namespace kestro {

QString qtFileDialogFilter(const std::string& filter) {
    const QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()))
                                  .split(QLatin1Char('|'));
    QStringList lines;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        // Windows separates patterns with ';', Qt with blanks.
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.isEmpty() && pattern.isEmpty()) break;  // the closing "||"
        if (pattern.compare(QLatin1String("*.exe"), Qt::CaseInsensitive) == 0) {
            lines << QStringLiteral("All files (*)");
        } else if (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))) {
            lines << description;
        } else {
            lines << description.trimmed() + QStringLiteral(" (") + pattern + QLatin1Char(')');
        }
    }
    lines.removeDuplicates();
    return lines.join(QStringLiteral(";;"));
}

}  // namespace kestro
