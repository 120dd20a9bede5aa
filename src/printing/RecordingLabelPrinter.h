#pragma once
// A label printer that prints nothing and keeps every entry it was handed: used until the real label
// printer is mounted, and by tests.
#include "printing/LabelPrinter.h"

#include <functional>

namespace printing {

class RecordingLabelPrinter : public LabelPrinter {
public:
    void printPurchaseLabels(const PurchaseLabels &labels) override;

    const QList<PurchaseLabels> &entries() const { return m_entries; }
    int labelCount() const;  // labels over every entry
    void clear() { m_entries.clear(); }
    // Runs on each call before the entry is recorded (tests look at the database from here).
    std::function<void(const PurchaseLabels &)> onPrint;

private:
    QList<PurchaseLabels> m_entries;
};

} // namespace printing
