#include "data/Transaction.h"

#include "data/Connection.h"

namespace data {

Transaction::Transaction(Connection *connection, bool outermost)
    : m_connection(connection), m_outermost(outermost)
{
}

Transaction::Transaction(Transaction &&other) noexcept
    : m_connection(other.m_connection), m_outermost(other.m_outermost)
{
    other.m_connection = nullptr;
}

Transaction::~Transaction()
{
    rollback();
}

bool Transaction::commit()
{
    if (!m_connection)
        return false;
    Connection *connection = m_connection;
    m_connection = nullptr;
    return connection->endTransaction(true, m_outermost);
}

void Transaction::rollback()
{
    if (!m_connection)
        return;
    Connection *connection = m_connection;
    m_connection = nullptr;
    connection->endTransaction(false, m_outermost);
}

} // namespace data
