#include "platform/ProgramDir.h"

#include "platform/ProgramLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString currentPath;

QString executableFolder(const QStringList &arguments)
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    if (!arguments.isEmpty())
        return QFileInfo(arguments.first()).absolutePath();
    return QDir::currentPath();
}

} // namespace

bool ProgramDir::initFromArguments(const QStringList &arguments, QString *error)
{
    QString home;
    bool homeGiven = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--home")) {
            homeGiven = true;
            home = i + 1 < arguments.size() ? arguments[i + 1] : QString();
            ++i;
        } else if (argument.startsWith(QLatin1String("--home="))) {
            homeGiven = true;
            home = argument.mid(7);
        }
    }
    if (!homeGiven) {
        set(executableFolder(arguments));
        return true;
    }
    if (home.isEmpty()) {
        if (error)
            *error = QStringLiteral("参数 --home 后面缺少程序目录");
        return false;
    }
    const QFileInfo info(home);
    if (!info.isDir()) {
        if (error)
            *error = QStringLiteral("程序目录不存在：") + QDir::toNativeSeparators(info.absoluteFilePath());
        return false;
    }
    set(info.absoluteFilePath());
    return true;
}

void ProgramDir::set(const QString &directory)
{
    currentPath = QDir::cleanPath(QDir(directory).absolutePath());
    programlog::setPath(QDir(currentPath).filePath(logFileName()));
}

QString ProgramDir::path()
{
    if (currentPath.isEmpty())
        set(executableFolder({}));
    return currentPath;
}

QString ProgramDir::file(const QString &name)
{
    return QDir(path()).filePath(name);
}

QString ProgramDir::logFileName()
{
    return QStringLiteral("shopdesk.log");
}
