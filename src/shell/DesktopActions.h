#pragma once
// Opening web pages and files with the desktop's default program, and putting text on the
// clipboard. Tests replace the opener so that no browser is ever started.
#include <QString>
#include <QUrl>
#include <functional>

namespace shell {

class DesktopActions
{
public:
    using Opener = std::function<bool(const QUrl &)>;

    // Opens the address or file with the desktop's default program; false when that failed.
    static bool openUrl(const QUrl &url);
    static bool openFile(const QString &path);
    static void copyToClipboard(const QString &text);

    // Replaces the opener (tests); an empty function restores the desktop's.
    static void setOpener(Opener opener);
};

} // namespace shell
