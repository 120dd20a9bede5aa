#include "data/Sql.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

namespace data {

Sql::Sql(QString text, QVariantList values) : text(std::move(text)), values(std::move(values)) {}

Sql::Sql(const char *text) : text(QString::fromUtf8(text)) {}

Sql &Sql::operator+=(const Sql &other)
{
    text += other.text;
    values += other.values;
    return *this;
}

QString sqlLiteral(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::QByteArray:
        return QStringLiteral("X'") + QString::fromLatin1(value.toByteArray().toHex()) + QLatin1Char('\'');
    case QMetaType::QDateTime:
        return QLatin1Char('\'') + value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\'');
    case QMetaType::QDate:
        return QLatin1Char('\'') + value.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
    default: {
        QString text = value.toString();
        text.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    }
}

QString Sql::display() const
{
    QString out;
    out.reserve(text.size() + 16 * values.size());
    qsizetype next = 0;
    QChar quote; // the closing quote while inside a quoted part
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
            out += ch;
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quote = ch;
            out += ch;
        } else if (ch == QLatin1Char('[')) {
            quote = QLatin1Char(']');
            out += ch;
        } else if (ch == QLatin1Char('?')) {
            out += next < values.size() ? sqlLiteral(values.at(next)) : QStringLiteral("?");
            ++next;
        } else {
            out += ch;
        }
    }
    return out;
}

std::optional<qint64> idOf(const QString &rowId)
{
    bool ok = false;
    const qint64 id = rowId.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return id;
}

Sql eq(const QString &column, const QVariant &value)
{
    return Sql(column + QStringLiteral("=?"), {value});
}

Sql cmp(const QString &column, const QString &op, const QVariant &value)
{
    return Sql(column + op + QLatin1Char('?'), {value});
}

Sql like(const QString &column, const QString &pattern)
{
    return Sql(QStringLiteral("LOWER(") + column + QStringLiteral(") LIKE LOWER(?)"), {pattern});
}

Sql both(const Sql &a, const Sql &b)
{
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a + Sql(QStringLiteral(" and ")) + b;
}

Pairs parsePairs(const QString &pairsText, bool *ok)
{
    Pairs pairs;
    bool good = true;
    const qsizetype n = pairsText.size();
    qsizetype i = 0;
    while (i < n && good) {
        const qsizetype eqAt = pairsText.indexOf(QLatin1Char('='), i);
        if (eqAt < 0) {
            good = false;
            break;
        }
        const QString name = pairsText.mid(i, eqAt - i).trimmed();
        if (name.isEmpty()) {
            good = false;
            break;
        }
        i = eqAt + 1;
        QVariant value;
        // Blanks before a quoted value are not part of it.
        qsizetype j = i;
        while (j < n && pairsText.at(j) == QLatin1Char(' '))
            ++j;
        if (j < n && pairsText.at(j) == QLatin1Char('\'')) {
            QString text;
            qsizetype k = j + 1;
            bool closed = false;
            while (k < n) {
                const QChar ch = pairsText.at(k);
                if (ch == QLatin1Char('\'')) {
                    if (k + 1 < n && pairsText.at(k + 1) == QLatin1Char('\'')) {
                        text += ch;
                        k += 2;
                        continue;
                    }
                    closed = true;
                    ++k;
                    break;
                }
                text += ch;
                ++k;
            }
            if (!closed) {
                good = false;
                break;
            }
            while (k < n && pairsText.at(k) == QLatin1Char(' '))
                ++k;
            if (k < n && pairsText.at(k) != QLatin1Char(',')) {
                good = false;
                break;
            }
            value = text;
            i = k + 1;
        } else {
            qsizetype k = pairsText.indexOf(QLatin1Char(','), i);
            if (k < 0)
                k = n;
            const QString bare = pairsText.mid(i, k - i).trimmed();
            if (bare.isEmpty()) {
                good = false;
                break;
            }
            value = bare;
            i = k + 1;
        }
        pairs.append({name, value});
    }
    if (pairs.isEmpty())
        good = false;
    if (ok)
        *ok = good;
    return good ? pairs : Pairs();
}

} // namespace data
