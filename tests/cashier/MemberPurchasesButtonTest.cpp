// The checkout's 会员卡号 button: without an accepted card it says so; with one it opens the
// card's purchases of every shop, oldest first.
#include "CheckoutFixture.h"

#include "lists/ReportList.h"
#include "members/MemberPurchasesWindow.h"

namespace {

using checkouttest::CheckoutFixture;

class MemberPurchasesButtonTest : public CheckoutFixture {
protected:
    void sale(const QString &card, const QString &name, const QString &amount, const QString &shop)
    {
        exec(QStringLiteral("INSERT INTO 销售明细 (会员编号,商品名称,类别,颜色,金额,销售日期,所属店铺) "
                             "VALUES (?,?,'T恤','白',?,'2015-03-01',?)"),
             {card, name, amount, shop});
    }
};

TEST_F(MemberPurchasesButtonTest, NoCardOrTheAcceptedCardsPurchases)
{
    addMember(QStringLiteral("V1"), QStringLiteral("普通"), QStringLiteral("0"));
    sale(QStringLiteral("V1"), QStringLiteral("衬衫"), QStringLiteral("99.5"), QStringLiteral("A"));
    sale(QString(), QStringLiteral("无卡"), QStringLiteral("10"), QStringLiteral("A"));
    sale(QStringLiteral("V1"), QStringLiteral("长裤"), QStringLiteral("120"), QStringLiteral("B"));
    addLine(QStringLiteral("100"), QStringLiteral("1"));

    struct Case {
        const char *name;
        QString typed; // into 会员卡号x
        QStringList texts;
        QStringList lines; // name|amount; none: no window
    } cases[] = {
        {"no card", "", {"会员卡号不存在！"}, {}},
        {"a card of no member", "V9", {"会员卡号不存在！"}, {}},
        {"an accepted card", "V1", {}, {"衬衫|99.5", "长裤|120"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto window = openWindow();
        paste(*window, c.typed);
        script.clear();
        QStringList lines;
        QString title;
        script.setDialogHandler([&](QDialog *dialog) {
            auto *purchases = qobject_cast<members::MemberPurchasesWindow *>(dialog);
            EXPECT_TRUE(purchases);
            if (!purchases)
                return int(QDialog::Rejected);
            title = purchases->windowTitle();
            ReportList *list = purchases->list();
            EXPECT_EQ(list->objectName(), QStringLiteral("超级列表框5"));
            EXPECT_EQ(list->columnCount(), 6);
            EXPECT_EQ(list->columnTitle(5), QStringLiteral("购物日期"));
            for (int r = 0; r < list->rowCount(); ++r) {
                EXPECT_EQ(list->rowTexts(r).mid(2), (QStringList{"T恤", "白", list->cellText(r, 4), "2015-03-01"}));
                lines << list->cellText(r, 1) + u'|' + list->cellText(r, 4);
            }
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("超级按钮4")), Qt::LeftButton);
        EXPECT_EQ(script.texts(), c.texts);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(script.dialogs().size(), c.lines.isEmpty() ? 0 : 1);
        if (!c.lines.isEmpty())
            EXPECT_EQ(title, QStringLiteral("会员购物记录预览"));
    }
}

} // namespace
