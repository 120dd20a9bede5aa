#pragma once
// A statement text with '?' placeholders and the values bound to them, in order.
// Values never become part of the text that reaches the database; display() shows them
// as SQL literals for the failure log and for tests.
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>

#include "data/Backend.h"

namespace data {

struct Sql {
    QString text;        // e.g. "SELECT * FROM [店铺名] WHERE 店名=? ORDER BY id ASC"
    QVariantList values; // e.g. {"A"}

    Sql() = default;
    Sql(QString text, QVariantList values = {}); // implicit from a fixed text with no values
    Sql(const char *text);                        // implicit from a fixed UTF-8 literal

    Sql &operator+=(const Sql &other); // concatenates texts and values
    friend Sql operator+(Sql a, const Sql &b) { a += b; return a; }

    bool isEmpty() const { return text.isEmpty(); }

    // The text with every placeholder replaced by its value as an SQL literal: texts quoted
    // with '' doubled, numbers bare, null as NULL. "?" inside quoted literals is left alone.
    QString display() const;
};

// Quotes one value as an SQL literal (what display() uses).
QString sqlLiteral(const QVariant &value);

Sql eq(const QString &column, const QVariant &value);                         // "column=?"
Sql cmp(const QString &column, const QString &op, const QVariant &value);     // "column<>?", "column>=?" ...
// Case-insensitive (ASCII letters) LIKE that reads the same on both backends:
// "LOWER(column) LIKE LOWER(?)". The pattern is passed as is; the caller adds %.
// Dialect::like() gives the backend's native form ("like" / "ilike").
Sql like(const QString &column, const QString &pattern);
Sql both(const Sql &a, const Sql &b); // a + " and " + b (an empty side gives the other one alone)

// The id of a list row as a bound value; nothing for a text that is no whole number ("" when no
// row or the totals line is selected).
std::optional<qint64> idOf(const QString &rowId);

using Pairs = QList<QPair<QString, QVariant>>; // column -> value, for INSERT and UPDATE

// Reads a FIXED pairs text of the form «门店='A',用户名='b'» into pairs, for callers whose
// texts are constants. A quoted value keeps everything up to its closing quote (doubled quotes
// inside it become one) and is stored without its quotes; a bare value (5, -1.5) is kept as
// its text. Never use it for texts that hold typed values: build Pairs directly.
// *ok (when given) is false when the text is malformed.
Pairs parsePairs(const QString &pairsText, bool *ok = nullptr);

} // namespace data
