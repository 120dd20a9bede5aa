#pragma once
// The receipt printer of the running program: each receipt is one job on the default printer (or
// a PDF file), laid out as the settings page shows the layout at that moment. A job that cannot
// start goes to the program log; the sale it belongs to is written already and the counter goes on.
#include <QString>
#include <functional>

#include "printing/PrintLayout.h"
#include "printing/ReceiptPrinter.h"

class AppContext;

namespace printing {

class DeviceReceiptPrinter : public ReceiptPrinter
{
public:
    explicit DeviceReceiptPrinter(AppContext &context, std::function<PrintLook()> look = {});
    void printReceipt(const Receipt &receipt) override;
    // Where the layout comes from; without a source the initial layouts print.
    void setLookSource(std::function<PrintLook()> look) { m_look = std::move(look); }

    // Where the next job goes: "" for the default printer (the default), else a PDF file name.
    std::function<QString()> pdfPath;
    int jobs() const { return m_jobs; }

private:
    AppContext &m_context;
    std::function<PrintLook()> m_look;
    int m_jobs = 0;
};

} // namespace printing
