#pragma once
// Runs a schema file (db/sqlite.sql, db/postgres.sql) statement by statement.
#include <QString>
#include <QStringList>

namespace data {

class Connection;

// Splits a script into statements: a statement ends at a ';' that ends a line (trailing blanks
// and a trailing "-- comment" allowed). Lines that hold only a "--" comment are dropped; a
// dollar-quoted body ($$ ... $$) and a CREATE TRIGGER ... END; block stay whole.
QStringList splitSqlScript(const QString &script);
// Runs every statement of the UTF-8 file in one transaction (its own BEGIN/COMMIT lines are skipped). False, with the failing statement
// and the database error in *error, when one fails (nothing of the script is kept then).
bool runSqlScript(Connection &connection, const QString &path, QString *error = nullptr);

} // namespace data
