#pragma once
// Puts the program together: the main window's pages and the actions of the feature subsystems.
#include <memory>

#include "shell/MainPages.h"

namespace printing {
class LabelPrinter;
}

namespace app {

// The pages and actions the main window uses. Pages whose subsystem does not provide a widget yet
// stay empty. The purchase labels go to the given printer; without one the assembly keeps its own
// (a printer that records the labels, until the label printer of the printing subsystem is here).
shell::MainPages assembleMainPages(std::shared_ptr<printing::LabelPrinter> labels = {});

} // namespace app
