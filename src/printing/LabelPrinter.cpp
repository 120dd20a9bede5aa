#include "printing/LabelPrinter.h"

namespace printing {

int PurchaseLabels::labelCount() const
{
    int n = 0;
    for (const PurchaseLabelLine &l : lines)
        n += l.copies;
    return n;
}

} // namespace printing
