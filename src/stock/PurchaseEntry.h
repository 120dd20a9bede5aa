#pragma once
// Purchase entry: saving the purchase form as stock rows (one per line with a quantity), the
// style-number suggestion, the prefill from an earlier purchase of the same style.
#include "printing/LabelPrinter.h"
#include "stock/PurchaseForm.h"

#include <QString>
#include <optional>

class AppContext;
class QDateTime;

namespace stock {

inline const QString kFillInEverything = QStringLiteral("请填写完整");
inline const QString kPricesMustBeNumbers = QStringLiteral("成本价和吊牌价必须填写数字！");
inline const QString kItemDiscountRefused =
    QStringLiteral("商品折扣请填写0到1之间的小数，比如：7折 输入0.7，75折 输入0.75；不打折请留空");

// The required fields of an entry, in the order the form shows them.
enum class RequiredField { None, Supplier, Category, StyleNo, Size1, Cost, TagPrice };
// The first required field left empty (None when all are filled).
RequiredField firstEmptyRequiredField(const PurchaseForm &form);

struct PurchaseResult {
    bool saved = false;  // the entry was committed; the page then clears the form and reloads
    QString message;     // to show the user; "" after a save
    RequiredField missing = RequiredField::None; // with "请填写完整": where the user goes on
    int rowsWritten = 0; // stock rows of the entry
    QString barcode;     // the barcode the rows carry (typed, prefilled or generated)
};

// Saves the entry in one transaction: checks the required fields, the prices (numbers within the
// money ceiling), the item's discount (empty or a factor above 0 and at most 1) and the quantities
// (whole numbers from 0 on), looks up the category code, writes one 采购入库 row per line whose quantity is above 0 (with a
// generated barcode when label printing is on and none was typed; a code another row of the shop
// already has is stepped to a free one, checked and taken while no other workstation generates
// one), and one 款式号 row with the style number's tail. Labels go to the printer only after the
// commit. On any refusal or failure nothing is stored, nothing printed, no style number used, and
// the message says why.
PurchaseResult addPurchase(AppContext &context, const PurchaseForm &form,
                           printing::LabelPrinter &labels);

// The one label the print button gives for the form as it stands: its style number and tag price,
// the first line's colour and size, and the typed barcode or, without one, the code of `now`.
printing::PurchaseLabels formLabel(const PurchaseForm &form, const QDateTime &now);

// The next style number for an empty 款号7: 款号字母 followed by the shop's largest 款式号 tail
// plus 1. Returns "" when the statement failed.
QString suggestNextStyleNo(AppContext &context);

// The shared fields of the oldest row of the shop with exactly this style number, whatever its stock.
struct StylePrefill {
    QString category, name, cost, unit, barcode, tagPrice, discount;
};
std::optional<StylePrefill> prefillFromStyleNo(AppContext &context, const QString &styleNo);
// Copies a prefill into the form (supplier, colours, sizes and quantities are not touched).
void applyPrefill(const StylePrefill &prefill, PurchaseForm &form);

// The code of a category name: the 二级编号 of the shop's first 分类例表 row with exactly that name
// ("" when there is none). *ok is false when the statement failed.
QString categoryCodeOf(AppContext &context, const QString &category, bool *ok = nullptr);

} // namespace stock
