#include "shell/HelpFile.h"

#include <QFileInfo>

#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "shell/DesktopActions.h"

namespace shell {

void openHelpFile(QWidget *parent)
{
    const QString path = ProgramDir::file(HelpFileName);
    if (!QFileInfo::exists(path)) {
        MessageSeam::message(parent, QString(), QStringLiteral("没有找到帮助文件：") + path);
        return;
    }
    DesktopActions::openFile(path);
}

} // namespace shell
