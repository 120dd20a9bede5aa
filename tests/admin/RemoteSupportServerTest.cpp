// The remote update and support server: its settings, the version comparison and the update check
// against a real server.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "admin/RemoteSupportServer.h"
#include "data/Connection.h"
#include "data/SettingsFile.h"
#include "data/SqlScript.h"
#include "support/TestDatabase.h"

using admin::RemoteSupportServer;

namespace {

TEST(RemoteSupportServer, VersionComparison)
{
    const QString program = QStringLiteral("2.0");
    for (const QString &published : {QString(), QStringLiteral("2.0"), QStringLiteral("1.9"), QStringLiteral("abc")})
        EXPECT_FALSE(RemoteSupportServer::isNewerVersion(program, published)) << published.toStdString();
    for (const QString &published : {QStringLiteral("2.000001"), QStringLiteral("2.1"), QStringLiteral("3")})
        EXPECT_TRUE(RemoteSupportServer::isNewerVersion(program, published)) << published.toStdString();
}

TEST(RemoteSupportServer, NotConfiguredMeansNothingIsOpened)
{
    RemoteSupportServer server;
    data::ServerSettings settings;
    settings.ip = QStringLiteral("127.0.0.1"); // no database name: not configured
    EXPECT_FALSE(RemoteSupportServer::isConfigured(settings));
    EXPECT_FALSE(server.open(settings));
    EXPECT_TRUE(server.connection().lastError().isEmpty()) << "no connection was attempted";
    EXPECT_EQ(server.publishedVersion().version, QString());

    QTemporaryDir dir;
    EXPECT_EQ(RemoteSupportServer::newerVersionAddress(SettingsFile::inDirectory(dir.path()), QStringLiteral("2.0")),
              std::nullopt);
}

TEST(UpdateCheck, NewerOlderAndMissingVersions)
{
    QTemporaryDir dir;
    const SettingsFile ini = SettingsFile::inDirectory(dir.path());
    testsupport::TestDatabase remote(data::Backend::Postgres, testsupport::TestDatabase::Empty);
    ASSERT_TRUE(remote.ok()) << remote.error().toStdString();
    ASSERT_TRUE(data::runSqlScript(remote.connection(), QStringLiteral(SHOPDESK_SOURCE_DIR "/db/remote.sql")));
    ASSERT_TRUE(RemoteSupportServer::writeSettings(ini, remote.serverSettings()));

    const QString address = QStringLiteral("https://example.com/shopdesk/2.1");
    struct Case
    {
        const char *name;
        QStringList versions; // rows of b升级, oldest first; the newest counts
        bool announced;
    };
    const Case cases[] = {
        {"no row", {}, false},
        {"older", {QStringLiteral("1.9")}, false},
        {"same", {QStringLiteral("2.0")}, false},
        {"newer", {QStringLiteral("1.5"), QStringLiteral("2.1")}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(remote.connection().execute(data::Sql("DELETE FROM b升级")));
        for (const QString &v : c.versions)
            ASSERT_TRUE(remote.connection().execute(
                data::Sql(QStringLiteral("INSERT INTO b升级 (版本号, 升级地址) VALUES (?, ?)"), {v, address})));
        const std::optional<QString> newer = RemoteSupportServer::newerVersionAddress(ini, QStringLiteral("2.0"));
        if (c.announced)
            EXPECT_EQ(newer, address);
        else
            EXPECT_EQ(newer, std::nullopt);
    }
}

TEST(UpdateCheck, UnreachableRemoteServerAnnouncesNothing)
{
    QTemporaryDir dir;
    const SettingsFile ini = SettingsFile::inDirectory(dir.path());
    data::ServerSettings remote;
    remote.ip = QStringLiteral("127.0.0.1");
    remote.port = QStringLiteral("1"); // nothing listens there
    remote.data = QStringLiteral("support");
    remote.user = QStringLiteral("postgres");
    ASSERT_TRUE(RemoteSupportServer::writeSettings(ini, remote));
    EXPECT_EQ(RemoteSupportServer::newerVersionAddress(ini, QStringLiteral("2.0")), std::nullopt);
}

} // namespace
