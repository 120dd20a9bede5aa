#include "app/WorkstationKey.h"

#include "data/SettingsFile.h"
#include "admin/RemoteSupportServer.h"

#include <QSysInfo>
#include <QUuid>

namespace app {

namespace {

QString hostPart()
{
    QString host;
    for (const QChar c : QSysInfo::machineHostName()) {
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.'
            || c == u'-' || c == u'_')
            host.append(c);
    }
    host.truncate(32);
    return host.isEmpty() ? QStringLiteral("ws") : host;
}

} // namespace

QString newWorkstationKey()
{
    return hostPart() + u'-' + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

QString workstationKey(const SettingsFile &file)
{
    const QString section = admin::RemoteSupportServer::Section;
    const QString key = admin::RemoteSupportServer::WorkstationKey;
    const QString stored = file.readEncipheredSetting(section, key).trimmed();
    if (!stored.isEmpty())
        return stored;
    const QString made = newWorkstationKey();
    if (file.writeEncipheredSetting(section, key, made, SettingsFile::CipherForm::Bare)
        && file.readEncipheredSetting(section, key) == made)
        return made;
    return hostPart();
}

} // namespace app
