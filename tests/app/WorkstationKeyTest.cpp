// The support desk's key for this workstation: made once, kept in sql.ini.
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/WorkstationKey.h"
#include "data/SettingsFile.h"
#include "admin/RemoteSupportServer.h"

namespace {

TEST(WorkstationKey, MadeOnceAndKeptEncipheredInSqlIni)
{
    QTemporaryDir dir;
    const SettingsFile ini = SettingsFile::inDirectory(dir.path());
    const QString key = app::workstationKey(ini);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Za-z0-9._-]+-[0-9a-f]{12}$")).match(key).hasMatch())
        << key.toStdString();
    EXPECT_EQ(ini.readEncipheredSetting(admin::RemoteSupportServer::Section, admin::RemoteSupportServer::WorkstationKey), key);
    EXPECT_NE(ini.readSetting(admin::RemoteSupportServer::Section, admin::RemoteSupportServer::WorkstationKey), key)
        << "stored enciphered like the section's other keys";
    EXPECT_EQ(app::workstationKey(ini), key) << "the next start finds the same key";
    EXPECT_NE(app::newWorkstationKey(), app::newWorkstationKey());
}

TEST(WorkstationKey, AnUnwritableFileGivesAKeyThatStaysTheSame)
{
    QTemporaryDir dir;
    const SettingsFile ini(dir.filePath(QStringLiteral("missing/sql.ini")));
    const QString key = app::workstationKey(ini);
    EXPECT_FALSE(key.isEmpty());
    EXPECT_EQ(app::workstationKey(ini), key);
}

} // namespace
