#include "data/PostgresDialect.h"

#include "data/LibpqConnection.h"
#include "data/PostgresRows.h"
#include "data/RowBatch.h"

#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>
#include <vector>
#include <poll.h>

namespace data {

namespace {

// A text that is a plain decimal number (blanks around it allowed). Written without '?' so
// that no placeholder scanner mistakes it.
const QString numberPattern = QStringLiteral("'^\\s*[-+]{0,1}([0-9]+(\\.[0-9]*){0,1}|\\.[0-9]+)\\s*$'");

// A PostgreSQL array literal of texts: every element between double quotes, with its double
// quotes and backslashes escaped, so that no text reads as NULL, a separator or a nested array.
QString textArrayLiteral(const QStringList &values, int first, int step, int count)
{
    QString literal;
    literal.reserve(count * 12 + 2);
    literal += QLatin1Char('{');
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            literal += QLatin1Char(',');
        literal += QLatin1Char('"');
        for (const QChar ch : values.at(first + i * step)) {
            if (ch == QLatin1Char('"') || ch == QLatin1Char('\\'))
                literal += QLatin1Char('\\');
            literal += ch;
        }
        literal += QLatin1Char('"');
    }
    literal += QLatin1Char('}');
    return literal;
}

// «INSERT INTO table (columns) SELECT ... FROM unnest(arrays) WITH ORDINALITY ... ORDER BY n»: the
// rows of one array per column, appended in the arrays' order.
QString unnestInsertSql(const QString &quotedTable, const QStringList &columns, const QStringList &arrays,
                        bool returningIds)
{
    QStringList names;
    for (int c = 0; c < columns.size(); ++c)
        names << QStringLiteral("v%1").arg(c);
    QString text = QStringLiteral("INSERT INTO ") + quotedTable + QStringLiteral(" (") + columns.join(QLatin1Char(','))
                   + QStringLiteral(") SELECT ") + names.join(QLatin1Char(',')) + QStringLiteral(" FROM unnest(")
                   + arrays.join(QLatin1Char(',')) + QStringLiteral(") WITH ORDINALITY AS r(") + names.join(QLatin1Char(','))
                   + QStringLiteral(",n) ORDER BY n");
    if (returningIds)
        text += QStringLiteral(" RETURNING id");
    return text;
}

// A one-dimensional array of texts in PostgreSQL's binary form: its header (one dimension, no
// NULLs, element type text, the number of elements, lower bound 1) and then the cells, each as
// its length and bytes, which is how the batch already keeps them.
QByteArray binaryTextArray(const QByteArray &cells, int count)
{
    constexpr quint32 textType = 25;
    const quint32 header[] = {1, 0, textType, quint32(count), 1};
    QByteArray array;
    array.reserve(qsizetype(sizeof header) + cells.size());
    for (const quint32 word : header) {
        const char bytes[4] = {char(word >> 24), char(word >> 16), char(word >> 8), char(word)};
        array.append(bytes, 4);
    }
    array.append(cells);
    return array;
}

} // namespace

QString PostgresDialect::quoteTable(const QString &table) const
{
    return QLatin1Char('"') + table + QLatin1Char('"');
}

Dialect::ContainsSearch PostgresDialect::containsSearch(const QString &table, const QString &column,
                                                        const QString &text, const QString &index,
                                                        const QString &trigramTable) const
{
    Q_UNUSED(column);
    Q_UNUSED(text);
    Q_UNUSED(index);
    Q_UNUSED(trigramTable);
    return {quoteTable(table), Sql()};
}

QString PostgresDialect::serverDateSql() const
{
    return QStringLiteral("select to_char(localtimestamp(0),'YYYY-MM-DD HH24:MI:SS')");
}

QString PostgresDialect::asNumber(const QString &column) const
{
    return QStringLiteral("(CASE WHEN ") + column + QStringLiteral(" ~ ") + numberPattern
           + QStringLiteral(" THEN CAST(") + column + QStringLiteral(" AS numeric) ELSE 0 END)");
}

QString PostgresDialect::increment(const QString &column) const
{
    // The whole-number part of the current value (as SQLite's CAST AS INTEGER takes it) plus the change.
    return column + QStringLiteral(" = CAST(CAST(trunc(") + asNumber(column)
           + QStringLiteral(") AS bigint) + CAST(? AS bigint) AS text)");
}

