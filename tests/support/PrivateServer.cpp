#include "support/PrivateServer.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace testsupport {

PrivateServer::PrivateServer()
    : m_sharedHost(qgetenv("SHOPDESK_PG_HOST")), m_sharedPort(qgetenv("SHOPDESK_PG_PORT"))
{
    if (!m_parent.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    // The server runs as its own user, which must reach the cluster's folder.
    QFile::setPermissions(m_parent.path(), QFile::permissions(m_parent.path()) | QFile::ReadOther | QFile::ExeOther
                                               | QFile::ReadGroup | QFile::ExeGroup);
    m_dir = m_parent.filePath(QStringLiteral("cluster"));
    QString output;
    if (!script(QStringLiteral("start"), &output))
        return;
    m_started = true;
    m_port = output.trimmed();
    qputenv("SHOPDESK_PG_HOST", "127.0.0.1");
    qputenv("SHOPDESK_PG_PORT", m_port.toLatin1());
}

PrivateServer::~PrivateServer()
{
    if (m_started)
        script(QStringLiteral("stop"));
    for (const auto &[name, value] : {std::pair{"SHOPDESK_PG_HOST", m_sharedHost}, std::pair{"SHOPDESK_PG_PORT", m_sharedPort}}) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
}

bool PrivateServer::halt()
{
    return script(QStringLiteral("halt"));
}

bool PrivateServer::resume()
{
    return script(QStringLiteral("resume"));
}

bool PrivateServer::script(const QString &command, QString *output)
{
    QProcess process;
    process.start(QStringLiteral("bash"), {QStringLiteral(SHOPDESK_SOURCE_DIR "/tools/pg-throwaway.sh"), command, m_dir});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_error = QStringLiteral("pg-throwaway.sh %1: %2").arg(command, QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return true;
}

} // namespace testsupport
