#pragma once
// A workstation for the shell's tests: a program directory holding the shop database of one
// backend and its sql.ini, an application context of its own, a fresh hot-key registry and a
// desktop that records the addresses it is asked to open.
#include <QList>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SettingsFile.h"
#include "data/SqlBuilder.h"
#include "platform/HotKeys.h"
#include "platform/ProgramDir.h"
#include "shell/DesktopActions.h"
#include "support/TestDatabase.h"

namespace shelltest {

class Workstation
{
public:
    explicit Workstation(data::Backend backend, testsupport::TestDatabase::Content content = testsupport::TestDatabase::Shop)
        : db(std::make_unique<testsupport::TestDatabase>(backend, content))
    {
        ProgramDir::set(db->dir());
        HotKeyRegistry::setInstance(&hotKeys);
        shell::DesktopActions::setOpener([this](const QUrl &url) {
            opened.append(url);
            return true;
        });
    }
    ~Workstation()
    {
        shell::DesktopActions::setOpener({});
        HotKeyRegistry::setInstance(nullptr);
    }

    SettingsFile ini() const { return SettingsFile::inDirectory(db->dir()); }
    bool network() const { return db->backend() == data::Backend::Postgres; }
    QString modeName() const { return network() ? AppContext::NetworkMode : AppContext::SingleMachineMode; }

    // sql.ini of a workstation of the shop in the backend's mode.
    void configure(const QString &shop)
    {
        const auto bare = SettingsFile::CipherForm::Bare;
        if (network()) {
            const data::ServerSettings s = db->serverSettings();
            ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::IpKey, s.ip, bare);
            ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PortKey, s.port, bare);
            ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::DataKey, s.data, bare);
            ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::UserKey, s.user, bare);
            ini().writeEncipheredSetting(SettingsFile::DatabaseSection, SettingsFile::PasswordKey, s.password, bare);
        }
        ini().writeEncipheredSetting(SettingsFile::ShopSection, SettingsFile::ShopKey, shop, SettingsFile::CipherForm::Comma);
        ini().writeEncipheredSetting(SettingsFile::VersionSection, SettingsFile::VersionKey, modeName(), bare);
    }

    // The context as start-up leaves it: mode, shop, the shop connection open.
    bool openContext(const QString &shop)
    {
        ctx.runMode = modeName();
        ctx.currentShop = shop;
        if (network()) {
            ctx.sqlServerSettings = db->serverSettings();
            return ctx.connection().openPostgres(ctx.sqlServerSettings);
        }
        return ctx.connection().openSqlite(db->sqlitePath());
    }

    bool insert(const QString &table, const data::Pairs &pairs)
    {
        data::Connection &c = db->connection();
        return c.execute(data::buildInsertSql(c.dialect(), table, pairs));
    }

    // An account with the given rights ("√" each), or all twenty when rights is {"*"}.
    bool addAccount(const QString &account, const QString &password, const QString &name, const QString &shop,
                    const QStringList &rights = {QStringLiteral("*")})
    {
        data::Pairs pairs{{QStringLiteral("帐号"), account}, {QStringLiteral("密码"), password},
                          {QStringLiteral("姓名"), name}, {QStringLiteral("所属店铺"), shop}};
        const bool all = rights == QStringList{QStringLiteral("*")};
        for (const QString &right : AccountRights::columns())
            pairs.append({right, all || rights.contains(right) ? QStringLiteral("√") : QString()});
        return insert(QStringLiteral("帐号管理"), pairs);
    }

    std::unique_ptr<testsupport::TestDatabase> db;
    AppContext ctx;
    HotKeyRegistry hotKeys;
    QList<QUrl> opened;
};

} // namespace shelltest
