#pragma once
// The version of a shop database's schema and its upgrade. Each backend keeps the version in the
// database: SQLite in PRAGMA user_version, PostgreSQL in the one row of schema_version. A database
// of the first release carries neither and counts as version 1. The schema scripts db/sqlite.sql and
// db/postgres.sql (the whole current schema) and the upgrade scripts db/upgrade/<backend>-NNN.sql
// (NNN: the version a script leads to) are compiled into the program as resources.
#include <QString>
#include <QStringList>

#include "data/Backend.h"

namespace data {

class Connection;

// The schema version this program reads and writes.
inline constexpr int currentSchemaVersion = 2;

// The tables every shop database has held since the first release.
const QStringList &shopTables();

// The compiled-in schema script of a backend.
QString schemaScriptPath(Backend backend);
// The folder of the compiled-in upgrade scripts, and the script in a folder that takes a database
// of version n - 1 to version n.
QString upgradeScriptFolder();
QString upgradeScriptPath(const QString &folder, Backend backend, int version);

// The open database's schema version; -1 when it cannot be read.
int schemaVersion(Connection &connection);
// Whether the open database holds every table of shopTables().
bool hasShopTables(Connection &connection);

struct SchemaUpgrade {
    enum Outcome {
        UpToDate,        // nothing to do
        Upgraded,        // brought from `from` to `to`
        NotShopDatabase, // not a shop database: nothing was touched
        Newer,           // made by a newer program: nothing was touched
        Failed,          // a script failed (error): the database is as it was
    };
    Outcome outcome = UpToDate;
    int from = 0;
    int to = 0;
    QString error;
};

// Brings the open shop database to the target version: runs the upgrade scripts of the folder from
// its version + 1 to target in order, all in one transaction; each script must leave the database
// at its own version. Refuses a database newer than the target and touches nothing then.
SchemaUpgrade upgradeSchema(Connection &connection, int target = currentSchemaVersion,
                            const QString &folder = upgradeScriptFolder());

// The message for a database made by a newer program.
QString newerSchemaText(int found, int supported);
// The message for a failed upgrade.
QString upgradeFailedText(int from, int to, const QString &error);

} // namespace data
