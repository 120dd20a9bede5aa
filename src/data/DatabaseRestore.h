#pragma once
// Restoring the network database from one of its backups (a pg_dump file of custom format).
#include <QString>

#include "data/ServerSettings.h"

namespace data {

struct RestoreResult {
    bool ok = false;
    QString error; // why it failed (for the program log)
};

// Replaces the database of `settings` with the content of `file`. pg_restore fills a new database
// under a temporary name (same encoding, collation, owner and database settings as the live one);
// only when that succeeded and the result holds the shop's tables are the other sessions on the
// live database ended and the new database given its name, the old one being dropped. On any
// failure before that swap the live database is exactly as it was and the new one is dropped.
// Works from the server's maintenance database "postgres"; the account needs the right to create
// databases and to rename the live one (its owner, or a superuser).
RestoreResult restoreDatabase(const ServerSettings &settings, const QString &file);

} // namespace data
