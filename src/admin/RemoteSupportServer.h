#pragma once
// The remote update and support server: a PostgreSQL database run by the support desk for all
// installations. It holds the published program version (table b升级) and the support messages
// (table b支持消息). A workstation reaches it only when sql.ini names it (section 支持服务器,
// keys ip, port, data, user, password, enciphered in bare form like 数据库配置); without that
// nothing is opened and nothing is asked. Failures give empty reads and no message.
#include <QString>
#include <memory>
#include <optional>

#include "data/ServerSettings.h"
#include "data/Sql.h"

class SettingsFile;

namespace data {
class Connection;
class Dialect;
}

namespace admin {

class RemoteSupportServer
{
public:
    static inline const QString Section = QStringLiteral("支持服务器");
    // The key that tells this workstation's support messages from other installations'.
    static inline const QString WorkstationKey = QStringLiteral("工作站");

    static inline const QString UpdateTable = QStringLiteral("b升级");
    static inline const QString VersionColumn = QStringLiteral("版本号");
    static inline const QString AddressColumn = QStringLiteral("升级地址");
    static inline const QString SupportTable = QStringLiteral("b支持消息");
    static inline const QString WorkstationColumn = QStringLiteral("工作站");

    struct PublishedVersion
    {
        QString version; // 版本号 of the newest row, "" when none could be read
        QString address; // 升级地址
    };

    RemoteSupportServer();
    ~RemoteSupportServer();

    // The server's settings from sql.ini (all "" when not configured).
    static data::ServerSettings readSettings(const SettingsFile &file);
    // Stores the settings enciphered in bare form; false when the file could not be written.
    static bool writeSettings(const SettingsFile &file, const data::ServerSettings &settings);
    // Configured means an address and a database name are given.
    static bool isConfigured(const data::ServerSettings &settings);

    // Opens the server; nothing is attempted (false) when the settings are not configured. An
    // unreachable server costs at most the connection's short connect timeout.
    bool open(const data::ServerSettings &settings);
    bool isOpen() const;
    void close();
    data::Connection &connection();

    // «SELECT * FROM [b升级] WHERE 1=1 ORDER BY id DESC», first row: the newest published version.
    // Empty texts when the server is not open or the table cannot be read.
    PublishedVersion publishedVersion();

    // True when the published version is higher than the program's by more than 0.0000001
    // (both read as numbers; a text without a number counts 0).
    static bool isNewerVersion(const QString &programVersion, const QString &publishedVersion);

    // The start window's update check: opens the server named in sql.ini, reads the published
    // version and closes it again. The download page when that version is newer than the
    // program's; nullopt otherwise, and without asking anything when no server is configured.
    static std::optional<QString> newerVersionAddress(const SettingsFile &file, const QString &programVersion);

    // The workstation's support messages in id order, and the insert of a new one with an empty reply.
    static data::Sql selectSupportMessagesSql(const data::Dialect &dialect, const QString &workstation);
    static data::Sql insertSupportMessageSql(const data::Dialect &dialect, const QString &workstation,
                                             const QString &message, const QString &sentDate);

private:
    std::unique_ptr<data::Connection> m_connection;
};

} // namespace admin
