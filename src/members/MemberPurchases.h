#pragma once
// A member's purchases: the lines of 销售明细 whose 会员编号 is the member's card, bought in any
// shop, oldest first. The member page lists them with the member's total spend; the checkout's
// 会员卡号 button shows the card's recent purchases in a small window.
#include <QList>
#include <QString>
#include <QStringList>

class AppContext;
class QWidget;

namespace members {

inline const QString kNoCheckoutCard = QStringLiteral("会员卡号不存在！");
inline const QString kPurchasesReadFailed = QStringLiteral("读取会员购物记录失败，请检查数据库连接后重试！");

struct MemberPurchases {
    bool ok = false;         // false when the statement failed (no rows then)
    QList<QStringList> rows; // the cells of each line, in the list's column order
    QString total;           // the member page's total; "" when there are no lines
};

// The fourteen cells of the member page's list: ID, 商品名称, 类别, 款号, 颜色, 尺码, 数量, 金额,
// 结付方式, 积分, 销售日期, 导购员, 收银员, 所属店铺. The total adds the whole part of each 金额
// ("99.5" and "0.5" give 99; "" counts 0), written without a fraction. An empty card (no member,
// or a member without a card) lists nothing and queries nothing: it is never the sales without a
// member.
MemberPurchases loadMemberPurchaseHistory(AppContext &context, const QString &card);

// The six cells of the checkout's window: ID, 商品名称, 类别, 颜色, 金额, 销售日期. No total.
MemberPurchases loadMemberPurchaseList(AppContext &context, const QString &card);

// The sum of the whole parts of the amounts, as text; "" for no amounts.
QString purchaseTotalText(const QStringList &amounts);

// The checkout's 会员卡号 button: the accepted card's purchases in MemberPurchasesWindow (modal), or
// "会员卡号不存在！" when the checkout has accepted no card.
void openMemberPurchasesWindow(AppContext &context, const QString &acceptedCard, QWidget *parent);

} // namespace members
