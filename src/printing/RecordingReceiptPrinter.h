#pragma once
// A receipt printer that prints nothing and keeps every receipt it was handed: used until the real
// receipt printer is mounted, and by tests.
#include "printing/ReceiptPrinter.h"

#include <functional>

namespace printing {

class RecordingReceiptPrinter : public ReceiptPrinter {
public:
    void printReceipt(const Receipt &receipt) override;

    const QList<Receipt> &receipts() const { return m_receipts; }
    void clear() { m_receipts.clear(); }
    // Runs on each call before the receipt is recorded.
    std::function<void(const Receipt &)> onPrint;

private:
    QList<Receipt> m_receipts;
};

} // namespace printing
