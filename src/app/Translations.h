#pragma once

namespace app {

// Qt's own texts (the buttons of standard dialogs, the context menus of edit boxes) in Chinese,
// from the Qt translations the set-up installs. False when they are not there: Qt then shows its
// English texts and nothing else changes.
bool installChineseTranslations();

} // namespace app
