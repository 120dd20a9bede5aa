#pragma once
// The rows of one statement. Opening it with a SELECT buffers every row (so the row count is
// known on every backend) and makes the first row current; any other statement clears it.
// Reads give texts in the classic forms: NULL -> "", integers as digits, doubles fixed with
// 8 decimals, date-times 'YYYY-MM-DD HH:MM:SS', booleans TRUE/FALSE, bytes "[BLOB]".
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

#include "data/ColumnLayout.h"

#include "data/Sql.h"

namespace data {

class Connection;

class RecordSet {
public:
    explicit RecordSet(Connection &connection); // the connection must outlive the record set

    // Runs the statement. SELECT: buffers the rows, first row current. Other statements: rows
    // cleared (rowCount() -1). False (and a failure-log entry) when the statement failed or the
    // connection is not open; the record set then holds no result.
    bool open(const Sql &sql);
    void clear(); // holds no result

    QString text(const QString &column) const; // any letter case; "" with no current row or no such column
    QString text(int position) const;          // 0 = first column
    qint64 integer(const QString &column) const; // the leading whole number of the text, 0 when none
    qint64 integer(int position) const;
    QVariant value(const QString &column) const; // the raw value (invalid with no current row)
    bool hasColumn(const QString &column) const;
    QStringList columns() const;

    void moveFirst();
    void moveNext();
    bool pastLast() const; // true when no row is current
    int position() const { return m_current; }

    int rowCount() const;          // rows of the last SELECT; -1 when it holds no result
    int numRowsAffected() const;   // of the last non-SELECT; -1 otherwise
    QString lastError() const { return m_lastError; }

    // The text form of a stored value (see the class comment).
    static QString textOf(const QVariant &value);
    // The leading whole number of a text ("12abc" -> 12, " -3" -> -3, "" -> 0).
    static qint64 leadingInteger(const QString &text);

private:
    int columnIndex(const QString &column) const;
    const QVariant *cell(int position) const;

    Connection *m_connection;
    std::shared_ptr<const ColumnLayout> m_layout; // null when it holds no result
    int m_columnCount = 0;
    QVector<QVariant> m_cells;   // rows one after another
    int m_rows = -1;
    int m_current = -1;
    int m_rowsAffected = -1;
    QString m_lastError;
};

} // namespace data
