#pragma once
// Price labels of a purchase entry. One label is one print job; a purchase line of quantity n gives
// n identical labels with that line's colour and size. The printer is handed the entry only after
// its rows were committed.
#include <QList>
#include <QString>

namespace printing {

struct PurchaseLabelLine {
    int line = 0;     // 1..6, the purchase form's colour/size line
    QString colour;   // 颜色k
    QString size;     // 尺码k
    int copies = 0;   // labels to print for this line (its whole-number quantity)
};

struct PurchaseLabels {
    QString styleNo;  // 款号7
    QString tagPrice; // 吊牌价7, as typed
    QString barcode;  // 商品条码7: typed, prefilled or generated; may be empty (no symbol then)
    QList<PurchaseLabelLine> lines;

    int labelCount() const;
};

class LabelPrinter {
public:
    virtual ~LabelPrinter() = default;
    // Prints every label of one entry, line by line in the order given.
    virtual void printPurchaseLabels(const PurchaseLabels &labels) = 0;
};

} // namespace printing
