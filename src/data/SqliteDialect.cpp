#include "data/SqliteDialect.h"

#include "data/RowBatch.h"
#include "data/SqliteRows.h"

#include <QSqlError>
#include <QSqlQuery>

namespace data {

QString SqliteDialect::quoteTable(const QString &table) const
{
    return QLatin1Char('[') + table + QLatin1Char(']');
}

Dialect::ContainsSearch SqliteDialect::containsSearch(const QString &table, const QString &column,
                                                      const QString &text, const QString &index,
                                                      const QString &trigramTable) const
{
    // The trigram tokenizer indexes sequences of three characters (code points); a shorter text
    // has none to look up.
    if (trigramTable.isEmpty() || text.toUcs4().size() < 3)
        return {quoteTable(table) + QStringLiteral(" INDEXED BY ") + index, Sql()};
    // One FTS5 string: the text between double quotes, a double quote in it doubled, so that no
    // character of it is read as FTS query syntax.
    QString phrase = text;
    phrase.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    phrase = QLatin1Char('"') + phrase + QLatin1Char('"');
    return {quoteTable(table) + QStringLiteral(" NOT INDEXED"),
            Sql(QStringLiteral("id IN (SELECT rowid FROM ") + trigramTable + QStringLiteral(" WHERE ") + column
                    + QStringLiteral(" MATCH ?)"),
                {phrase})};
}

QString SqliteDialect::serverDateSql() const
{
    return QStringLiteral("select strftime('%Y-%m-%d %H:%M:%S','now','localtime')");
}

QString SqliteDialect::asNumber(const QString &column) const
{
    // SQLite takes the leading number of a text and 0 when there is none; it never fails.
    return QStringLiteral("CAST(") + column + QStringLiteral(" AS REAL)");
}

QString SqliteDialect::increment(const QString &column) const
{
    return column + QStringLiteral(" = CAST(CAST(") + column + QStringLiteral(" AS INTEGER) + CAST(? AS INTEGER) AS TEXT)");
}

QString SqliteDialect::incrementDecimal(const QString &column) const
{
    // %.15g drops trailing zeros and the point: 7.0 -> "7", 12.50 -> "12.5".
    return column + QStringLiteral(" = printf('%.15g', CAST(") + column + QStringLiteral(" AS REAL) + CAST(? AS REAL))");
}

QString SqliteDialect::likeOp() const
{
    return QStringLiteral("like"); // ASCII letters ignore case by default
}

QString SqliteDialect::inStockCondition() const
{
    return QStringLiteral("数量<>'0'");
}

QString SqliteDialect::beginTransactionSql() const
{
    // Take the write lock at once, so that a transaction that reads before it writes waits for
    // another writer (busy timeout) instead of failing at its first write.
    return QStringLiteral("BEGIN IMMEDIATE");
}

QString SqliteDialect::transactionLockSql() const
{
    return QString(); // BEGIN IMMEDIATE already holds the file's write lock
}

bool SqliteDialect::connectionLost(const QSqlDatabase &) const
{
    return false;
}

Sql SqliteDialect::appendRowsSql(const QString &table, const QStringList &columns, const QStringList &values,
                                 bool returningIds) const
{
    const int width = int(columns.size());
    const int rows = width > 0 ? int(values.size()) / width : 0;
    const QString row =
        QLatin1Char('(') + QStringList(width, QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    QString text = QStringLiteral("INSERT INTO ") + quoteTable(table) + QStringLiteral(" (") + columns.join(QLatin1Char(','))
                   + QStringLiteral(") VALUES ") + QStringList(rows, row).join(QLatin1Char(','));
    if (returningIds)
        text += QStringLiteral(" RETURNING id");
    QVariantList bound;
    bound.reserve(rows * width);
    for (int i = 0; i < rows * width; ++i)
        bound << values.at(i);
    return Sql(text, bound);
}

int SqliteDialect::appendRowsBatch(int columns) const
{
    // SQLite binds at most 999 values per statement in its older builds.
    return qMax(1, 999 / qMax(1, columns));
}

bool SqliteDialect::appendRows(const QSqlDatabase &db, const QString &table, const QStringList &columns,
                               const RowBatch &rows, QList<qint64> *ids, QString *error) const
{
    const int width = int(columns.size());
    const QStringList texts = rows.texts();
    const int batch = appendRowsBatch(width);
    for (int first = 0; first < rows.rows(); first += batch) {
        const int count = qMin(batch, rows.rows() - first);
        const Sql sql = appendRowsSql(table, columns, texts.mid(qsizetype(first) * width, qsizetype(count) * width),
                                      ids != nullptr);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        bool ok = query.prepare(sql.text);
        for (int i = 0; ok && i < sql.values.size(); ++i) {
            const QString text = sql.values.at(i).toString();
            query.bindValue(i, text.isNull() ? QStringLiteral("") : text); // an empty text, never NULL
        }
        ok = ok && query.exec();
        while (ok && ids && query.next())
            ids->append(query.value(0).toLongLong());
        if (!ok) {
            if (error)
                *error = query.lastError().text().trimmed();
            return false;
        }
    }
    return true;
}

Sql SqliteDialect::rebuildableIndexesSql(const QString &) const
{
    return Sql();
}

QStringList SqliteDialect::bulkLoadSettingsSql() const
{
    return {};
}

std::unique_ptr<NativeRows> SqliteDialect::nativeRows(const QSqlDatabase &db) const
{
    return std::make_unique<SqliteRows>(db);
}

} // namespace data
