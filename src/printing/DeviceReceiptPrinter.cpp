#include "printing/DeviceReceiptPrinter.h"

#include "context/AppContext.h"
#include "context/Today.h"
#include "platform/Clock.h"
#include "platform/ProgramLog.h"
#include "printing/PrintDevice.h"
#include "printing/ReceiptPrint.h"

namespace printing {

DeviceReceiptPrinter::DeviceReceiptPrinter(AppContext &context, std::function<PrintLook()> look)
    : m_context(context), m_look(std::move(look))
{
}

void DeviceReceiptPrinter::printReceipt(const Receipt &receipt)
{
    PrintDevice device(pdfPath ? pdfPath() : QString());
    refreshToday(m_context, false);
    if (!printing::printReceipt(device, m_look ? m_look() : initialLook(), receipt, m_context.today, Clock::now().time())) {
        programlog::write(QStringLiteral("receipt ") + receipt.receiptNo + QStringLiteral(" not printed: ") + device.error());
        return;
    }
    ++m_jobs;
}

} // namespace printing
