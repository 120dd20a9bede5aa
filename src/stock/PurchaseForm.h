#pragma once
// The texts of the purchase form (group 分组框3 of the 采购入库 page), as the page reads them from its
// controls. Plain data, so that purchase entry and the purchase list run without widgets.
#include <QString>
#include <array>

namespace stock {

struct PurchaseLine {
    QString colour;   // 颜色k
    QString size;     // 尺码k
    QString quantity; // 数量k, as typed
};

struct PurchaseForm {
    static constexpr int lineCount = 6;

    QString category;        // 类别7 (second-level category name)
    QString styleNo;         // 款号7
    QString name;            // 名称7
    QString supplier;        // 供货来源7
    QString cost;            // 进货价7
    QString tagPrice;        // 吊牌价7
    QString discount;        // 折扣7
    QString discountedPrice; // 折后价7 (preview only, never stored)
    QString unit;            // 单位8
    QString barcode;         // 商品条码7
    std::array<PurchaseLine, lineCount> lines; // line k is lines[k - 1]
};

// Empties the entry fields as the button 采购清空 does; the supplier and the preview stay.
void clearPurchaseForm(PurchaseForm &form);

} // namespace stock
