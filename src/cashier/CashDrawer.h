#pragma once
// The cash drawer: the ESC/POS drawer-kick command written to the receipt printer's device file.
// The device is named in sql.ini (section 钱箱, key 端口), /dev/lp0 when unset. A drawer that
// cannot be reached never holds up the counter: the device is opened without blocking, the five
// bytes are written at once or not at all, and a failure is only logged.
#include <QByteArray>
#include <QString>

namespace cashier {

inline const QString kDrawerSection = QStringLiteral("钱箱");
inline const QString kDrawerKey = QStringLiteral("端口");
inline const QString kDefaultDrawerDevice = QStringLiteral("/dev/lp0");

// ESC p 0 100 100: 1B 70 00 64 64.
QByteArray cashDrawerKick();

// The device of the drawer named in the settings file, the default when the key is missing or empty.
QString cashDrawerDevice(const QString &settingsPath);

// Writes the kick to the device; false (and a log line) when the device cannot be opened or does
// not take the five bytes at once.
bool openCashDrawerOn(const QString &devicePath);

// The F8 action: the device of sql.ini in the program directory.
bool openCashDrawer();

} // namespace cashier
