#pragma once
// The rows of one SELECT read one at a time, as the server or the file hands them over, without
// keeping them: for long lists that are turned into lines as they are read (a record set keeps
// every row as a value first, which for 100,000 rows costs more than the lines themselves).
// Texts are those of RecordSet::textOf. A SELECT is read through the backend's own client library
// where it can be (see NativeRows), any other statement through the driver.
// A reader is open from an open() that gives rows until it has read the last row, failed, or
// closed. While it is open its connection runs no other statement: one asked for fails with
// Connection::readerOpenError (logged), and the reader reads on. Ending the transaction it reads
// in, or closing the connection, ends the reader first: it then says it failed.
#include <QString>
#include <memory>

#include "data/ColumnLayout.h"
#include "data/Sql.h"

class QSqlQuery;

namespace data {

class Connection;
class NativeRows;

class RowReader {
public:
    explicit RowReader(Connection &connection); // the connection must outlive the reader
    ~RowReader();
    RowReader(const RowReader &) = delete;
    RowReader &operator=(const RowReader &) = delete;

    // Runs the statement; no row is current until next() (any other statement has no rows). False
    // (and a failure-log entry) when it failed or the connection is not open.
    bool open(const Sql &sql);
    // Makes the next row current; false after the last row and when reading failed (failed()).
    bool next();
    // True when the statement or the reading of a row failed: the rows read are not all there are.
    bool failed() const { return m_failed; }
    QString lastError() const { return m_lastError; }
    void close();

    // Position of a column (any letter case); -1 when the result has no such column.
    int columnIndex(const QString &column) const;
    // The current row's text at a position; "" with no current row or no such position.
    QString text(int position) const;

private:
    Connection *m_connection;
    // Runs sql through the native reader: true when it ran (or failed: m_failed), false when the
    // driver is to run it.
    bool openNative(const Sql &sql);
    // Records the native reader's failure of the statement `what` (logged, said as the connection says it).
    void failNative(const QString &what);
    // Rows are being read: the connection runs nothing else until close().
    void holdConnection();
    // The connection ends the reader before its last row (see Connection::endReader).
    void abandon(const QString &reason);
    friend class Connection;

    QSqlQuery *m_query = nullptr; // the connection's statement while rows are being read
    std::unique_ptr<NativeRows> m_native; // the native reader, while rows are being read through it
    std::shared_ptr<const ColumnLayout> m_layout;
    int m_columnCount = 0;
    bool m_onRow = false;
    bool m_reading = false; // rows are being read through m_native
    bool m_failed = false;
    QString m_lastError;
    QString m_statementText; // for the failure log
};

} // namespace data
