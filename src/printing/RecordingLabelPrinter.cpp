#include "printing/RecordingLabelPrinter.h"

namespace printing {

void RecordingLabelPrinter::printPurchaseLabels(const PurchaseLabels &labels)
{
    if (onPrint)
        onPrint(labels);
    m_entries.append(labels);
}

int RecordingLabelPrinter::labelCount() const
{
    int n = 0;
    for (const PurchaseLabels &e : m_entries)
        n += e.labelCount();
    return n;
}

} // namespace printing
