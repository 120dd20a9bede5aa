#pragma once
// libpq's own connection under a connection of Qt's PostgreSQL driver, for the few things done
// with libpq itself (telling a lost session, bulk appends, reading long lists).
#include <QSqlDatabase>

struct pg_conn;

namespace data {

// Null when the driver is not Qt's PostgreSQL one or holds no connection.
pg_conn *libpqConnection(const QSqlDatabase &db);

} // namespace data
