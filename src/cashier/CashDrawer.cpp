#include "cashier/CashDrawer.h"

#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "platform/ProgramLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cashier {

QByteArray cashDrawerKick()
{
    static const char bytes[] = {0x1B, 0x70, 0x00, 0x64, 0x64};
    return QByteArray(bytes, sizeof bytes);
}

QString cashDrawerDevice(const QString &settingsPath)
{
    const QString device = readIniValue(settingsPath, kDrawerSection, kDrawerKey).trimmed();
    return device.isEmpty() ? kDefaultDrawerDevice : device;
}

bool openCashDrawerOn(const QString &devicePath)
{
    const QByteArray path = devicePath.toLocal8Bit();
    // Non-blocking: an offline printer or a pipe nobody reads must not stop the counter.
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        programlog::write(QStringLiteral("钱箱: %1 打不开: %2").arg(devicePath, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    const QByteArray kick = cashDrawerKick();
    ssize_t written;
    do {
        written = ::write(fd, kick.constData(), size_t(kick.size()));
    } while (written < 0 && errno == EINTR);
    const int writeError = errno;
    ::close(fd);
    if (written != kick.size()) {
        programlog::write(QStringLiteral("钱箱: %1 写入失败: %2")
                              .arg(devicePath, written < 0 ? QString::fromLocal8Bit(std::strerror(writeError))
                                                           : QStringLiteral("%1/5").arg(written)));
        return false;
    }
    return true;
}

bool openCashDrawer()
{
    return openCashDrawerOn(cashDrawerDevice(ProgramDir::file(QStringLiteral("sql.ini"))));
}

} // namespace cashier
