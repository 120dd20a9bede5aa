// The sale writer itself refuses a split that would give change out of anything but cash: a
// negative part (spread over several lines it would be stored on each of them), or parts other
// than cash that come to more than the amount due. Nothing of such a sale is stored, on either
// backend, whether it comes through the confirmation or straight to the writer.
#include "CounterFixture.h"

#include "cashier/Cart.h"
#include "cashier/SaleWriter.h"
#include "platform/MessageScript.h"
#include "platform/NumberText.h"

using namespace cashier;
using namespace countertest;

namespace {

struct RefusalCase {
    const char *name;
    SplitPayment split; // over two lines of 12 and 8, due 20
    bool throughConfirmation;
    const char16_t *refusal; // "" when the sale is written
};

class SplitRefusal : public ::testing::TestWithParam<data::Backend> {
protected:
    void SetUp() override { ASSERT_TRUE(c.ok()) << c.db.error().toStdString(); }

    ClockGuard clock;
    Counter c{GetParam()};
    MessageScript script;
};

CartLine lineOf(qint64 id, const QString &amount)
{
    CartLine line;
    line.id = QString::number(id);
    line.款号 = QStringLiteral("1001");
    line.商品名称 = QStringLiteral("衬衫");
    line.数量 = QStringLiteral("1");
    line.吊牌价 = amount;
    line.折扣 = QStringLiteral("1");
    line.金额 = amount;
    line.结付 = kPayOther;
    return line;
}

SplitPayment parts(const char *cash, const char *bank, const char *points, const char *coupon, const char *stored)
{
    return {QString::fromLatin1(cash), QString::fromLatin1(bank), QString::fromLatin1(points),
            QString::fromLatin1(coupon), QString::fromLatin1(stored)};
}

TEST_P(SplitRefusal, NoSaleGivesChangeOutOfAnythingButCash)
{
    const RefusalCase cases[] = {
        {"negative cash over two lines", parts("-20", "0", "0", "0", "0"), false, u"结付金额不能为负数：现金【-20】，本单没有保存"},
        {"negative cash, the rest by card", parts("-20", "20", "0", "0", "0"), false, u"结付金额不能为负数：现金【-20】，本单没有保存"},
        {"negative bank", parts("25", "-5", "0", "0", "0"), false, u"结付金额不能为负数：银行【-5】，本单没有保存"},
        {"negative points", parts("21", "0", "-1", "0", "0"), false, u"结付金额不能为负数：积分【-1】，本单没有保存"},
        {"negative coupon", parts("20.01", "0", "0", "-0.01", "0"), false, u"结付金额不能为负数：优惠券【-0.01】，本单没有保存"},
        {"negative stored value", parts("40", "0", "0", "0", "-20"), false, u"结付金额不能为负数：储值【-20】，本单没有保存"},
        {"negative cash confirmed", parts("-20", "40", "", "", ""), true, u"结付金额不能为负数：现金【-20】，本单没有保存"},
        {"bank above", parts("0", "20.01", "0", "0", "0"), false,
         u"银行、积分、优惠券和储值合计【20.01】大于应付款【20】，找零只能从现金中找出，本单没有保存"},
        {"points above", parts("", "", "130", "", ""), true,
         u"银行、积分、优惠券和储值合计【130】大于应付款【20】，找零只能从现金中找出，本单没有保存"},
        {"stored value above confirmed", parts("0", "0", "0", "0", "30"), true,
         u"银行、积分、优惠券和储值合计【30】大于应付款【20】，找零只能从现金中找出，本单没有保存"},
        {"four parts above", parts("0", "10", "5", "3", "2.01"), false,
         u"银行、积分、优惠券和储值合计【20.01】大于应付款【20】，找零只能从现金中找出，本单没有保存"},
        {"a minus sign alone as cash", parts("-", "20", "0", "0", "0"), true, u"结付金额不是数字：现金【-】，本单没有保存"},
        {"a point alone as coupon", parts("20", "0", "0", ".", "0"), false, u"结付金额不是数字：优惠券【.】，本单没有保存"},
        {"four parts equal, change from cash", parts("50", "10", "5", "3", "2"), true, u""},
        {"all cash", parts("20", "0", "0", "0", "0"), false, u""},
    };
    for (const RefusalCase &rc : cases) {
        SCOPED_TRACE(rc.name);
        script.clear();
        const qint64 first = c.addStock({{QStringLiteral("数量"), QStringLiteral("5")}});
        const qint64 second = c.addStock({{QStringLiteral("数量"), QStringLiteral("5")}});
        const int salesBefore = c.count(QStringLiteral("销售明细"));
        const int rankingBefore = c.count(QStringLiteral("销量排行"));
        Cart cart;
        cart.append(lineOf(first, QStringLiteral("12")));
        cart.append(lineOf(second, QStringLiteral("8")));

        SaleResult result;
        if (rc.throughConfirmation) {
            SaleRequest request;
            request.payable = QStringLiteral("20");
            double paid = 0;
            for (const QString *part : {&rc.split.现金, &rc.split.银行, &rc.split.积分, &rc.split.优惠券, &rc.split.储值})
                paid += textToNumber(*part);
            request.received = numberToText(roundTo(paid, 6));
            request.change = numberToText(roundTo(20 - paid, 6));
            request.split = true;
            request.splitFields = rc.split;
            result = confirmCheckout(c.context, cart, request, SaleHooks{});
        } else {
            result = writeSale(c.context, cart, rc.split, SaleMember{}, QStringLiteral("20"), SaleHooks{});
        }

        const QString refusal = QString::fromUtf16(rc.refusal);
        if (!refusal.isEmpty()) {
            EXPECT_EQ(result.status, SaleStatus::Refused);
            EXPECT_EQ(result.message, refusal);
            EXPECT_EQ(script.texts(), QStringList{refusal});
            EXPECT_EQ(c.count(QStringLiteral("销售明细")), salesBefore);
            EXPECT_EQ(c.count(QStringLiteral("销量排行")), rankingBefore);
            EXPECT_EQ(c.text(QStringLiteral("采购入库"), first, QStringLiteral("数量")), QStringLiteral("5"));
            EXPECT_EQ(c.text(QStringLiteral("采购入库"), second, QStringLiteral("数量")), QStringLiteral("5"));
            EXPECT_EQ(cart.count(), 2);
            continue;
        }
        ASSERT_TRUE(result.written()) << script.texts().join(u'|').toStdString();
        const auto rows = c.rows(QStringLiteral("销售明细"));
        ASSERT_EQ(rows.size(), salesBefore + 2);
        for (const auto &row : rows.mid(salesBefore))
            for (const char16_t *part : {u"现金", u"银行", u"积分", u"优惠券", u"储值"})
                EXPECT_GE(textToNumber(row.value(QString::fromUtf16(part))), 0) << QString::fromUtf16(part).toStdString();
    }
}

SHOPDESK_BOTH_BACKENDS(SplitRefusal);

} // namespace
