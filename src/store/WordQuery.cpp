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

QString OrderClause(WordOrder order, bool descending, bool filtered) {
    QString column;
    switch (order) {
    case WordOrder::Headword: column = QStringLiteral("headword COLLATE NOCASE"); break;
    case WordOrder::Translation: column = QStringLiteral("translation COLLATE NOCASE"); break;
    case WordOrder::Added: column = QStringLiteral("added"); break;
    case WordOrder::Note: column = QStringLiteral("note COLLATE NOCASE"); break;
    }
    // A filter reads every row anyway: one pass over the table and a sort of the few
    // it keeps beat walking the index and looking each row up (the unary + keeps the
    // index out).
    if (filtered) column.prepend(QLatin1Char('+'));
    const QString direction = descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    return QStringLiteral(" ORDER BY ") + column + direction + QStringLiteral(", id") + direction;
}
