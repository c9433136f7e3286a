#include "store/WordQuery.h"

QString ContainsPattern(const QString& filter) {
    QString pattern;
    pattern.reserve(filter.size() + 4);
    pattern += QLatin1Char('%');
    for (const QChar c : filter) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\')) pattern += QLatin1Char('\\');
        pattern += c;
    }
    pattern += QLatin1Char('%');
    return pattern;
}

QString FilterClause(bool filtered) {
    if (!filtered) return {};
    // The pattern is bound once for each column.
    return QStringLiteral(" WHERE headword LIKE ? ESCAPE '\\' OR translation LIKE ? ESCAPE '\\'"
                          " OR note LIKE ? ESCAPE '\\'");
}

QString OrderClause(WordOrder order, bool descending, bool wholeTableFirst) {
    QString column;
    switch (order) {
    case WordOrder::Headword: column = QStringLiteral("headword COLLATE NOCASE"); break;
    case WordOrder::Translation: column = QStringLiteral("translation COLLATE NOCASE"); break;
    case WordOrder::Added: column = QStringLiteral("added"); break;
    case WordOrder::Note: column = QStringLiteral("note COLLATE NOCASE"); break;
    }
    // The unary + keeps the index out.
    if (wholeTableFirst) column.prepend(QLatin1Char('+'));
    const QString direction = descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    return QStringLiteral(" ORDER BY ") + column + direction + QStringLiteral(", id") + direction;
}
