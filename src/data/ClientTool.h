#pragma once
// Runs one of PostgreSQL's client programs (pg_dump, pg_restore) against the server of the shop's
// settings. Server, port, account, database and password reach the program in its environment
// (PGHOST, PGPORT, PGUSER, PGDATABASE, PGPASSWORD): the password never stands on a command line,
// where any user of the machine could read it. The program never asks for a password
// (--no-password): a server that wants one the settings do not hold is a failure at once, with
// the program's own words in the error. The client's major version must be at least the
// server's.
#include <QString>
#include <QStringList>

#include "data/ServerSettings.h"

namespace data {

struct ClientToolResult {
    bool ok = false;
    QString error; // what the program said on failure (or why it did not start)
};

// Runs `program` (found on PATH) with `arguments` against `database` on the server of `settings`
// and waits for it to end. ok when it ran and exited with 0.
ClientToolResult runClientTool(const QString &program, const QStringList &arguments, const ServerSettings &settings,
                               const QString &database);

} // namespace data
