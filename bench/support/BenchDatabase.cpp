#include "support/BenchDatabase.h"

#include "data/ServerSettings.h"
#include "data/Sql.h"
#include "data/SqlScript.h"
#include "data/Transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace {

const char *backendName(data::Backend backend)
{
    return backend == data::Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

QString schemaPath(data::Backend backend)
{
    return QDir(QStringLiteral(SHOPDESK_SOURCE_DIR))
        .filePath(backend == data::Backend::Sqlite ? QStringLiteral("db/sqlite.sql") : QStringLiteral("db/postgres.sql"));
}

// Runs one statement on the server's maintenance database "postgres".
bool adminExec(const QString &statement)
{
    const QString name = QStringLiteral("shopdesk-bench-admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(qEnvironmentVariable("SHOPDESK_PG_HOST"));
        db.setPort(data::Connection::postgresPort(qEnvironmentVariable("SHOPDESK_PG_PORT")));
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery query(db);
            ok = query.exec(statement);
            if (!ok)
                std::fprintf(stderr, "%s: %s\n", qPrintable(statement), qPrintable(query.lastError().text()));
        } else {
            std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(db.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

// The benchmarks measure PostgreSQL as a shop's server runs it, with the server's default
// durability: a server that does not flush its commits (the tests' throw-away cluster) is refused.
bool hasDefaultDurability(data::Connection &connection)
{
    for (const char *setting : {"fsync", "synchronous_commit"}) {
        QSqlQuery query(connection.database());
        if (!query.exec(QStringLiteral("SHOW ") + QLatin1String(setting)) || !query.next()) {
            std::fprintf(stderr, "PostgreSQL: SHOW %s: %s\n", setting, qPrintable(query.lastError().text()));
            return false;
        }
        const QString value = query.value(0).toString();
        std::printf("PostgreSQL: %s = %s\n", setting, qPrintable(value));
        if (value != QStringLiteral("on")) {
            std::fprintf(stderr,
                         "PostgreSQL runs with %s = %s: the benchmarks need the server's default durability "
                         "(start one with tools/pg-throwaway.sh start-durable DIR)\n",
                         setting, qPrintable(value));
            return false;
        }
    }
    std::fflush(stdout);
    return true;
}

} // namespace

BenchDatabase::~BenchDatabase()
{
    if (!m_pgDatabase.isEmpty())
        adminExec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgDatabase));
}

data::ServerSettings BenchDatabase::serverSettings() const
{
    return {qEnvironmentVariable("SHOPDESK_PG_HOST"), qEnvironmentVariable("SHOPDESK_PG_PORT"), m_pgDatabase,
            QStringLiteral("postgres"), QString()};
}

QString BenchDatabase::sqlitePath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("qi.db"));
}

bool BenchDatabase::postgresConfigured()
{
    return !qEnvironmentVariableIsEmpty("SHOPDESK_PG_HOST") && !qEnvironmentVariableIsEmpty("SHOPDESK_PG_PORT");
}

bool BenchDatabase::open(data::Connection &connection, data::Backend backend, const QString &name)
{
    if (backend == data::Backend::Sqlite) {
        const QString path = sqlitePath();
        if (!connection.createSqlite(path)) {
            std::fprintf(stderr, "SQLite: %s\n", qPrintable(connection.lastError()));
            return false;
        }
    } else {
        const QString database = QStringLiteral("%1_%2").arg(name).arg(QCoreApplication::applicationPid());
        if (!adminExec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0")
                           .arg(database)))
            return false;
        m_pgDatabase = database;
        if (!connection.openPostgres(serverSettings())) {
            std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(connection.lastError()));
            return false;
        }
        if (!hasDefaultDurability(connection))
            return false;
    }
    QString error;
    if (!data::runSqlScript(connection, schemaPath(backend), &error)) {
        std::fprintf(stderr, "schema: %s\n", qPrintable(error));
        return false;
    }
    return true;
}

bool BenchDatabase::loadRows(data::Connection &connection, const QString &insertSql, int rows)
{
    QElapsedTimer timer;
    timer.start();
    {
        data::Transaction t = connection.transaction();
        if (!connection.execute(data::Sql(insertSql)) || !t.commit()) {
            std::fprintf(stderr, "load: %s\n", qPrintable(connection.lastError()));
            return false;
        }
    }
    if (!connection.execute(data::Sql(QStringLiteral("ANALYZE")))) {
        std::fprintf(stderr, "ANALYZE: %s\n", qPrintable(connection.lastError()));
        return false;
    }
    std::printf("%s: %d stock rows loaded in %.1f s\n", backendName(connection.backend()), rows, timer.elapsed() / 1000.0);
    std::fflush(stdout);
    return true;
}
