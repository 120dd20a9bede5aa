#include <QApplication>
#include <cstdio>

#include "app/Assembly.h"
#include "app/Translations.h"
#include "context/AppContext.h"
#include "platform/ControlCharFilter.h"
#include "platform/FreedMemory.h"
#include "platform/ProgramDir.h"
#include "printing/DeviceReceiptPrinter.h"
#include "printing/LabelPrint.h"
#include "shell/LoginWindow.h"

int main(int argc, char **argv)
{
    platform::keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    app::installChineseTranslations();
    // No field takes control characters other than tab and line breaks: they cannot be stored alike.
    ControlCharFilter::install(&app);
    QString error;
    if (!ProgramDir::initFromArguments(QApplication::arguments(), &error)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error));
        return 2;
    }
    // The context (and the one shop connection it holds) lives inside main(), so the connection
    // closes while the application and Qt's register of connections still exist.
    AppContext context;
    // Receipts and labels go to the default printer.
    return shell::programStart(context, app::assembleMainPages(std::make_shared<printing::DeviceLabelPrinter>(),
                                                               std::make_shared<printing::DeviceReceiptPrinter>(context)));
}
