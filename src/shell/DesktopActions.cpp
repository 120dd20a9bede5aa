#include "shell/DesktopActions.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>

namespace shell {

namespace {
DesktopActions::Opener &opener()
{
    static DesktopActions::Opener instance;
    return instance;
}
} // namespace

bool DesktopActions::openUrl(const QUrl &url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

bool DesktopActions::openFile(const QString &path)
{
    return openUrl(QUrl::fromLocalFile(path));
}

void DesktopActions::copyToClipboard(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

void DesktopActions::setOpener(Opener o)
{
    opener() = std::move(o);
}

} // namespace shell
