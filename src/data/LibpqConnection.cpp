#include "data/LibpqConnection.h"

#include <QSqlDriver>
#include <QVariant>

namespace data {

pg_conn *libpqConnection(const QSqlDatabase &db)
{
    const QSqlDriver *driver = db.driver();
    if (!driver)
        return nullptr;
    const QVariant handle = driver->handle();
    // Qt names the handle's type after libpq's struct ("pg_conn*"); older versions said "PGconn*".
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<pg_conn *const *>(handle.constData());
}

} // namespace data
