#pragma once
// The purchase list of the 采购入库 page: its queries, its lines (19 columns, colours, totals line),
// and modifying and deleting the unsold rows of the workstation's shop.
#include "stock/PurchaseForm.h"

#include <QList>
#include <QStringList>
#include <QtGlobal>
#include <optional>

class AppContext;
namespace data {
class RecordSet;
}

namespace stock {

inline const QString kModifyRefused = QStringLiteral("该款已有销售记录 不允许修改！\r\n如需调价、调数量请鼠标右击该单！");
inline const QString kCostRequired = QStringLiteral("进货价内容不能为空！如果不知道进货价\r\n先到销售明细点一下查看，再回到库存管理就会显示");
inline const QString kDeleteRefused = QStringLiteral("您选择的产品已有销售记录 不允许删除！");
inline const QString kDeleted = QStringLiteral("你选择的产品已删除！");
inline const QString kMenuDeleteRefused = QStringLiteral("此单已有销售记录不允许删除");
inline const QString kMenuDeleted = QStringLiteral("删除成功！");
inline const QString kWriteFailed = QStringLiteral("数据库写入失败，没有做任何修改，请稍后重试！");

// One stock row as the list shows it.
struct PurchaseRow {
    QString id, barcode, supplier, name, category, styleNo, colour, size, quantity, unit, cost,
        tagPrice, discount, special, enteredBy, enteredOn, upper, lower, alarmSwitch;
};

struct PurchaseRows {
    bool ok = false; // false when the statement failed (the list is then empty)
    QList<PurchaseRow> rows;
};

// The rows a record set holds (open on a SELECT of all columns of 采购入库), first to last.
QList<PurchaseRow> rowsOf(data::RecordSet &records);

// The shop's rows in stock, by id (刷新库存; also after a save, a modify and a delete).
PurchaseRows listInStock(AppContext &context);
// The shop's rows in stock whose supplier contains the text, by supplier.
PurchaseRows listBySupplier(AppContext &context, const QString &supplierText);
// The shop's rows (any stock) whose style number contains the text, by id.
PurchaseRows listByStyleNo(AppContext &context, const QString &styleText);
// The shop's zero-stock rows that are not hidden, by purchase date.
PurchaseRows listZeroStock(AppContext &context);

// One list line: its 19 cells and its text colour (0x00BBGGRR).
struct PurchaseListLine {
    QStringList cells;
    quint32 colour = 0;
    bool totals = false;
};
inline constexpr quint32 kRed = 255;
inline constexpr quint32 kTeal = 0x808000;
inline constexpr int kPurchaseListColumns = 19;

// The titles and widths of the 19 columns.
QList<QPair<QString, int>> purchaseListColumns();
// The lines for the rows: cost shown and a red totals line appended only with 查看进价 (and rows).
QList<PurchaseListLine> purchaseListLines(const QList<PurchaseRow> &rows, bool canSeeCost);
// The 19 cells of the totals line for the data lines' cells: "合计:", the quantities' sum and the
// sum of cost × quantity.
QStringList purchaseTotalsCells(const QList<QStringList> &dataLines);

// The form texts a selected line puts into the purchase form (columns 1..12); the totals line puts
// its totals, as the list shows them.
void showLineInForm(const QStringList &cells, PurchaseForm &form);
// The form after a click in the list: the fields a line shows are emptied, then filled from the
// selected line (nullopt when the click selected none: the first quantity and the other lines stay).
void showSelectionInForm(const std::optional<QStringList> &cells, PurchaseForm &form);

struct ListActionResult {
    bool changed = false; // the row was written; the page reloads the shop's rows in stock
    QString message;      // to show; "" for none
};

// Rewrites the list's selected row (its id, "" for none) from the form. Only an unsold row of the
// workstation's shop changes; the check and the write are one statement. The quantity must be a
// whole number from 0 on, the cost and tag price numbers within the money ceiling and the item's
// discount empty or a factor above 0 and at most 1, as in purchase entry. Writes the log row in
// the same transaction.
ListActionResult modifyPurchase(AppContext &context, const QString &rowId, const PurchaseForm &form);
// Deletes the selected unsold row of the shop (button 删除).
ListActionResult deletePurchaseItem(AppContext &context, const QString &rowId);
// The same from the row menu (删除商品), with that menu's messages.
ListActionResult deleteItemFromMenu(AppContext &context, const QString &rowId);

} // namespace stock
