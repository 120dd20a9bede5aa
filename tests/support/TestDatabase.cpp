#include "support/TestDatabase.h"

#include "data/RecordSet.h"
#include "data/SqlScript.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

namespace testsupport {

namespace {

QAtomicInt databaseCounter;

} // namespace

QString serverDate(data::Connection &connection)
{
    data::RecordSet rs(connection);
    EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT to_char(CURRENT_DATE, 'YYYY-MM-DD') AS d"))))
        << connection.lastError().toStdString();
    return rs.text(QStringLiteral("d"));
}

const char *TestDatabase::backendName(data::Backend backend)
{
    return backend == data::Backend::Postgres ? "Postgres" : "Sqlite";
}

std::string backendParamName(const ::testing::TestParamInfo<data::Backend> &info)
{
    return TestDatabase::backendName(info.param);
}

QString TestDatabase::schemaPath(data::Backend backend)
{
    return QDir(QStringLiteral(SHOPDESK_SOURCE_DIR))
        .filePath(backend == data::Backend::Postgres ? QStringLiteral("db/postgres.sql") : QStringLiteral("db/sqlite.sql"));
}

QString TestDatabase::firstReleaseSchemaPath(data::Backend backend)
{
    return QDir(QStringLiteral(SHOPDESK_SOURCE_DIR))
        .filePath(backend == data::Backend::Postgres ? QStringLiteral("tests/data/fixtures/schema-v1/postgres.sql")
                                                     : QStringLiteral("tests/data/fixtures/schema-v1/sqlite.sql"));
}

void TestDatabase::runSchema(Content content)
{
    if (content == Empty)
        return;
    QString error;
    const QString path = content == FirstRelease ? firstReleaseSchemaPath(m_backend) : schemaPath(m_backend);
    if (!data::runSqlScript(*m_connection, path, &error))
        m_error = error;
}

bool TestDatabase::testServer(data::ServerSettings *settings, QString *error)
{
    const QString host = qEnvironmentVariable("SHOPDESK_PG_HOST");
    const QString port = qEnvironmentVariable("SHOPDESK_PG_PORT");
    if (host.isEmpty() || port.isEmpty()) {
        if (error)
            *error = QStringLiteral(
                "No PostgreSQL server for the network-mode tests: set SHOPDESK_PG_HOST and SHOPDESK_PG_PORT "
                "(user postgres, trust authentication), or run ./test.sh, which starts one.");
        return false;
    }
    settings->ip = host;
    settings->port = port;
    settings->user = QStringLiteral("postgres");
    settings->password.clear();
    settings->data = QStringLiteral("postgres");
    return true;
}

TestDatabase::TestDatabase(data::Backend backend, Content content)
    : m_backend(backend), m_connection(std::make_unique<data::Connection>())
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot make a temporary folder");
        return;
    }
    if (content == Shop && !QFileInfo::exists(schemaPath(backend))) {
        m_error = QStringLiteral("schema file missing: ") + schemaPath(backend);
        return;
    }
    if (backend == data::Backend::Sqlite)
        makeSqlite(content);
    else
        makePostgres(content);
}

TestDatabase::~TestDatabase()
{
    m_connection->close();
    if (!m_databaseName.isEmpty()) {
        QString error;
        if (!adminExec(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_databaseName), &error))
            qWarning().noquote() << "cannot drop the test database" << m_databaseName << error;
    }
}

QString TestDatabase::dir() const
{
    return m_dir.path();
}

QString TestDatabase::sqlitePath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("qi.db"));
}

void TestDatabase::makeSqlite(Content content)
{
    if (!m_connection->createSqlite(sqlitePath())) {
        m_error = QStringLiteral("cannot create ") + sqlitePath() + QStringLiteral(": ") + m_connection->lastError();
        return;
    }
    runSchema(content);
}

bool TestDatabase::adminExec(const QString &statement, QString *error) const
{
    data::ServerSettings admin;
    if (!testServer(&admin, error))
        return false;
    const QString name = QStringLiteral("shopdesk/test-admin/%1").arg(databaseCounter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(admin.ip);
        db.setPort(data::Connection::postgresPort(admin.port));
        db.setUserName(admin.user);
        db.setDatabaseName(admin.data);
        db.setConnectOptions(QStringLiteral("connect_timeout=5"));
        if (!db.open()) {
            if (error)
                *error = QStringLiteral("cannot reach the PostgreSQL test server %1:%2: %3")
                             .arg(admin.ip, admin.port, db.lastError().text());
        } else {
            QSqlQuery query(db);
            ok = query.exec(statement);
            if (!ok && error)
                *error = statement + QStringLiteral(": ") + query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

void TestDatabase::makePostgres(Content content)
{
    if (!testServer(&m_settings, &m_error))
        return;
    const QString name = QStringLiteral("shopdesk_test_%1_%2_%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(databaseCounter.fetchAndAddRelaxed(1))
                             .arg(QDateTime::currentMSecsSinceEpoch() % 1000000);
    QString error;
    if (!adminExec(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0")
                       .arg(name),
                   &error)) {
        m_error = error;
        return;
    }
    m_databaseName = name;
    m_settings.data = name;
    if (!m_connection->openPostgres(m_settings)) {
        m_error = QStringLiteral("cannot open the test database ") + name + QStringLiteral(": ")
                  + m_connection->lastError();
        return;
    }
    runSchema(content);
}

bool TestDatabase::openAnother(data::Connection &other) const
{
    if (m_backend == data::Backend::Sqlite)
        return other.openSqlite(sqlitePath());
    return other.openPostgres(m_settings);
}

int TestDatabase::waitingForLocks(data::Connection &connection)
{
    data::RecordSet rs(connection);
    if (!rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM pg_locks WHERE NOT granted "
                                          "AND database = (SELECT oid FROM pg_database WHERE datname = current_database())"))))
        return -1;
    return int(rs.integer(QStringLiteral("n")));
}

bool TestDatabase::endSession(data::Connection &admin, qint64 pid)
{
    data::RecordSet rs(admin);
    if (!rs.open(data::Sql(QStringLiteral("SELECT pg_terminate_backend(CAST(? AS integer))"), {pid})))
        return false;
    for (int poll = 0; poll < 3000; ++poll) {
        if (!rs.open(data::Sql(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = CAST(? AS integer)"), {pid})))
            return false;
        if (rs.integer(0) == 0)
            return true;
        QThread::msleep(5);
    }
    return false;
}

bool TestDatabase::storeAsIs(data::Connection &connection, const QString &table, const data::Pairs &pairs, QString *error)
{
    QStringList columns, marks;
    for (const auto &pair : pairs) {
        columns << pair.first;
        marks << QStringLiteral("?");
    }
    QSqlQuery query(connection.database());
    const QString text = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(connection.dialect().quoteTable(table), columns.join(u','), marks.join(u','));
    bool done = query.prepare(text);
    for (qsizetype i = 0; done && i < pairs.size(); ++i)
        query.bindValue(int(i), pairs.at(i).second);
    done = done && query.exec();
    if (!done && error)
        *error = query.lastError().text();
    return done;
}

void BothBackends::SetUp()
{
    m_db = std::make_unique<TestDatabase>(GetParam(), content());
    ASSERT_TRUE(m_db->ok()) << TestDatabase::backendName(GetParam()) << " test database: "
                            << m_db->error().toStdString();
}

void BothBackends::TearDown()
{
    m_db.reset();
}

} // namespace testsupport
