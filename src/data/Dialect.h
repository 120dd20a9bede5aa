#pragma once
// Everything that differs between the embedded SQLite file and the PostgreSQL server lives
// in one dialect object per backend. Add a new backend difference here, never in a caller.
#include <QString>

#include "data/Backend.h"
#include "data/Sql.h"

namespace data {

class Dialect {
public:
    virtual ~Dialect() = default;

    // The dialect object of a backend (one shared instance each).
    static const Dialect &forBackend(Backend backend);

    virtual Backend backend() const = 0;
    // Table name as the builders write it: "[t]" on SQLite, "\"t\"" on PostgreSQL.
    virtual QString quoteTable(const QString &table) const = 0;
    // The table reference of a contains-search («column like '%k%'») on a column that leads an
    // index after its equality columns: on SQLite "[t] INDEXED BY idx", so that the pattern is
    // tested on the index entries before any row is fetched (the planner would otherwise pick
    // any index of the equality column and read every row of it); on PostgreSQL the plain
    // quoted name (the planner chooses the trigram indexes itself).
    virtual QString searchTable(const QString &table, const QString &indexName) const = 0;
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

    // Order texts: " 升序" -> " ASC", " 降序" -> " DESC" (each with its leading blank).
    static QString translateOrder(const QString &order);
};

} // namespace data
