#pragma once
// The crash tests' child: this test program started again for one test with extra environment,
// killed with SIGKILL (no clean-up of any kind) a moment after it reported its first write.
#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QThread>

namespace countertest {

// "" when the child reported `readyToken`, was killed after `delayMs` and died of it; otherwise
// what went wrong, with the child's output.
inline QString runAndKillChild(const QString &testName, const QProcessEnvironment &extra, const QByteArray &readyToken,
                               int delayMs)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(extra);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + testName});
    if (!child.waitForStarted(10000))
        return QStringLiteral("the child did not start: ") + child.errorString();
    QByteArray output;
    while (!output.contains(readyToken) && child.state() == QProcess::Running)
        if (child.waitForReadyRead(10000))
            output += child.readAllStandardOutput();
    if (!output.contains(readyToken))
        return QStringLiteral("the child stopped before its first write\n")
               + QString::fromUtf8(output + child.readAllStandardOutput() + child.readAllStandardError());
    QThread::msleep(delayMs);
    child.kill();
    if (!child.waitForFinished(10000))
        return QStringLiteral("the killed child did not end");
    if (child.exitStatus() != QProcess::CrashExit)
        return QStringLiteral("the child ended by itself\n") + QString::fromUtf8(child.readAllStandardError());
    return QString();
}

} // namespace countertest
