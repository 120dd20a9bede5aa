#pragma once
// Restoring the network database from one of its backups (a pg_dump file of custom format).
#include <QString>
#include <functional>

#include "data/ServerSettings.h"

namespace data {

struct RestoreResult {
    bool ok = false;
    QString error; // why it failed (for the program log)
};

// Replaces the database of `settings` with the content of `file`. pg_restore fills a new database
// under a temporary name (same encoding, collation, owner and database settings as the live one);
// only when pg_restore succeeded and the result holds the shop's tables are the other sessions on
// the live database ended and the two databases swapped: one transaction renames the live one out
// of the way and gives the new one its name, so the shop's name always belongs to a database that
// takes connections (the live one until the commit, the new one after it), whatever moment the
// program or its connection dies at. The old database is dropped after the commit. On any failure
// before the commit the live database is exactly as it was and the new one is dropped.
// Works from the server's maintenance database "postgres"; the account needs the right to create
// databases and to rename the live one (its owner, or a superuser).
RestoreResult restoreDatabase(const ServerSettings &settings, const QString &file);

// The steps of a restore, in order, each reported once it is done. The swap's two renames are
// done but not yet committed when LiveRenamed and NewRenamed are reported.
enum class RestoreStep { NewCreated, NewFilled, SessionsEnded, LiveRenamed, NewRenamed, Swapped, OldDropped };
// Called after each step of every restore (tests stop the program there); none by default.
void setRestoreStepObserver(std::function<void(RestoreStep)> observer);

} // namespace data
