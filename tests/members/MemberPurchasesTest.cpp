// A member's purchases on the member page: the lines of her card from every shop with the total of
// their whole parts, nothing for a card-less member, and the same on the server.
#include "MemberFixture.h"

#include "members/MemberExtras.h"
#include "members/MemberPurchases.h"

#include <QLabel>
#include <vector>

using namespace members;
using membertest::MemberFixture;
using membertest::SqliteMemberFixture;

namespace {

struct Sale {
    const char *card;
    const char *amount;
    const char *shop;
};

template <typename Base>
class PurchasesOnPage : public Base {
protected:
    void SetUp() override
    {
        Base::SetUp();
        if (this->HasFatalFailure())
            return;
        mountMemberExtras(*this->page, {});
    }
    void sale(const Sale &s)
    {
        const data::Pairs row = {
            {QStringLiteral("会员编号"), QString::fromUtf8(s.card)}, {QStringLiteral("商品名称"), QStringLiteral("衬衫")},
            {QStringLiteral("类别"), QStringLiteral("T恤")},         {QStringLiteral("款号"), QStringLiteral("1001")},
            {QStringLiteral("颜色"), QStringLiteral("白")},          {QStringLiteral("尺码"), QStringLiteral("L")},
            {QStringLiteral("数量"), QStringLiteral("1")},           {QStringLiteral("金额"), QString::fromUtf8(s.amount)},
            {QStringLiteral("结付方式"), QStringLiteral("现金")},     {QStringLiteral("积分"), QStringLiteral("0")},
            {QStringLiteral("销售日期"), QStringLiteral("2015-03-10")}, {QStringLiteral("导购员"), QStringLiteral("李四")},
            {QStringLiteral("收银员"), QStringLiteral("张三")},       {QStringLiteral("所属店铺"), QString::fromUtf8(s.shop)}};
        ASSERT_TRUE(this->db().execute(data::buildInsertSql(this->db().dialect(), QStringLiteral("销售明细"), row)));
    }
    void select(const QString &card)
    {
        for (int r = 0; r < this->page->list()->rowCount(); ++r)
            if (this->page->list()->cellText(r, 1) == card)
                this->page->list()->selectRow(r);
    }
    ReportList *history() { return this->page->template findChild<ReportList *>(QStringLiteral("超级列表框5")); }
    QString total() { return this->page->template findChild<QLabel *>(QStringLiteral("透明标签44"))->text(); }
    // The history's lines as "amount@shop".
    QStringList lines()
    {
        QStringList out;
        for (int r = 0; r < history()->rowCount(); ++r)
            out << history()->cellText(r, 7) + u'@' + history()->cellText(r, 13);
        return out;
    }
};

using MemberPurchasesTest = PurchasesOnPage<SqliteMemberFixture>;

TEST_F(MemberPurchasesTest, TheSelectedMembersLinesAndTheTotalOfTheirWholeParts)
{
    struct Case {
        const char *name;
        std::vector<Sale> sales;
        QStringList lines; // of card V1
        QString total;
    } cases[] = {
        {"whole parts only", {{"V1", "99.5", "A"}, {"V1", "0.5", "A"}}, {"99.5@A", "0.5@A"}, "99"},
        {"a return counts its whole part", {{"V1", "10", "A"}, {"V1", "-3.5", "A"}}, {"10@A", "-3.5@A"}, "7"},
        {"another shop with sharing off", {{"V1", "20", "B"}, {"V1", "30", "A"}}, {"20@B", "30@A"}, "50"},
        {"other cards are not hers", {{"V2", "20", "A"}, {"", "5", "A"}}, {}, ""},
        {"no purchases", {}, {}, ""},
    };
    member(QStringLiteral("V1"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(db().execute(data::Sql(QStringLiteral("DELETE FROM 销售明细"))));
        for (const Sale &s : c.sales)
            sale(s);
        ctx().shopSettings.会员共享 = AppContext::FlagOff;
        page->list()->clearSelection();
        openPage();
        select(QStringLiteral("V1"));
        EXPECT_EQ(lines(), c.lines);
        EXPECT_EQ(total(), c.total);
    }
}

TEST_F(MemberPurchasesTest, AllFourteenColumnsOfALine)
{
    member(QStringLiteral("V1"));
    sale({"V1", "88", "A"});
    openPage();
    select(QStringLiteral("V1"));
    ASSERT_EQ(history()->rowCount(), 1);
    const QStringList cells = history()->rowTexts(0);
    EXPECT_EQ(cells.mid(1), (QStringList{"衬衫", "T恤", "1001", "白", "L", "1", "88", "现金", "0", "2015-03-10", "李四",
                                         "张三", "A"}));
    EXPECT_FALSE(cells.at(0).isEmpty());
}

TEST_F(MemberPurchasesTest, AMemberWithoutACardListsNothingNotTheSalesWithoutAMember)
{
    member(QString(), QStringLiteral("A"), QStringLiteral("无卡"));
    member(QStringLiteral("V1"));
    sale({"", "15", "A"});
    sale({"V1", "40", "A"});
    openPage();
    select(QStringLiteral("V1"));
    EXPECT_EQ(lines(), QStringList{"40@A"});
    page->list()->selectRow(0); // the member without a card
    EXPECT_EQ(history()->rowCount(), 0);
    EXPECT_EQ(total(), QString());
    // Nothing selected: the history empties.
    select(QStringLiteral("V1"));
    page->list()->clearSelection();
    EXPECT_EQ(history()->rowCount(), 0);
    EXPECT_EQ(total(), QString());
}

// On both backends: a member who bought in two shops sees both, whatever sharing says.
class MemberPurchasesBackends : public PurchasesOnPage<MemberFixture> {};

TEST_P(MemberPurchasesBackends, PurchasesOfTwoShopsUnderBothSharingSettings)
{
    member(QStringLiteral("V1"));
    member(QStringLiteral("V1"), QStringLiteral("B"));
    sale({"V1", "12.9", "A"});
    sale({"V1", "30.5", "B"});
    sale({"V9", "100", "A"});
    for (const QString &sharing : {AppContext::FlagOff, AppContext::FlagOn}) {
        SCOPED_TRACE(sharing.toStdString());
        ctx().shopSettings.会员共享 = sharing;
        page->list()->clearSelection();
        openPage();
        select(QStringLiteral("V1"));
        EXPECT_EQ(lines(), (QStringList{"12.9@A", "30.5@B"}));
        EXPECT_EQ(total(), QStringLiteral("42"));
    }
    const MemberPurchases window = loadMemberPurchaseList(ctx(), QStringLiteral("V1"));
    ASSERT_TRUE(window.ok);
    ASSERT_EQ(window.rows.size(), 2);
    EXPECT_EQ(window.rows[1].mid(1), (QStringList{"衬衫", "T恤", "白", "30.5", "2015-03-10"}));
}

SHOPDESK_BOTH_BACKENDS(MemberPurchasesBackends);

} // namespace
