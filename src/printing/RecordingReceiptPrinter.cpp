#include "printing/RecordingReceiptPrinter.h"

namespace printing {

void RecordingReceiptPrinter::printReceipt(const Receipt &receipt)
{
    if (onPrint)
        onPrint(receipt);
    m_receipts.append(receipt);
}

} // namespace printing
