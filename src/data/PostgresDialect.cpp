#include "data/PostgresDialect.h"

#include "data/PostgresRows.h"

#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>
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
    const QSqlDriver *driver = db.driver();
    if (!driver)
        return true;
    const QVariant handle = driver->handle();
    // Qt names the handle's type after libpq's struct ("pg_conn*"); older versions said "PGconn*".
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return false;
    PGconn *connection = *static_cast<PGconn *const *>(handle.constData());
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
    QStringList arrays, names;
    QVariantList bound;
    for (int c = 0; c < width; ++c) {
        arrays << QStringLiteral("CAST(? AS text[])");
        names << QStringLiteral("v%1").arg(c);
        bound << textArrayLiteral(values, c, width, rows);
    }
    QString text = QStringLiteral("INSERT INTO ") + quoteTable(table) + QStringLiteral(" (") + columns.join(QLatin1Char(','))
                   + QStringLiteral(") SELECT ") + names.join(QLatin1Char(',')) + QStringLiteral(" FROM unnest(")
                   + arrays.join(QLatin1Char(',')) + QStringLiteral(") WITH ORDINALITY AS r(") + names.join(QLatin1Char(','))
                   + QStringLiteral(",n) ORDER BY n");
    if (returningIds)
        text += QStringLiteral(" RETURNING id");
    return Sql(text, bound);
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
