#include "data/PostgresRows.h"

#include "data/LibpqConnection.h"

#include <QVariant>

#include <libpq-fe.h>

#include <vector>

namespace data {

namespace {

// Result column types whose text the server sends is the text a record set shows: texts and
// whole numbers. Any other column (numeric, dates, booleans ...) is read through the driver,
// which turns those into values of their own.
bool plainType(Oid type)
{
    switch (type) {
    case 19:   // name
    case 20:   // int8
    case 21:   // int2
    case 23:   // int4
    case 25:   // text
    case 26:   // oid
    case 705:  // unknown (an untyped literal)
    case 1042: // bpchar
    case 1043: // varchar
        return true;
    default:
        return false;
    }
}

bool isRows(const PGresult *result)
{
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK;
}

} // namespace

PostgresRows::PostgresRows(const QSqlDatabase &db) : m_connection(libpqConnection(db)) {}

PostgresRows::~PostgresRows()
{
    close();
}

QByteArray PostgresRows::numberedPlaceholders(const QString &text, int *count)
{
    QString numbered;
    numbered.reserve(text.size() + 16);
    int placeholders = 0;
    QChar quote;
    for (const QChar ch : text) {
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quote = ch;
        } else if (ch == QLatin1Char('?')) {
            numbered += QLatin1Char('$') + QString::number(++placeholders);
            continue;
        }
        numbered += ch;
    }
    *count = placeholders;
    return numbered.toUtf8();
}

bool PostgresRows::fetch()
{
    m_result = PQgetResult(m_connection);
    if (!m_result)
        m_running = false;
    else if (PQresultStatus(m_result) == PGRES_TUPLES_OK)
        m_complete = true; // the last result (in single-row mode an empty one after the rows)
    return m_result != nullptr;
}

void PostgresRows::drain()
{
    if (m_result)
        PQclear(m_result);
    m_result = nullptr;
    // Rows left unread still arrive; a cancel would spoil a transaction the reader runs in.
    while (m_running && fetch())
        PQclear(m_result);
    m_result = nullptr;
    m_running = false;
}

void PostgresRows::close()
{
    drain();
    m_rowPending = false;
    m_onRow = false;
}

NativeRows::Opened PostgresRows::open(const Sql &sql)
{
    close();
    m_error.clear();
    if (!m_connection || PQstatus(m_connection) != CONNECTION_OK || !isSelect(sql.text))
        return Opened::NotTaken;
    // The driver reads a finished statement's last results only when it runs the next one: drop
    // them, as libpq itself does before a statement run the driver's way.
    if (PQtransactionStatus(m_connection) == PQTRANS_ACTIVE)
        while (PGresult *left = PQgetResult(m_connection))
            PQclear(left);
    const PGTransactionStatusType state = PQtransactionStatus(m_connection);
    if (state != PQTRANS_IDLE && state != PQTRANS_INTRANS && state != PQTRANS_INERROR)
        return Opened::NotTaken;
    int placeholders = 0;
    const QByteArray text = numberedPlaceholders(sql.text, &placeholders);
    if (placeholders != sql.values.size())
        return Opened::NotTaken;
    std::vector<QByteArray> texts;
    std::vector<const char *> values;
    texts.reserve(size_t(placeholders));
    for (const QVariant &value : sql.values) {
        switch (value.isValid() ? value.typeId() : QMetaType::UnknownType) {
        case QMetaType::UnknownType: // NULL
            texts.emplace_back();
            values.push_back(nullptr);
            continue;
        case QMetaType::QString:
            texts.push_back(value.toString().toUtf8()); // a null text is bound as ''
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            texts.push_back(QByteArray::number(value.toLongLong()));
            break;
        default:
            return Opened::NotTaken;
        }
        values.push_back(texts.back().constData());
    }
    if (!PQsendQueryParams(m_connection, text.constData(), placeholders, nullptr, values.data(), nullptr, nullptr, 0)) {
        m_error = QString::fromUtf8(PQerrorMessage(m_connection)).trimmed();
        return Opened::Failed;
    }
    m_running = true;
    m_complete = false;
    PQsetSingleRowMode(m_connection); // without it the rows come as one result, read the same way
    if (!fetch()) {
        m_error = QString::fromUtf8(PQerrorMessage(m_connection)).trimmed();
        return Opened::Failed;
    }
    if (!isRows(m_result)) {
        m_error = QString::fromUtf8(PQresultErrorMessage(m_result)).trimmed();
        drain();
        return Opened::Failed;
    }
    const int columns = PQnfields(m_result);
    for (int c = 0; c < columns; ++c) {
        if (!plainType(PQftype(m_result, c))) {
            close();
            return Opened::NotTaken;
        }
    }
    m_names.clear();
    for (int c = 0; c < columns; ++c)
        m_names << QString::fromUtf8(PQfname(m_result, c));
    m_texts.reset(columns);
    m_rowPending = true;
    return Opened::Yes;
}

bool PostgresRows::next()
{
    if (!m_result)
        return false;
    if (m_rowPending) {
        m_rowPending = false;
        m_row = 0;
    } else {
        ++m_row;
    }
    while (m_row >= PQntuples(m_result)) {
        PQclear(m_result);
        m_result = nullptr;
        if (!fetch()) {
            m_onRow = false;
            if (!m_complete)
                m_error = QStringLiteral("列表没有读完：服务器送来的行在最后一行之前中断了（可能是同一连接上执行了其它语句）");
            return false;
        }
        if (!isRows(m_result)) {
            m_error = QString::fromUtf8(PQresultErrorMessage(m_result)).trimmed();
            close();
            return false;
        }
        m_row = 0;
    }
    m_onRow = true;
    return true;
}

QString PostgresRows::text(int position)
{
    if (PQgetisnull(m_result, m_row, position))
        return QString();
    return m_texts.fromUtf8(position, PQgetvalue(m_result, m_row, position),
                            size_t(PQgetlength(m_result, m_row, position)));
}

} // namespace data
