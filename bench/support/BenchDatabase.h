#pragma once
// A fresh shop database for a benchmark, made from db/sqlite.sql or db/postgres.sql: an empty
// qi.db in a temporary folder, or a new PostgreSQL database on the server named by
// SHOPDESK_PG_HOST / SHOPDESK_PG_PORT (user postgres) that is dropped again at the end. That
// server must run with its default durability (fsync and synchronous_commit on), as a shop's
// server does: tools/pg-throwaway.sh start-durable DIR starts one.
#include "data/Backend.h"
#include "data/Connection.h"
#include "data/ServerSettings.h"

#include <QString>
#include <QTemporaryDir>

class BenchDatabase {
public:
    BenchDatabase() = default;
    ~BenchDatabase(); // drops the PostgreSQL database; close the connections on it first
    BenchDatabase(const BenchDatabase &) = delete;
    BenchDatabase &operator=(const BenchDatabase &) = delete;

    // Makes the database (a PostgreSQL one named name_<pid>), opens connection on it and runs the
    // schema. False, with the reason on stderr, when any step fails.
    bool open(data::Connection &connection, data::Backend backend, const QString &name);

    // The server settings of the PostgreSQL database made by open, as the program's settings hold them.
    data::ServerSettings serverSettings() const;
    // The SQLite file made by open.
    QString sqlitePath() const;

    // True when SHOPDESK_PG_HOST and SHOPDESK_PG_PORT name a PostgreSQL server.
    static bool postgresConfigured();
    // Fills the open database's stock table with one statement in one transaction, then updates
    // the planner's statistics; says on stdout how long it took.
    static bool loadRows(data::Connection &connection, const QString &insertSql, int rows);

private:
    QTemporaryDir m_dir;
    QString m_pgDatabase; // the PostgreSQL database to drop
};
