#pragma once
// Puts the program together: the main window's pages and the actions of the feature subsystems.
#include <memory>

#include "shell/MainPages.h"

namespace printing {
class LabelPrinter;
class ReceiptPrinter;
}

namespace app {

// The pages and actions the main window uses. Pages whose subsystem does not provide a widget yet
// stay empty. The purchase labels and the sales receipts go to the given printers; without one the
// assembly keeps its own (printers that record what they are handed, until the printers of the
// printing subsystem are here).
shell::MainPages assembleMainPages(std::shared_ptr<printing::LabelPrinter> labels = {},
                                   std::shared_ptr<printing::ReceiptPrinter> receipts = {});

} // namespace app
