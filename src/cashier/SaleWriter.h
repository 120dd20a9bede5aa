#pragma once
// Confirming a checkout and writing its sale. One sale is one transaction: a 销售明细 row per cart
// line (all with one receipt number), the monthly 销量排行 row of each style number, the stock
// decrement and the member's points, spending, tier and stored value, all changed by increments
// in the statements, so that two workstations selling at once lose nothing. The stock-alarm
// questions, the receipt and the clearing of the cart follow the commit. On any failure nothing
// of the sale is stored, the cart stays as it was and the cashier is told why.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "printing/ReceiptPrinter.h"

class AppContext;
class QWidget;

namespace cashier {

class Cart;

// The five parts of a split payment ("其它"), as texts; all empty for a cash or card sale.
struct SplitPayment {
    QString 现金;
    QString 银行;
    QString 积分;   // the points part, in money
    QString 优惠券;
    QString 储值;
    bool operator==(const SplitPayment &) const = default;
};

// The member card on the sale, as the checkout window holds it.
struct SaleMember {
    QString 会员卡号;       // the card the checkout accepted (会员卡号x); "" when no member was found
    QString 会员类别;       // 会员类别x (the tier before this sale; "" on a shop without tiers)
    QString 会员积分;       // 会员积分x: the points left after any points payment
    QString 会员储值;       // 会员储值x: the stored value left after the payment ("" = not touched)
    QString 积分AsRead;     // 积分 of the member row when the card was found
    QString 消费金额AsRead; // 消费金额 of the member row when the card was found
    QString 储值AsRead;     // 会员储值 of the member row when the card was found
    qint64 id = 0;          // the member row, when the checkout knows it (else found by card)
    // A member is on the sale whenever the checkout accepted her card, whatever her tier: her
    // stored value, points and spending follow the sale; only the tier raise needs a tier.
    bool present() const { return !会员卡号.isEmpty(); }
};

// What the checkout window hands over on confirmation.
struct SaleRequest {
    QString payable;   // 应付款 (A)
    QString received;  // 实收款 (R)
    QString change;    // 找零, as shown
    bool split = false; // 单选框3 "其它" ticked
    SplitPayment splitFields; // 现金, 银行, 积分编辑框, 优惠券, 储值 as shown
    SaleMember member;
};

// What happens around the write that belongs to other windows.
struct SaleHooks {
    printing::ReceiptPrinter *receiptPrinter = nullptr; // printed when receiptPrintFlag is "真"
    // Opens the stock alarm report (modal) after a Yes to an alarm question; empty = nothing opens.
    std::function<void(QWidget *parent)> openStockAlarmReport;
};

enum class SaleStatus {
    Written,   // stored, asked, printed, cart cleared
    EmptyCart, // nothing to write
    Underpaid, // refused before writing; the window stays open
    Busy,      // a confirmation of this cart is already running: nothing done
    Refused,   // a line's stock row is gone or of another shop, a quantity is no whole number, the
               // member is gone, a split part is negative or the parts other than cash come to more
               // than the amount due: nothing written, cart kept
    Failed,    // the database refused a statement: rolled back, cart kept
};

struct SaleResult {
    SaleStatus status = SaleStatus::Failed;
    QString receiptNo;
    QString saleDate;  // 'YYYY-MM-DD'
    QString saleTime;  // 'H:M'
    QString message;   // what the cashier was told (refusals and failures)
    QStringList alarmQuestions; // the stock-alarm questions asked, in order
    bool written() const { return status == SaleStatus::Written; }
};

// The receipt number of a moment: the last digit of the year, then p(second), p(minute), p(hour),
// p(day), p(month), p(x) being the last two characters of "8" + x ("58985141183" for
// 2015-03-11 14:05:09).
QString receiptNumber(const QDateTime &time);
// The receipt of the cart's lines under a receipt number.
printing::Receipt receiptOf(const Cart &cart, const QString &receiptNo);
// The sale time form: hour ":" minute without leading zeros ("9:5").
QString saleTimeText(const QDateTime &time);

// The underpaid refusal: "" when R − A ≥ −1e-7, else the message with the three texts as shown.
QString underpaidText(const QString &payable, const QString &received, const QString &change);

// Change comes out of cash only: "" when every part of the split is 0 or more and the parts other
// than cash (bank card, points, coupon, stored value) together are no more than the amount due;
// else why the sale is not stored.
QString splitRefusalText(const SplitPayment &split, const QString &payable);

// A split payment spread over lines in proportion to their amounts, in cents (or the finer unit a
// part was entered in): each part adds up over the lines to what was entered, each line's parts
// add up to its share of the sum paid (the exact share, up or down by less than a cent), and no
// line gets a negative part; a line of amount 0 gets 0. One line gets the split as entered; an
// empty part stays empty on every line; with a zero total the first line gets everything.
QList<SplitPayment> spreadSplit(const SplitPayment &split, const QStringList &lineAmounts);

// The stock-alarm questions of a sold line, in the order they are asked: own limits when the row's
// 开关 is "真", the shop's when its 报警开关 is "真", none otherwise. rest is the stock after the sale.
QStringList stockAlarmQuestions(const QString &itemName, qint64 rest, const QString &rowSwitch,
                                const QString &rowUpper, const QString &rowLower,
                                const QString &shopSwitch, const QString &shopUpper,
                                const QString &shopLower);
inline const QString kStockAlarmTitle = QStringLiteral("库存报警提示");

// confirmCheckout's writing part: the underpaid test (message, nothing written), the split capture,
// then writeSale. A confirmation while another one of the same cart runs does nothing (Busy).
SaleResult confirmCheckout(AppContext &context, Cart &cart, const SaleRequest &request,
                           const SaleHooks &hooks, QWidget *parent = nullptr);

// Writes the cart as one sale (see the file comment). split: the captured split payment (empty
// parts for a cash or card sale); payable: the amount due A that the member's points and spending
// grow by. Messages and questions go through the message seam.
SaleResult writeSale(AppContext &context, Cart &cart, const SplitPayment &split, const SaleMember &member,
                     const QString &payable, const SaleHooks &hooks, QWidget *parent = nullptr);

} // namespace cashier
