#pragma once
// The receipt of a written sale. The counter hands the printer the sale's lines after the sale
// was committed and before the cart is cleared.
#include <QList>
#include <QString>

namespace printing {

// One receipt row: the cart cells a receipt prints.
struct ReceiptLine {
    QString 分类;
    QString 款号;
    QString 商品名称;
    QString 颜色;
    QString 尺码;
    QString 数量;
    QString 金额;
    bool operator==(const ReceiptLine &) const = default;
};

struct Receipt {
    QString receiptNo; // 小票单号 of the sale
    QString jobName;   // the print job's name; the receipt number when empty
    QList<ReceiptLine> lines;
};

class ReceiptPrinter {
public:
    virtual ~ReceiptPrinter() = default;
    virtual void printReceipt(const Receipt &receipt) = 0;
};

} // namespace printing
