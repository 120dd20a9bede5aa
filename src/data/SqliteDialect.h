#pragma once
#include "data/Dialect.h"

namespace data {

class SqliteDialect final : public Dialect {
public:
    Backend backend() const override { return Backend::Sqlite; }
    QString quoteTable(const QString &table) const override;
    ContainsSearch containsSearch(const QString &table, const QString &column, const QString &text,
                                  const QString &index, const QString &trigramTable) const override;
    QString serverDateSql() const override;
    QString asNumber(const QString &column) const override;
    QString increment(const QString &column) const override;
    QString incrementDecimal(const QString &column) const override;
    QString likeOp() const override;
    QString inStockCondition() const override;
    QString beginTransactionSql() const override;
    QString transactionLockSql() const override;
    bool connectionLost(const QSqlDatabase &db) const override;
    Sql appendRowsSql(const QString &table, const QStringList &columns, const QStringList &values,
                      bool returningIds) const override;
    int appendRowsBatch(int columns) const override;
    bool appendRows(const QSqlDatabase &db, const QString &table, const QStringList &columns, const RowBatch &rows,
                    QList<qint64> *ids, QString *error) const override;
    Sql rebuildableIndexesSql(const QString &table) const override;
    QStringList bulkLoadSettingsSql() const override;
    std::unique_ptr<NativeRows> nativeRows(const QSqlDatabase &db) const override;
};

} // namespace data