QString PostgresDialect::incrementDecimal(const QString &column) const
{
    return column + QStringLiteral(" = CAST(trim_scale(") + asNumber(column)
           + QStringLiteral(" + CAST(? AS numeric)) AS text)");
}

QString PostgresDialect::likeOp() const
{
    return QStringLiteral("ilike");
}

QString PostgresDialect::inStockCondition() const
{
    return asNumber(QStringLiteral("数量")) + QStringLiteral(">0");
}

QString PostgresDialect::beginTransactionSql() const
{
    return QStringLiteral("BEGIN");
}

QString PostgresDialect::transactionLockSql() const
{
    return QStringLiteral("SELECT pg_advisory_xact_lock(CAST(? AS bigint))");
}

bool PostgresDialect::connectionLost(const QSqlDatabase &db) const
{
    if (!db.driver())
        return true;
    if (db.driver()->dbmsType() != QSqlDriver::PostgreSQL)
        return false;
    PGconn *connection = libpqConnection(db);
    if (!connection)
        return true;
    // Reads what the server sent while the connection was idle, without waiting: a server that
    // ended this session (pg_terminate_backend, a shutdown, a restore that drops the database) has
    // sent its last words and closed the socket, which leaves the connection bad.
    // The last words come first and the end of the stream after them, so read as long as the socket
    // has something to give.
    for (int read = 0; read < 8 && PQstatus(connection) == CONNECTION_OK; ++read) {
        pollfd socket{PQsocket(connection), POLLIN, 0};
        if (socket.fd < 0 || ::poll(&socket, 1, 0) <= 0 || !PQconsumeInput(connection))
            break;
    }
    return PQstatus(connection) != CONNECTION_OK;
}

Sql PostgresDialect::appendRowsSql(const QString &table, const QStringList &columns, const QStringList &values,
                                   bool returningIds) const
{
    const int width = int(columns.size());
    const int rows = width > 0 ? int(values.size()) / width : 0;
    QStringList arrays;
    QVariantList bound;
    for (int c = 0; c < width; ++c) {
        arrays << QStringLiteral("CAST(? AS text[])");
        bound << textArrayLiteral(values, c, width, rows);
    }
    return Sql(unnestInsertSql(quoteTable(table), columns, arrays, returningIds), bound);
}

namespace {

// The error of a failed result, or of the connection when there is no result.
QString resultError(PGconn *connection, const PGresult *result)
{
    QString error = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(connection)).trimmed();
    return error.isEmpty() ? QStringLiteral("unknown database error") : error;
}

// COPY ... FROM STDIN in PostgreSQL's binary form: a header, then each row as its number of
// fields followed by the fields, each as its length and bytes (which is how the batch keeps a
// cell), then the trailer. The server appends the rows in the order sent, in pieces as they
// arrive, without a statement that holds the whole batch at once.
bool copyRows(PGconn *connection, const QString &quotedTable, const QStringList &columns, const RowBatch &rows,
              QString *error)
{
    const QString text = QStringLiteral("COPY ") + quotedTable + QStringLiteral(" (") + columns.join(QLatin1Char(','))
                         + QStringLiteral(") FROM STDIN WITH (FORMAT binary)");
    PGresult *result = PQexec(connection, text.toUtf8().constData());
    if (PQresultStatus(result) != PGRES_COPY_IN) {
        if (error)
            *error = resultError(connection, result);
        PQclear(result);
        // Whatever else the server answered is read, so that the connection is free again.
        while ((result = PQgetResult(connection)) != nullptr)
            PQclear(result);
        return false;
    }
    PQclear(result);

    constexpr qsizetype flushBytes = 256 * 1024;
    const int width = int(columns.size());
    std::vector<qsizetype> at(size_t(width), 0); // where each column's next cell begins
    QByteArray data;
    data.reserve(flushBytes + 64 * 1024);
    static const char header[] = {'P', 'G', 'C', 'O', 'P', 'Y', '\n', '\377', '\r', '\n', '\0', 0, 0, 0, 0, 0, 0, 0, 0};
    data.append(header, sizeof header);
    bool sent = true;
    const char fields[2] = {char(width >> 8), char(width)};
    for (int row = 0; row < rows.rows() && sent; ++row) {
        data.append(fields, 2);
        for (int c = 0; c < width; ++c) {
            const QByteArray &column = rows.columnData(c);
            const auto *bytes = reinterpret_cast<const uchar *>(column.constData() + at[c]);
            const qsizetype length = qsizetype(quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16
                                               | quint32(bytes[2]) << 8 | quint32(bytes[3]));
            data.append(column.constData() + at[c], 4 + length);
            at[c] += 4 + length;
        }
        if (data.size() >= flushBytes) {
            sent = PQputCopyData(connection, data.constData(), int(data.size())) == 1;
            data.clear();
        }
    }
    const char trailer[2] = {'\377', '\377'};
    data.append(trailer, 2);
    if (sent)
        sent = PQputCopyData(connection, data.constData(), int(data.size())) == 1;
    QString failure;
    if (!sent)
        failure = resultError(connection, nullptr);
    // Ends the copy (a failed send ends it with that error) and reads every result it gave.
    if (PQputCopyEnd(connection, sent ? nullptr : "copy interrupted") != 1 && failure.isEmpty())
        failure = resultError(connection, nullptr);
    while ((result = PQgetResult(connection)) != nullptr) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && failure.isEmpty())
            failure = resultError(connection, result);
        PQclear(result);
    }
    if (!failure.isEmpty() && error)
        *error = failure;
    return failure.isEmpty();
}

} // namespace

