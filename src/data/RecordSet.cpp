#include "data/RecordSet.h"

#include "data/Connection.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTime>

#include <limits>

namespace data {

RecordSet::RecordSet(Connection &connection) : m_connection(&connection) {}

void RecordSet::clear()
{
    m_layout.reset();
    m_columnCount = 0;
    m_cells.clear();
    m_rows = -1;
    m_current = -1;
    m_rowsAffected = -1;
}

bool RecordSet::open(const Sql &sql)
{
    clear();
    m_lastError.clear();
    Connection::Statement *statement = m_connection->run(sql);
    if (!statement) {
        m_lastError = m_connection->lastError();
        return false;
    }
    QSqlQuery *query = &statement->query;
    if (!query->isSelect()) {
        m_rowsAffected = query->numRowsAffected();
        m_connection->m_rowsAffected = m_rowsAffected;
        query->finish();
        return true;
    }
    m_layout = statement->currentLayout();
    const int columnCount = m_layout->count();
    m_columnCount = columnCount;
    int rows = 0;
    while (query->next()) {
        for (int c = 0; c < columnCount; ++c)
            m_cells.append(query->value(c));
        ++rows;
    }
    const QSqlError error = query->lastError();
    query->finish(); // releases the read lock of SQLite at once
    if (error.type() != QSqlError::NoError) {
        m_connection->fail(sql.display(), m_connection->statementError(error));
        m_lastError = m_connection->lastError();
        clear();
        return false;
    }
    m_rows = rows;
    m_current = rows > 0 ? 0 : -1;
    return true;
}

int RecordSet::columnIndex(const QString &column) const
{
    return m_layout ? m_layout->indexOf(column) : -1;
}

const QVariant *RecordSet::cell(int position) const
{
    if (m_current < 0 || m_current >= m_rows || position < 0 || position >= m_columnCount)
        return nullptr;
    return &m_cells.at(qsizetype(m_current) * m_columnCount + position);
}

QString RecordSet::text(const QString &column) const
{
    return text(columnIndex(column));
}

QString RecordSet::text(int position) const
{
    const QVariant *value = cell(position);
    return value ? textOf(*value) : QString();
}

QVariant RecordSet::value(const QString &column) const
{
    const QVariant *value = cell(columnIndex(column));
    return value ? *value : QVariant();
}

bool RecordSet::hasColumn(const QString &column) const
{
    return columnIndex(column) >= 0;
}

QStringList RecordSet::columns() const
{
    return m_layout ? m_layout->names() : QStringList();
}

qint64 RecordSet::integer(const QString &column) const
{
    return integer(columnIndex(column));
}

qint64 RecordSet::integer(int position) const
{
    const QVariant *value = cell(position);
    if (!value || value->isNull())
        return 0;
    switch (value->metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return value->toLongLong();
    case QMetaType::Double:
    case QMetaType::Float:
        return qint64(value->toDouble());
    default:
        return leadingInteger(value->toString());
    }
}

void RecordSet::moveFirst()
{
    m_current = m_rows > 0 ? 0 : -1;
}

void RecordSet::moveNext()
{
    if (m_current < 0)
        return;
    ++m_current;
    if (m_current >= m_rows)
        m_current = -1;
}

bool RecordSet::pastLast() const
{
    return m_current < 0;
}

int RecordSet::rowCount() const
{
    return m_rows;
}

int RecordSet::numRowsAffected() const
{
    return m_rowsAffected;
}

QString RecordSet::textOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return value.toString();
    case QMetaType::Float:
        return QString::number(value.toFloat(), 'f', 4);
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'f', 8);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::QByteArray:
        return QStringLiteral("[BLOB]");
    default:
        return QStringLiteral("UN_KNOW");
    }
}

qint64 RecordSet::leadingInteger(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 number = 0;
    while (i < n && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9')) {
        if (number < (std::numeric_limits<qint64>::max() - 9) / 10)
            number = number * 10 + (text.at(i).unicode() - '0');
        ++i;
    }
    return negative ? -number : number;
}

} // namespace data
