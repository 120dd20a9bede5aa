#pragma once
// A fresh shop database for one test, on either backend.
//
// SQLite: a new file qi.db in a temporary folder, made from db/sqlite.sql.
// PostgreSQL: a new database with a unique name (UTF8, C collation) on the server named by
// SHOPDESK_PG_HOST / SHOPDESK_PG_PORT (user postgres), made from db/postgres.sql and dropped at
// the end. Without that configuration the database is not made and ok() is false with a clear
// message: network-mode tests fail, they never skip.
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

#include "data/Backend.h"
#include "data/Connection.h"
#include "data/ServerSettings.h"
#include "data/Sql.h"

namespace data {
// Test names and messages show the backend by name.
inline void PrintTo(Backend backend, std::ostream *os)
{
    *os << (backend == Backend::Postgres ? "Postgres" : "Sqlite");
}
} // namespace data

namespace testsupport {

class TestDatabase {
public:
    // The shop schema and shipped rows; no tables at all; or the schema and shipped rows of the
    // program's first release (schema version 1, tests/data/fixtures/schema-v1/), for upgrades.
    enum Content { Shop, Empty, FirstRelease };

    explicit TestDatabase(data::Backend backend, Content content = Shop);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    data::Backend backend() const { return m_backend; }
    // Open on the new database.
    data::Connection &connection() { return *m_connection; }

    // The temporary folder (also usable as the program directory); the SQLite file is dir()/qi.db.
    QString dir() const;
    QString sqlitePath() const;
    // Where the PostgreSQL database is (empty settings on SQLite).
    data::ServerSettings serverSettings() const { return m_settings; }
    // Opens another connection on the same database.
    bool openAnother(data::Connection &other) const;
    // PostgreSQL: how many backends of the database the connection is on wait for a lock another
    // transaction holds (a test of two workstations waits for both to queue).
    static int waitingForLocks(data::Connection &connection);
    // PostgreSQL: ends the session `pid` from the server, through `admin` (another session), and
    // waits until the server has let it go (pg_terminate_backend only asks). False when it did not
    // go within 15 s or a statement failed.
    static bool endSession(data::Connection &admin, qint64 pid);
    // Stores a row straight through the driver, past the program's data layer, with its texts as
    // given: a row as a database written by an earlier release (or another program) may hold it.
    // False, with *error, when the insert failed.
    static bool storeAsIs(data::Connection &connection, const QString &table, const data::Pairs &pairs, QString *error);

    // The schema file of a backend in the source tree, and the first release's copy of it.
    static QString schemaPath(data::Backend backend);
    static QString firstReleaseSchemaPath(data::Backend backend);
    // The test server from SHOPDESK_PG_HOST / SHOPDESK_PG_PORT; false, with a message, when unset.
    static bool testServer(data::ServerSettings *settings, QString *error);
    static const char *backendName(data::Backend backend);

private:
    void makeSqlite(Content content);
    void makePostgres(Content content);
    void runSchema(Content content);
    bool adminExec(const QString &statement, QString *error) const;

    data::Backend m_backend;
    QString m_error;
    QTemporaryDir m_dir;
    data::ServerSettings m_settings;
    QString m_databaseName; // PostgreSQL database to drop
    std::unique_ptr<data::Connection> m_connection;
};

// One test body on both backends:
//   class MyTest : public testsupport::BothBackends {};
//   TEST_P(MyTest, Works) { ASSERT_TRUE(conn().execute(...)); }
//   SHOPDESK_BOTH_BACKENDS(MyTest);
// SetUp makes a fresh database of content() (the shop schema unless overridden) and fails the
// test when it cannot.
class BothBackends : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual TestDatabase::Content content() const { return TestDatabase::Shop; }

    TestDatabase &db() { return *m_db; }
    data::Connection &conn() { return m_db->connection(); }
    const data::Dialect &dialect() { return m_db->connection().dialect(); }
    data::Backend backend() const { return GetParam(); }

private:
    std::unique_ptr<TestDatabase> m_db;
};

std::string backendParamName(const ::testing::TestParamInfo<data::Backend> &info);

// The server's date 'YYYY-MM-DD' in the session's time zone, read with the test's own statement
// (PostgreSQL). Read before and after an action, it gives the dates the action may have written
// by the server's clock (two only when the action ran across midnight).
QString serverDate(data::Connection &connection);

} // namespace testsupport

#define SHOPDESK_BOTH_BACKENDS(Suite)                                                                   \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite,                                                           \
                             ::testing::Values(data::Backend::Sqlite, data::Backend::Postgres),         \
                             testsupport::backendParamName)
