#include "shell/HelpFile.h"

#include "platform/ProgramDir.h"
#include "shell/DesktopActions.h"

namespace shell {

void openHelpFile()
{
    DesktopActions::openFile(ProgramDir::file(HelpFileName));
}

} // namespace shell
