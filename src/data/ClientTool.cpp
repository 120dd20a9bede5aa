#include "data/ClientTool.h"

#include "data/Connection.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace data {

ClientToolResult runClientTool(const QString &program, const QStringList &arguments, const ServerSettings &settings,
                               const QString &database)
{
    ClientToolResult result;
    const int port = Connection::postgresPort(settings.port);
    if (port < 0) {
        result.error = QStringLiteral("端口无效：") + settings.port;
        return result;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"PGHOST", "PGHOSTADDR", "PGPORT", "PGUSER", "PGDATABASE", "PGPASSWORD", "PGSERVICE"})
        environment.remove(QString::fromLatin1(name));
    if (!settings.ip.trimmed().isEmpty())
        environment.insert(QStringLiteral("PGHOST"), settings.ip.trimmed());
    environment.insert(QStringLiteral("PGPORT"), QString::number(port));
    if (!settings.user.isEmpty())
        environment.insert(QStringLiteral("PGUSER"), settings.user);
    environment.insert(QStringLiteral("PGDATABASE"), database);
    if (!settings.password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), settings.password);
    environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QString::number(Connection::connectTimeoutSeconds));
    environment.insert(QStringLiteral("PGCLIENTENCODING"), QStringLiteral("UTF8"));

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice()); // the programs write to their files
    // Never a password prompt: without a password the program fails at once and says so, instead
    // of waiting for someone to type one (a shutdown would hang on it).
    process.start(program, QStringList{QStringLiteral("--no-password")} + arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        result.error = program + QStringLiteral(" 无法启动（请安装 PostgreSQL 客户端 postgresql-client）：")
                       + process.errorString();
        return result;
    }
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const QString said = QString::fromUtf8(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit) {
        result.error = program + QStringLiteral(" 异常结束");
        if (!said.isEmpty())
            result.error += QStringLiteral("：") + said;
        return result;
    }
    if (process.exitCode() != 0) {
        result.error = program + QStringLiteral(" 失败（退出码 %1）").arg(process.exitCode());
        if (!said.isEmpty())
            result.error += QStringLiteral("：") + said;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace data
