// The assembled program's start asks the support desk's server for a newer version before login.
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "admin/RemoteSupportServer.h"
#include "app/Assembly.h"
#include "context/AppContext.h"
#include "data/Connection.h"
#include "data/SettingsFile.h"
#include "data/SqlScript.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "shell/DesktopActions.h"
#include "shell/LoginWindow.h"
#include "support/TestDatabase.h"

namespace {

TEST(UpdateCheck, ANewerPublishedVersionIsAnnouncedAndTheProgramEnds)
{
    testsupport::TestDatabase db(data::Backend::Sqlite);
    ASSERT_TRUE(db.ok());
    ProgramDir::set(db.dir());
    const SettingsFile ini = SettingsFile::inDirectory(db.dir());
    ini.writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, AppContext::SingleMachineMode,
                               SettingsFile::CipherForm::Bare);
    testsupport::TestDatabase remote(data::Backend::Postgres, testsupport::TestDatabase::Empty);
    ASSERT_TRUE(remote.ok()) << remote.error().toStdString();
    ASSERT_TRUE(data::runSqlScript(remote.connection(), QStringLiteral(SHOPDESK_SOURCE_DIR "/db/remote.sql")));
    ASSERT_TRUE(admin::RemoteSupportServer::writeSettings(ini, remote.serverSettings()));
    const QString address = QStringLiteral("https://example.com/shopdesk/99");
    ASSERT_TRUE(remote.connection().execute(
        data::Sql(QStringLiteral("INSERT INTO b升级 (版本号, 升级地址) VALUES ('99', ?)"), {address})));

    QList<QUrl> opened;
    shell::DesktopActions::setOpener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    QGuiApplication::clipboard()->clear();
    AppContext context;
    MessageScript script;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(20000);
    const int code = shell::programStart(context, app::assembleMainPages());
    QApplication::setQuitOnLastWindowClosed(true);
    shell::DesktopActions::setOpener({});

    EXPECT_EQ(code, 0);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("检到新版本！请在弹出的网页上下载\r\n或者手动打开下载 ") + address
                                          + QStringLiteral(" （地址已复制）")});
    EXPECT_EQ(opened, QList<QUrl>{QUrl(address)});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), address);
}

} // namespace
