// Change comes out of cash only, on the real window: a member with stored value 100 and points at
// 10 a unit buys two lines of 12 and 8 (due 20), amounts to the cent. Each part other than cash,
// equal to what is due, above it and one cent above it, alone and with cash, typed and pasted, and
// the points button after each of the other parts; a negative cash part. A refused part keeps the
// field's text from before the key or the paste. Every sale written adds up: the parts stored less
// the change give the lines' amounts, and the member's points and stored value change by exactly
// what she paid with them (and earned).
#include "CheckoutFixture.h"

#include "platform/NumberText.h"

#include <QApplication>
#include <QClipboard>
#include <algorithm>
#include <vector>

namespace checkouttest {
namespace {

enum class How { Type, Paste, Button };

struct Step {
    F field;
    const char *text; // typed or pasted; unused for the points button
    How how = How::Type;
};

struct ChangeCase {
    const char *name;
    const char *points; // the member's points when found
    std::vector<Step> steps;
    F shownField;
    const char *shown;   // that field's text after the steps
    const char16_t *message;
    const char *change;  // 实收款 − 应付款 at confirmation; nullptr: refused as underpaid, nothing written
};

void PrintTo(const ChangeCase &c, std::ostream *os)
{
    *os << c.name;
}

qint64 cents(const QString &text)
{
    return std::llround(textToNumber(text) * 100);
}

class ChangeOutOfCash : public CheckoutFixture, public ::testing::WithParamInterface<ChangeCase> {
protected:
    QList<QMap<QString, QString>> rowsOf(const QString &table)
    {
        QList<QMap<QString, QString>> rows;
        data::RecordSet rs(context.connection());
        EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY id"))));
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            QMap<QString, QString> row;
            for (const QString &column : rs.columns())
                row[column] = rs.text(column);
            rows << row;
        }
        return rows;
    }
};

TEST_P(ChangeOutOfCash, NoPartButCashGivesChange)
{
    const ChangeCase c = GetParam();
    setModes(QStringLiteral("真"), QStringLiteral("假"), QStringLiteral("假")); // points mode: prices stay
    context.shopSettings.积分值 = QStringLiteral("0");
    context.shopSettings.抵扣值 = QStringLiteral("10");
    context.shopSettings.销售 = QStringLiteral("2"); // amounts to the cent
    const QString pointsBefore = QString::fromLatin1(c.points);
    addMember(QStringLiteral("V1"), QStringLiteral("银卡"), pointsBefore, QStringLiteral("100"));
    addLine(QStringLiteral("12"), QStringLiteral("1"));
    addLine(QStringLiteral("8"), QStringLiteral("1"));
    auto window = openWindow();
    paste(*window, QStringLiteral("V1"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_F3));
    CheckoutState &s = window->state();
    ASSERT_EQ(s.text(F::应付款), "20");

    for (const Step &step : c.steps) {
        QLineEdit *field = window->field(step.field);
        switch (step.how) {
        case How::Type:
            typeInto(field, QString::fromLatin1(step.text));
            break;
        case How::Paste:
            field->selectAll();
            QApplication::clipboard()->setText(QString::fromLatin1(step.text));
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            break;
        case How::Button:
            pointsButton(*window)->click();
            break;
        }
    }
    EXPECT_EQ(window->field(c.shownField)->text(), QString::fromLatin1(c.shown));
    EXPECT_EQ(s.text(c.shownField), QString::fromLatin1(c.shown));
    EXPECT_EQ(script.texts().join(u'|'), QString::fromUtf16(c.message));
    // 实收款 is the sum of the parts shown, and no part but cash ever gives change.
    const double nonCash = s.number(F::银行) + s.number(F::积分编辑框) + s.number(F::优惠券) + s.number(F::储值);
    EXPECT_EQ(s.text(F::实收款), numberToText(roundTo(s.number(F::现金) + nonCash, 6)));
    EXPECT_LE(nonCash, 20.0);

    script.clear();
    const QString received = s.text(F::实收款);
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    if (!c.change) {
        EXPECT_EQ(window->lastResult().status, SaleStatus::Underpaid);
        EXPECT_TRUE(rowsOf(QStringLiteral("销售明细")).isEmpty());
        EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("积分")), pointsBefore);
        EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("会员储值")), "100");
        return;
    }
    ASSERT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
    EXPECT_EQ(numberToText(textToNumber(received) - 20), QString::fromLatin1(c.change));

    const QList<QMap<QString, QString>> rows = rowsOf(QStringLiteral("销售明细"));
    ASSERT_EQ(rows.size(), 2);
    qint64 amounts = 0, stored = 0, cash = 0, points = 0, storedValue = 0;
    for (const auto &row : rows) {
        amounts += cents(row.value(QStringLiteral("金额")));
        for (const char16_t *part : {u"现金", u"银行", u"积分", u"优惠券", u"储值"}) {
            EXPECT_GE(cents(row.value(QString::fromUtf16(part))), 0) << QString::fromUtf16(part).toStdString();
            stored += cents(row.value(QString::fromUtf16(part)));
        }
        cash += cents(row.value(QStringLiteral("现金")));
        points += cents(row.value(QStringLiteral("积分")));
        storedValue += cents(row.value(QStringLiteral("储值")));
    }
    const qint64 change = cents(QString::fromLatin1(c.change));
    EXPECT_EQ(amounts, 2000);
    EXPECT_EQ(stored - change, amounts);
    EXPECT_LE(change, cash); // the change is handed out of the cash part
    // Her points: less 10 for each unit paid by points, plus the 20 the sale earns; her stored
    // value: less what it paid.
    ASSERT_EQ(points % 100, 0);
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("积分")),
              QString::number(pointsBefore.toLongLong() - points / 100 * 10 + 20));
    EXPECT_EQ(memberText(QStringLiteral("V1"), QStringLiteral("会员储值")), numberToText(double(10000 - storedValue) / 100));
}

