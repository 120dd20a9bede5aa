#pragma once
#include <QString>

class QWidget;

namespace shell {

// The help document in the program directory (an HTML page: Debian has no viewer for the old format).
inline const QString HelpFileName = QStringLiteral("帮助.html");

// Opens the help document with the desktop's viewer; a missing file is said in a message.
void openHelpFile(QWidget *parent = nullptr);

} // namespace shell