bool PostgresDialect::appendRows(const QSqlDatabase &db, const QString &table, const QStringList &columns,
                                 const RowBatch &rows, QList<qint64> *ids, QString *error) const
{
    PGconn *connection = libpqConnection(db);
    if (!connection) {
        if (error)
            *error = QStringLiteral("数据库未连接");
        return false;
    }
    if (!ids)
        return copyRows(connection, quoteTable(table), columns, rows, error);
    const int width = int(columns.size());
    QStringList arrays;
    for (int c = 0; c < width; ++c)
        arrays << QStringLiteral("$%1").arg(c + 1);
    const QString text = unnestInsertSql(quoteTable(table), columns, arrays, ids != nullptr);

    constexpr Oid textArrayType = 1009;
    QList<QByteArray> values;
    values.reserve(width);
    std::vector<Oid> types(width, textArrayType);
    std::vector<const char *> pointers(width);
    std::vector<int> lengths(width);
    std::vector<int> formats(width, 1);
    for (int c = 0; c < width; ++c) {
        values << binaryTextArray(rows.columnData(c), rows.rows());
        pointers[c] = values.last().constData();
        lengths[c] = int(values.last().size());
    }
    PGresult *result = PQexecParams(connection, text.toUtf8().constData(), width, types.data(), pointers.data(),
                                    lengths.data(), formats.data(), 0);
    const ExecStatusType status = PQresultStatus(result);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok) {
        if (error)
            *error = resultError(connection, result);
    } else {
        const int made = PQntuples(result);
        ids->reserve(ids->size() + made);
        for (int row = 0; row < made; ++row)
            ids->append(QByteArray(PQgetvalue(result, row, 0)).toLongLong());
    }
    PQclear(result);
    return ok;
}

int PostgresDialect::appendRowsBatch(int columns) const
{
    return qMax(1, 200000 / qMax(1, columns));
}

Sql PostgresDialect::rebuildableIndexesSql(const QString &table) const
{
    return Sql(QStringLiteral("SELECT quote_ident(n.nspname) || '.' || quote_ident(c.relname), pg_get_indexdef(i.indexrelid)"
                              " FROM pg_index i JOIN pg_class c ON c.oid=i.indexrelid"
                              " JOIN pg_namespace n ON n.oid=c.relnamespace"
                              " WHERE i.indrelid=CAST(? AS regclass)"
                              " AND NOT EXISTS (SELECT 1 FROM pg_constraint k WHERE k.conindid=i.indexrelid)"
                              " ORDER BY c.relname"),
               {quoteTable(table)});
}

QStringList PostgresDialect::bulkLoadSettingsSql() const
{
    // The index builds (trigram GIN ones above all) sort in memory rather than in many runs on disk.
    return {QStringLiteral("SET LOCAL maintenance_work_mem='256MB'")};
}

std::unique_ptr<NativeRows> PostgresDialect::nativeRows(const QSqlDatabase &db) const
{
    return std::make_unique<PostgresRows>(db);
}

} // namespace data
