#pragma once
// The shop-database connection of the running program (one per program, shared by its windows;
// each window keeps its own record sets). Every statement runs with its values bound; every
// failed statement is logged with its text and the database error (qWarning and the program log).
//
// A PostgreSQL connection that is found lost (the server was restarted, a restore ended every
// session, the network went away) is opened again with the settings of its last open before the
// next statement that runs outside a transaction, and that statement goes on. A statement inside a
// transaction is never replayed: it fails, and with it the whole transaction. A reopen that fails
// fails the statement with the reason; the next statement tries again. close() ends this.
//
// Bound texts reach the database as they are, so a text read from a stored row and bound again
// finds that row (the fields drop control characters as they are typed; rows stored before they
// did keep theirs). Only a NUL on PostgreSQL, which no text there can hold, is left out, and logged.
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>

#include "data/Backend.h"
#include "data/ColumnLayout.h"
#include "data/Dialect.h"
#include "data/ServerSettings.h"
#include "data/Sql.h"
#include "data/Transaction.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace data {

class RowReader;

class Connection {
public:
    Connection();
    ~Connection(); // closes
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing SQLite database file. A missing file, or one that does not start with the
    // SQLite header (an empty file, say), is an error, and so is a database that lacks one of
    // requiredTables: such a file is left byte for byte as it was, and no file is created.
    // Runs in WAL mode with a busy timeout, except a database whose schema version is newer than
    // this program's: that one is left in its journal mode, so that refusing it writes nothing.
    bool openSqlite(const QString &path, const QStringList &requiredTables = {});
    // Makes a new, empty SQLite database file (never over an existing one) and opens it as
    // openSqlite does. For set-up tools and tests: the program opens only the file it finds.
    bool createSqlite(const QString &path);
    // Opens a PostgreSQL database: ip and port apart, "" port = 5432, short connect timeout,
    // client encoding UTF8. An invalid port is an error.
    bool openPostgres(const ServerSettings &settings);
    void close();
    // Open, or lost and opened again at the next statement (see above).
    bool isOpen() const;

    const Dialect &dialect() const; // of the backend last opened (SQLite before any open)
    Backend backend() const;

    // Runs a statement that returns no rows. False (and a failure-log entry) on error or when
    // the connection is not open.
    bool execute(const Sql &sql);
    int numRowsAffected() const; // of the last execute; -1 after a failure
    // Appends the rows of a batch to `table` (see Dialect::appendRows); with ids, *ids receives
    // the new rows' ids in the order of the rows. A refusal is a failed statement like any other.
    bool appendRows(const QString &table, const QStringList &columns, const RowBatch &rows, QList<qint64> *ids = nullptr);
    QString lastError() const;   // of the last statement or open; "" after a success

    // Begins a transaction (see Transaction for nesting). A guard that could not begin is
    // inactive and its commit() returns false.
    Transaction transaction();
    bool inTransaction() const { return m_transactionDepth > 0; }
    // Inside a transaction: waits until no other connection's transaction holds the lock `key`
    // and holds it until this transaction ends (see Dialect::transactionLockSql). False, logged,
    // outside a transaction or when the statement failed.
    bool holdTransactionLock(qint64 key);

    QSqlDatabase database() const;
    QString connectionName() const { return m_name; }

    // The port an openPostgres() uses for a port text: "" -> 5432; -1 when the text is no port.
    static int postgresPort(const QString &portText);
    // Seconds PostgreSQL waits for the server at open.
    static constexpr int connectTimeoutSeconds = 5;
    // Milliseconds SQLite waits for a lock held by another connection.
    static constexpr int busyTimeoutMs = 5000;
    // Why a statement fails while a RowReader reads its rows on the connection.
    static QString readerOpenError();

private:
    friend class RecordSet;
    friend class RowReader;
    friend class Transaction;

    // A prepared statement and the column layout of its last result.
    struct Statement {
        QSqlQuery query;
        std::shared_ptr<const ColumnLayout> layout;
        explicit Statement(const QSqlDatabase &db) : query(db) { query.setForwardOnly(true); }
        // The column layout of the rows the query just produced, made anew only when its columns changed.
        std::shared_ptr<const ColumnLayout> currentLayout()
        {
            const QSqlRecord record = query.record();
            if (!layout || !layout->matches(record))
                layout = std::make_shared<const ColumnLayout>(record);
            return layout;
        }
    };
    // The statement to run for sql: sql itself, or on PostgreSQL (logged) a copy in `cleaned` whose
    // bound texts lost their NUL characters.
    const Sql &admitted(const Sql &sql, Sql &cleaned);
    // Whether the driver's connection is open and not known to be lost.
    bool live() const;
    // Before a statement: true when it can run. Outside a transaction a lost connection is opened
    // again first; otherwise (and when the reopen fails) the failure is recorded against what.
    bool ready(const QString &what);
    // The text of a statement's failure: the database's own, or, when the connection turned out
    // lost, that said in Chinese with the database's text as the reason.
    QString statementError(const QSqlError &error) const;
    // Runs sql on a (cached) prepared statement; logs and records a failure. Returns the statement
    // (its query active on success) or null when it could not run.
    Statement *run(const Sql &sql);
    void fail(const QString &what, const QString &error);
    // True when no reader is reading rows on the connection; otherwise the failure is recorded
    // against what (see RowReader).
    bool noReaderOpen(const QString &what);
    // Ends the open reader, if any, before its last row: it says it failed, with reason.
    void endReader(const QString &reason);
    bool endTransaction(bool commit, bool outermost);
    bool rawExec(const QString &text);
    void clearStatementCache();

    QString m_name;
    Backend m_backend = Backend::Sqlite;
    ServerSettings m_reopenSettings; // of the last PostgreSQL open that succeeded
    bool m_reopenable = false;       // opened on PostgreSQL and not closed since
    QString m_lastError;
    int m_rowsAffected = -1;
    int m_transactionDepth = 0;
    bool m_rollbackOnly = false;
    QHash<QString, std::shared_ptr<Statement>> m_statements; // prepared statements by text
    std::shared_ptr<Statement> m_direct;                    // the last statement without values
    RowReader *m_reader = nullptr;                          // the reader reading its rows, if any
    QString m_firstFailure; // the first failure of the open transaction's statements
};

} // namespace data
