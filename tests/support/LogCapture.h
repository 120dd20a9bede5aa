#pragma once
// Points the program log at a temporary file while it lives, and reads what was written there.
#include "platform/ProgramLog.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class LogCapture {
public:
    LogCapture() : m_previous(programlog::path())
    {
        programlog::setPath(QDir(m_dir.path()).filePath(QStringLiteral("shopdesk.log")));
    }
    ~LogCapture() { programlog::setPath(m_previous); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // What the log holds, byte for byte.
    QByteArray bytes() const
    {
        QFile file(programlog::path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString text() const { return QString::fromUtf8(bytes()); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace testsupport
