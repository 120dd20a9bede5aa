#include "data/RowReader.h"

#include "data/Connection.h"
#include "data/Dialect.h"
#include "data/NativeRows.h"
#include "data/RecordSet.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace data {

RowReader::RowReader(Connection &connection) : m_connection(&connection) {}

RowReader::~RowReader()
{
    close();
}

void RowReader::close()
{
    if (m_connection->m_reader == this)
        m_connection->m_reader = nullptr;
    if (m_query)
        m_query->finish(); // releases the read lock of SQLite at once
    m_query = nullptr;
    if (m_native)
        m_native->close();
    m_reading = false;
    m_onRow = false;
}

bool RowReader::open(const Sql &given)
{
    close();
    Sql cleaned;
    const Sql &sql = m_connection->admitted(given, cleaned);
    m_layout.reset();
    m_columnCount = 0;
    m_failed = false;
    m_lastError.clear();
    if (!m_connection->noReaderOpen(sql.display())) {
        m_failed = true;
        m_lastError = m_connection->lastError();
        return false;
    }
    if (openNative(sql))
        return !m_failed;
    Connection::Statement *statement = m_connection->run(sql);
    if (!statement) {
        m_failed = true;
        m_lastError = m_connection->lastError();
        return false;
    }
    QSqlQuery *query = &statement->query;
    if (!query->isSelect()) { // it has run, as on a record set; it has no rows
        m_connection->m_rowsAffected = query->numRowsAffected();
        query->finish();
        return true;
    }
    m_layout = statement->currentLayout();
    m_columnCount = m_layout->count();
    m_query = query;
    m_statementText = sql.display();
    holdConnection();
    return true;
}

void RowReader::holdConnection()
{
    m_connection->m_reader = this;
}

void RowReader::abandon(const QString &reason)
{
    close();
    m_failed = true;
    m_connection->fail(m_statementText, reason);
    m_lastError = reason;
}

bool RowReader::openNative(const Sql &sql)
{
    if (!m_connection->ready(sql.display())) {
        m_failed = true;
        m_lastError = m_connection->lastError();
        return true;
    }
    // Made anew each time: a reconnect since the last statement gives the driver another handle.
    m_native = m_connection->dialect().nativeRows(m_connection->database());
    switch (m_native->open(sql)) {
    case NativeRows::Opened::NotTaken:
        return false;
    case NativeRows::Opened::Failed:
        m_connection->m_rowsAffected = -1;
        failNative(sql.display());
        return true;
    case NativeRows::Opened::Yes:
        break;
    }
    m_connection->m_rowsAffected = -1;
    m_connection->m_lastError.clear();
    m_layout = std::make_shared<const ColumnLayout>(m_native->columnNames());
    m_columnCount = m_layout->count();
    m_statementText = sql.display();
    m_reading = true;
    holdConnection();
    return true;
}

void RowReader::failNative(const QString &what)
{
    m_failed = true;
    m_connection->fail(what, m_connection->statementError(QSqlError(QString(), m_native->error(), QSqlError::StatementError)));
    m_lastError = m_connection->lastError();
}

bool RowReader::next()
{
    if (m_reading && m_native) {
        if (m_native->next()) {
            m_onRow = true;
            return true;
        }
        const bool failed = !m_native->error().isEmpty();
        close();
        if (failed)
            failNative(m_statementText);
        return false;
    }
    if (!m_query)
        return false;
    if (m_query->next()) {
        m_onRow = true;
        return true;
    }
    const QSqlError error = m_query->lastError();
    close();
    if (error.type() != QSqlError::NoError) {
        m_failed = true;
        m_connection->fail(m_statementText, error.text());
        m_lastError = m_connection->lastError();
    }
    return false;
}

int RowReader::columnIndex(const QString &column) const
{
    return m_layout ? m_layout->indexOf(column) : -1;
}

QString RowReader::text(int position) const
{
    if (!m_onRow || position < 0 || position >= m_columnCount)
        return QString();
    if (m_reading)
        return m_native->text(position);
    return RecordSet::textOf(m_query->value(position));
}

} // namespace data
