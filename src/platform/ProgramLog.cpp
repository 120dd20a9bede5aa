#include "platform/ProgramLog.h"

#include "platform/ControlChars.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QtGlobal>

namespace {

QMutex &logMutex()
{
    static QMutex mutex;
    return mutex;
}

QString &logPath()
{
    static QString path;
    return path;
}

} // namespace

namespace programlog {

void setPath(const QString &path)
{
    QMutexLocker lock(&logMutex());
    logPath() = path;
}

QString path()
{
    QMutexLocker lock(&logMutex());
    return logPath();
}

void write(const QString &text)
{
    // A text typed by the user may hold anything; the file gets one printable line per entry.
    const QString line = controlchars::escaped(text);
    qWarning().noquote() << line;
    QMutexLocker lock(&logMutex());
    if (logPath().isEmpty())
        return;
    QFile file(logPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qWarning().noquote() << "cannot write the log file" << logPath() << file.errorString();
        return;
    }
    // The clock seam is for dates the program writes; the log keeps the real time.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    file.write((stamp + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8());
}

} // namespace programlog