const char16_t *const kAbove = u"银行、积分、优惠券和储值合计不能大于应付款金额，找零只能从现金中找出";
const char16_t *const kNegative = u"输入的数值不能为负数";

INSTANTIATE_TEST_SUITE_P(
    Table, ChangeOutOfCash,
    ::testing::Values(
        ChangeCase{"bank equal", "0", {{F::银行, "20"}}, F::银行, "20", u"", "0"},
        ChangeCase{"bank equal with cash", "0", {{F::银行, "20"}, {F::现金, "10"}}, F::银行, "20", u"", "10"},
        ChangeCase{"bank above", "0", {{F::银行, "25"}}, F::银行, "2", kAbove, nullptr},
        ChangeCase{"bank above pasted with cash", "0", {{F::现金, "20"}, {F::银行, "25", How::Paste}}, F::银行, "0", kAbove, "0"},
        ChangeCase{"bank one cent above", "0", {{F::银行, "20.01"}}, F::银行, "20.0", kAbove, "0"},
        ChangeCase{"coupon one cent above bank pasted with cash", "0", {{F::银行, "15"}, {F::现金, "5"}, {F::优惠券, "5.01", How::Paste}}, F::优惠券, "0", kAbove, "0"},
        ChangeCase{"coupon to the cent of bank pasted", "0", {{F::银行, "19.99"}, {F::优惠券, "0.01", How::Paste}}, F::优惠券, "0.01", u"", "0"},
        ChangeCase{"coupon equal pasted", "0", {{F::优惠券, "20", How::Paste}}, F::优惠券, "20", u"", "0"},
        ChangeCase{"coupon above with cash", "0", {{F::现金, "30"}, {F::优惠券, "21"}}, F::优惠券, "2", kAbove, "12"},
        ChangeCase{"coupon above bank", "0", {{F::银行, "15"}, {F::优惠券, "6"}, {F::现金, "5"}}, F::优惠券, "0", kAbove, "0"},
        ChangeCase{"stored value equal", "0", {{F::储值, "20"}}, F::储值, "20", u"", "0"},
        ChangeCase{"stored value equal with cash", "0", {{F::储值, "20"}, {F::现金, "50"}}, F::储值, "20", u"", "50"},
        ChangeCase{"stored value above", "0", {{F::储值, "30"}}, F::储值, "3", kAbove, nullptr},
        ChangeCase{"stored value above pasted with cash", "0", {{F::现金, "20"}, {F::储值, "25", How::Paste}}, F::储值, "0", kAbove, "0"},
        ChangeCase{"points equal", "200", {{F::积分编辑框, "", How::Button}}, F::会员积分x, "0", u"", "0"},
        ChangeCase{"points above", "1300", {{F::积分编辑框, "", How::Button}}, F::积分编辑框, "20", u"", "0"},
        ChangeCase{"points above leave the rest", "1305", {{F::积分编辑框, "", How::Button}}, F::会员积分x, "1105", u"", "0"},
        ChangeCase{"points above with cash after", "1300", {{F::积分编辑框, "", How::Button}, {F::现金, "10"}}, F::积分编辑框, "20", u"", "10"},
        ChangeCase{"points above after cash", "1300", {{F::现金, "5"}, {F::积分编辑框, "", How::Button}}, F::积分编辑框, "15", u"", "0"},
        ChangeCase{"points above after bank", "1300", {{F::银行, "18"}, {F::积分编辑框, "", How::Button}}, F::会员积分x, "1280", u"", "0"},
        ChangeCase{"points after a coupon", "1300", {{F::优惠券, "5"}, {F::积分编辑框, "", How::Button}}, F::积分编辑框, "15", u"", "0"},
        ChangeCase{"points after stored value", "1300", {{F::储值, "5"}, {F::积分编辑框, "", How::Button}}, F::积分编辑框, "15", u"", "0"},
        ChangeCase{"points after bank, coupon and stored value", "1300",
                   {{F::银行, "6"}, {F::优惠券, "4"}, {F::储值, "3"}, {F::积分编辑框, "", How::Button}}, F::会员积分x, "1230", u"", "0"},
        ChangeCase{"points then stored value one cent above", "1300", {{F::积分编辑框, "", How::Button}, {F::储值, "0.01"}}, F::储值, "0.0", kAbove, "0"},
        ChangeCase{"points then stored value above", "1300", {{F::积分编辑框, "", How::Button}, {F::储值, "1"}}, F::储值, "0", kAbove, "0"},
        ChangeCase{"negative cash typed", "0", {{F::现金, "-5"}}, F::现金, "-", kNegative, nullptr},
        ChangeCase{"negative cash pasted with bank", "0", {{F::银行, "20"}, {F::现金, "-20", How::Paste}}, F::现金, "0", kNegative, "0"}),
    [](const ::testing::TestParamInfo<ChangeCase> &info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        std::replace(name.begin(), name.end(), ',', '_');
        return name;
    });

