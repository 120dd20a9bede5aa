#include "members/MemberPurchases.h"

#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "members/MemberPurchasesWindow.h"
#include "platform/MessageSeam.h"
#include "platform/NumberText.h"

namespace members {

namespace {

const QString kSalesTable = QStringLiteral("销售明细");

// The card's lines of every shop, by id; the columns are read by name in the given order.
MemberPurchases purchases(AppContext &context, const QString &card, const QStringList &columns)
{
    MemberPurchases result;
    if (card.isEmpty()) {
        result.ok = true;
        return result;
    }
    data::Connection &db = context.connection();
    data::RecordSet rs(db);
    result.ok = rs.open(data::buildSelectSql(db.dialect(), kSalesTable, data::eq(QStringLiteral("会员编号"), card),
                                             true, QStringLiteral("id ASC"), true));
    if (!result.ok)
        return result;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList cells;
        for (const QString &column : columns)
            cells << rs.text(column);
        result.rows << cells;
    }
    return result;
}

} // namespace

QString purchaseTotalText(const QStringList &amounts)
{
    if (amounts.isEmpty())
        return QString();
    qint64 total = 0;
    for (const QString &amount : amounts)
        total += textToInteger(amount);
    return QString::number(total);
}

MemberPurchases loadMemberPurchaseHistory(AppContext &context, const QString &card)
{
    static const QStringList columns{
        QStringLiteral("ID"),       QStringLiteral("商品名称"), QStringLiteral("类别"),     QStringLiteral("款号"),
        QStringLiteral("颜色"),     QStringLiteral("尺码"),     QStringLiteral("数量"),     QStringLiteral("金额"),
        QStringLiteral("结付方式"), QStringLiteral("积分"),     QStringLiteral("销售日期"), QStringLiteral("导购员"),
        QStringLiteral("收银员"),   QStringLiteral("所属店铺")};
    MemberPurchases result = purchases(context, card, columns);
    QStringList amounts;
    for (const QStringList &cells : result.rows)
        amounts << cells.at(7);
    result.total = purchaseTotalText(amounts);
    return result;
}

MemberPurchases loadMemberPurchaseList(AppContext &context, const QString &card)
{
    static const QStringList columns{QStringLiteral("ID"),   QStringLiteral("商品名称"), QStringLiteral("类别"),
                                     QStringLiteral("颜色"), QStringLiteral("金额"),     QStringLiteral("销售日期")};
    return purchases(context, card, columns);
}

void openMemberPurchasesWindow(AppContext &context, const QString &acceptedCard, QWidget *parent)
{
    if (acceptedCard.isEmpty()) {
        MessageSeam::message(parent, QString(), kNoCheckoutCard);
        return;
    }
    MemberPurchasesWindow window(context, acceptedCard, parent);
    MessageSeam::exec(&window);
}

} // namespace members
