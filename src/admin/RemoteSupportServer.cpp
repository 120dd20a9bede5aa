#include "admin/RemoteSupportServer.h"

#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/SettingsFile.h"
#include "data/SqlBuilder.h"
#include "platform/NumberText.h"

namespace admin {

RemoteSupportServer::RemoteSupportServer()
    : m_connection(std::make_unique<data::Connection>())
{
}

RemoteSupportServer::~RemoteSupportServer() = default;

data::ServerSettings RemoteSupportServer::readSettings(const SettingsFile &file)
{
    data::ServerSettings s;
    s.ip = file.readEncipheredSetting(Section, SettingsFile::IpKey);
    s.port = file.readEncipheredSetting(Section, SettingsFile::PortKey);
    s.data = file.readEncipheredSetting(Section, SettingsFile::DataKey);
    s.user = file.readEncipheredSetting(Section, SettingsFile::UserKey);
    s.password = file.readEncipheredSetting(Section, SettingsFile::PasswordKey);
    return s;
}

bool RemoteSupportServer::writeSettings(const SettingsFile &file, const data::ServerSettings &s)
{
    const auto bare = SettingsFile::CipherForm::Bare;
    bool ok = file.writeEncipheredSetting(Section, SettingsFile::IpKey, s.ip, bare);
    ok = file.writeEncipheredSetting(Section, SettingsFile::PortKey, s.port, bare) && ok;
    ok = file.writeEncipheredSetting(Section, SettingsFile::DataKey, s.data, bare) && ok;
    ok = file.writeEncipheredSetting(Section, SettingsFile::UserKey, s.user, bare) && ok;
    ok = file.writeEncipheredSetting(Section, SettingsFile::PasswordKey, s.password, bare) && ok;
    return ok;
}

bool RemoteSupportServer::isConfigured(const data::ServerSettings &settings)
{
    return !settings.ip.trimmed().isEmpty() && !settings.data.trimmed().isEmpty();
}

bool RemoteSupportServer::open(const data::ServerSettings &settings)
{
    m_connection->close();
    if (!isConfigured(settings))
        return false;
    return m_connection->openPostgres(settings);
}

bool RemoteSupportServer::isOpen() const
{
    return m_connection->isOpen();
}

void RemoteSupportServer::close()
{
    m_connection->close();
}

data::Connection &RemoteSupportServer::connection()
{
    return *m_connection;
}

RemoteSupportServer::PublishedVersion RemoteSupportServer::publishedVersion()
{
    if (!isOpen())
        return {};
    data::RecordSet rs(*m_connection);
    rs.open(data::buildSelectSql(m_connection->dialect(), UpdateTable, {}, false,
                                 QStringLiteral("id DESC"), true));
    return {rs.text(VersionColumn), rs.text(AddressColumn)};
}

bool RemoteSupportServer::isNewerVersion(const QString &programVersion, const QString &publishedVersion)
{
    return textToNumber(programVersion) - textToNumber(publishedVersion) < -0.0000001;
}

std::optional<QString> RemoteSupportServer::newerVersionAddress(const SettingsFile &file,
                                                               const QString &programVersion)
{
    const data::ServerSettings settings = readSettings(file);
    if (!isConfigured(settings))
        return std::nullopt;
    RemoteSupportServer remote;
    remote.open(settings);
    const PublishedVersion published = remote.publishedVersion();
    remote.close();
    if (!isNewerVersion(programVersion, published.version))
        return std::nullopt;
    return published.address;
}

data::Sql RemoteSupportServer::selectSupportMessagesSql(const data::Dialect &dialect, const QString &workstation)
{
    return data::buildSelectSql(dialect, SupportTable, data::eq(WorkstationColumn, workstation), true,
                                QStringLiteral("id ASC"), true);
}

data::Sql RemoteSupportServer::insertSupportMessageSql(const data::Dialect &dialect, const QString &workstation,
                                                       const QString &message, const QString &sentDate)
{
    return data::buildInsertSql(dialect, SupportTable,
                                {{WorkstationColumn, workstation},
                                 {QStringLiteral("发送消息"), message},
                                 {QStringLiteral("发送时间"), sentDate},
                                 {QStringLiteral("回复消息"), QString()}});
}

} // namespace admin
