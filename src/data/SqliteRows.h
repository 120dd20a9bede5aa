#pragma once
// Rows of a SELECT read through the SQLite library on the connection Qt's driver opened.
#include <QSqlDatabase>

#include "data/NativeRows.h"
#include "data/RepeatedTexts.h"

struct sqlite3;
struct sqlite3_stmt;

namespace data {

class SqliteRows : public NativeRows {
public:
    explicit SqliteRows(const QSqlDatabase &db);
    ~SqliteRows() override;

    Opened open(const Sql &sql) override;
    QStringList columnNames() const override { return m_names; }
    bool next() override;
    QString text(int position) override;
    QString error() const override { return m_error; }
    void close() override;

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    QStringList m_names;
    RepeatedTexts m_texts;
    QString m_error;
};

} // namespace data
