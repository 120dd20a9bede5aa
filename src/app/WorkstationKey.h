#pragma once
// The key that tells this installation's support messages from every other installation's on the
// support desk's server. It is made once, the first time the support page is mounted with a
// support server configured, and kept in sql.ini (section 支持服务器, key 工作站, enciphered in bare
// form like the section's other keys), so that the desk's replies find the workstation again
// after a restart, a change of shop or a change of the host's name.
#include <QString>

class SettingsFile;

namespace app {

// A new key: the host name (letters, digits, '.', '-' and '_' only; "ws" when none is left) and
// 12 random hexadecimal digits, e.g. "kasse1-3f9a0c21b7d4".
QString newWorkstationKey();

// The stored key; a missing one is made and stored. When it cannot be stored the host-name part
// alone is used, which at least stays the same from one start to the next.
QString workstationKey(const SettingsFile &file);

} // namespace app
