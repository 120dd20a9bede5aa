#pragma once
// Everything that differs between the embedded SQLite file and the PostgreSQL server lives
// in one dialect object per backend. Add a new backend difference here, never in a caller.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <memory>

#include "data/Backend.h"
#include "data/Sql.h"

namespace data {
class RowBatch;
}

namespace data {

class NativeRows;

class Dialect {
public:
    virtual ~Dialect() = default;

    // The dialect object of a backend (one shared instance each).
    static const Dialect &forBackend(Backend backend);

    virtual Backend backend() const = 0;
    // Table name as the builders write it: "[t]" on SQLite, "\"t\"" on PostgreSQL.
    virtual QString quoteTable(const QString &table) const = 0;
    // Where a contains-search («column like '%text%'» on a column of `table`) looks: the table
    // reference after FROM and a condition on the candidate rows to add to the like (empty: none).
    // `index` is an index that leads with the query's equality column and then `column`;
    // `trigramTable` is the backend's trigram index over the column, if it keeps one apart.
    struct ContainsSearch {
        QString from;
        Sql candidates;
    };
    // On SQLite a text of three characters or more starts from its match in the trigram table
    // (external content, rowid = the table's id): "[t] NOT INDEXED" and «id IN (SELECT rowid FROM
    // trigramTable WHERE column MATCH ?)», the text bound as one quoted FTS phrase, so that the
    // statement starts from the match (the planner would otherwise scan an index of the equality
    // column). Shorter texts test the pattern on the entries of `index` ("[t] INDEXED BY index").
    // The trigram match ignores letter case more widely than like does, so the like is always
    // kept and decides. On PostgreSQL the plain quoted name (the planner picks the trigram indexes).
    virtual ContainsSearch containsSearch(const QString &table, const QString &column, const QString &text,
                                          const QString &index, const QString &trigramTable) const = 0;
    // A query whose single column is the server's local date and time 'YYYY-MM-DD HH:MM:SS'.
    virtual QString serverDateSql() const = 0;
    // A number view of a TEXT column for comparisons and sums; a malformed value counts 0
    // and never makes the statement fail.
    virtual QString asNumber(const QString &column) const = 0;
    // "column = <whole-number value of column> + ?": the assignment of an increment that keeps
    // the column a whole number written as decimal text ("5", never "5.0"). Bind the signed change.
    virtual QString increment(const QString &column) const = 0;
    // The same for columns with fractions (money, points): the result is the shortest decimal
    // text ("12.5", "7"). Bind the signed change.
    virtual QString incrementDecimal(const QString &column) const = 0;
    // The case-insensitive LIKE operator: "like" on SQLite (ASCII letters ignore case there),
    // "ilike" on PostgreSQL.
    virtual QString likeOp() const = 0;
    // «column like ?» / «column ilike ?» with the pattern bound.
    Sql like(const QString &column, const QString &pattern) const;
    // «column like/ilike ? ESCAPE '\'» matching every text that contains `typed` (ASCII case
    // ignored); %, _ and \ typed by the user stand for themselves.
    Sql contains(const QString &column, const QString &typed) const;
    // The in-stock test of the stock table on this backend: the text comparison "数量<>'0'"
    // on SQLite, a numeric "数量>0" on PostgreSQL (through asNumber, since the column is text).
    virtual QString inStockCondition() const = 0;
    // Statement that starts a write transaction.
    virtual QString beginTransactionSql() const = 0;
    // Statement (one bound number, the lock's key) that waits until no other transaction on the
    // database holds that lock and then holds it until its own transaction ends: a check followed
    // by a write then runs on one workstation at a time. "" where the write transaction already
    // holds the whole database (SQLite's BEGIN IMMEDIATE).
    virtual QString transactionLockSql() const = 0;
    // Whether an open connection is known to be lost (the server ended it, or went away): asked
    // before each statement without waiting for the server. Never on SQLite, whose file stays.
    virtual bool connectionLost(const QSqlDatabase &db) const = 0;
    // One statement that appends rows to `table`: `values` holds the texts of `columns` row after
    // row (a multiple of columns.size()), every one bound, and the rows are numbered in the order
    // given. With returningIds the statement yields the new rows' ids (one column). SQLite: a
    // multi-row VALUES list; PostgreSQL: one array of texts per column, unnested in order, so that
    // thousands of rows travel and parse as a few values.
    virtual Sql appendRowsSql(const QString &table, const QStringList &columns, const QStringList &values,
                              bool returningIds) const = 0;
    // The most rows one appendRowsSql statement, or one batch of appendRows, carries for that
    // many columns.
    virtual int appendRowsBatch(int columns) const = 0;
    // Appends the rows of `rows` (texts of `columns`) to `table` on the open database, numbered
    // in the order given; with ids, *ids receives the new rows' ids. False with *error set when
    // the database refused them. SQLite: appendRowsSql statements of appendRowsBatch rows;
    // PostgreSQL: without ids, one COPY in binary form, the cells handed to libpq as they are;
    // with ids, one statement whose values are one binary array of texts per column (nothing
    // escaped, nothing parsed as a literal in either).
    virtual bool appendRows(const QSqlDatabase &db, const QString &table, const QStringList &columns,
                            const RowBatch &rows, QList<qint64> *ids, QString *error) const = 0;
    // Statement listing the indexes of `table` that no constraint owns (the primary key's index
    // stays), one row each: the index's quoted name, then the statement that creates it again.
    // A bulk load into an empty table drops these and builds them once afterwards, which is far
    // quicker than keeping them up row by row. "" where indexes are left as they are (SQLite).
    virtual Sql rebuildableIndexesSql(const QString &table) const = 0;
    // Statements that set up the current transaction, and only it, for a bulk load followed by
    // index builds ({} where nothing needs setting).
    virtual QStringList bulkLoadSettingsSql() const = 0;
    // A reader of SELECT results through the backend's own client library on the connection of
    // `db` (which must outlive it), for long lists (see NativeRows).
    virtual std::unique_ptr<NativeRows> nativeRows(const QSqlDatabase &db) const = 0;

    // Order texts: " 升序" -> " ASC", " 降序" -> " DESC" (each with its leading blank).
    static QString translateOrder(const QString &order);
};

} // namespace data
