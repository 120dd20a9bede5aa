#pragma once
// Puts the program together: the main window's pages and the actions of the feature subsystems.
#include "shell/MainPages.h"

namespace app {

// The pages and actions the main window uses. Pages whose subsystem does not provide a widget yet
// stay empty.
shell::MainPages assembleMainPages();

} // namespace app
