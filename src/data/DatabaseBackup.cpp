#include "data/DatabaseBackup.h"

#include "data/ClientTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>

namespace data {

QString backupFileName(const QDate &day)
{
    return QStringLiteral("%1-%2-%3").arg(day.year()).arg(day.month()).arg(day.day());
}

QString backupFolder(const QString &programDir)
{
    return QDir(programDir).filePath(QStringLiteral("backup"));
}

BackupResult backupDatabase(const ServerSettings &settings, const QString &programDir, const QDate &day)
{
    BackupResult result;
    const QString folder = backupFolder(programDir);
    const QString name = backupFileName(day);
    result.file = QDir(folder).filePath(name);
    if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("无法建立备份文件夹：") + folder;
        return result;
    }
    // A leading dot keeps the file out of the restore list while pg_dump writes it.
    const QString partial = QDir(folder).filePath(
        QStringLiteral(".%1.%2.partial").arg(name).arg(QCoreApplication::applicationPid()));
    QFile::remove(partial);
    const ClientToolResult dump = runClientTool(
        QStringLiteral("pg_dump"), {QStringLiteral("--format=custom"), QStringLiteral("--file=") + partial}, settings,
        settings.data);
    if (!dump.ok) {
        QFile::remove(partial);
        result.error = dump.error;
        return result;
    }
    // rename() replaces the day's earlier file in one step: there is always a whole backup under the name.
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(result.file).constData()) != 0) {
        QFile::remove(partial);
        result.error = QStringLiteral("无法把备份写成 ") + result.file;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace data
