#pragma once
// Rows of a SELECT read through libpq on the connection Qt's driver opened, one row at a time as
// the server sends them (libpq's single-row mode), so the first rows are read while the server
// is still sending the rest. The rows end with the server's closing result; results that stop
// before it (another statement run on the connection meanwhile drops them) are a failure.
#include <QSqlDatabase>

#include "data/NativeRows.h"
#include "data/RepeatedTexts.h"

struct pg_conn;
struct pg_result;

namespace data {

class PostgresRows : public NativeRows {
public:
    explicit PostgresRows(const QSqlDatabase &db);
    ~PostgresRows() override;

    Opened open(const Sql &sql) override;
    QStringList columnNames() const override { return m_names; }
    bool next() override;
    QString text(int position) override;
    QString error() const override { return m_error; }
    void close() override;

    // The statement with its ? placeholders numbered as the server wants them ($1, $2, ...);
    // a ? inside a quoted text or name stays. *count is the number of placeholders.
    static QByteArray numberedPlaceholders(const QString &text, int *count);

private:
    // Takes the server's next result into m_result; false when there is none.
    bool fetch();
    // Reads and drops whatever the server still sends for the statement.
    void drain();

    pg_conn *m_connection = nullptr;
    pg_result *m_result = nullptr; // the current row's (or the first, not yet made current)
    bool m_running = false;        // the statement's results are not all read
    bool m_complete = false;       // the server's closing result of the statement has come
    bool m_rowPending = false;     // m_result holds a row next() has not made current yet
    bool m_onRow = false;
    int m_row = 0; // the current row within m_result
    QStringList m_names;
    RepeatedTexts m_texts;
    QString m_error;
};

} // namespace data