// When the amount due falls below the parts already entered (a typed 应付款), a part other than
// cash may still be lowered and cash typed freely, but none raised; the writer refuses the sale
// until the parts fit.
class SplitParts : public CheckoutFixture {};

TEST_F(SplitParts, APartMayBeLoweredWhenTheAmountDueFellBelowTheParts)
{
    context.discountScheme.自由优惠 = AppContext::FlagOn;
    addLine(QStringLiteral("100"), QStringLiteral("1"));
    auto window = openWindow();
    CheckoutState &s = window->state();
    s.selectSplitPayment();
    ASSERT_TRUE(s.acceptSplitPart(F::银行, QStringLiteral("80")));
    s.setText(F::银行, QStringLiteral("80"));
    window->payableOverride().beginPayableEdit();
    s.setText(F::应付款, QStringLiteral("50"));
    window->payableOverride().endPayableEdit();
    ASSERT_EQ(cart.line(0).金额, "50");
    s.setText(F::现金, QStringLiteral("10"));
    EXPECT_TRUE(s.acceptSplitPart(F::银行, QStringLiteral("70")));
    EXPECT_TRUE(s.acceptSplitPart(F::现金, QStringLiteral("30")));
    EXPECT_TRUE(script.texts().isEmpty());
    EXPECT_FALSE(s.acceptSplitPart(F::优惠券, QStringLiteral("1")));
    EXPECT_FALSE(s.acceptSplitPart(F::银行, QStringLiteral("81")));
    EXPECT_EQ(script.texts().join(u'|'), QStringLiteral("%1|%1").arg(kNonCashAboveDue));
    script.clear();

    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    EXPECT_EQ(window->lastResult().status, SaleStatus::Refused);
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral(
                                  "银行、积分、优惠券和储值合计【80】大于应付款【50】，找零只能从现金中找出，本单没有保存")});
    s.setText(F::银行, QStringLiteral("50"));
    ASSERT_TRUE(window->handleCheckoutKey(Qt::Key_Return));
    EXPECT_TRUE(window->lastResult().written()) << script.texts().join(u'|').toStdString();
}

} // namespace
} // namespace checkouttest
