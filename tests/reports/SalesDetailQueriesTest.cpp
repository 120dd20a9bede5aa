// The sales detail page's queries on both backends: the date scopes, the search by field
// (letter case ignored, the user's text bound) and the shop filter.
#include "data/RecordSet.h"
#include "reports/SalesDetail.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace reports;

namespace {

class SalesDetailQueries : public testsupport::BothBackends {
protected:
    void SetUp() override
    {
        BothBackends::SetUp();
        if (HasFatalFailure())
            return;
        sale("2015-02-28", "A", "AB-100", "红衬衫", "hcs", "R1");
        sale("2015-03-10", "A", "cd-200", "白T恤", "btx", "R2");
        sale("2015-03-11", "A", "ab-300", "黑裤子", "hkz", "R3");
        sale("2015-03-11", "B", "AB-900", "白T恤", "btx", "R9");
    }
    void sale(const char *day, const char *shop, const char *barcode, const char *name, const char *initials,
              const char *receipt)
    {
        ASSERT_TRUE(conn().execute(data::Sql(
            QStringLiteral("INSERT INTO 销售明细 (销售日期,所属店铺,商品条码,商品名称,拼音检索,小票单号,数量,金额) "
                           "VALUES (?,?,?,?,?,?,'1','10')"),
            {QString::fromUtf8(day), QString::fromUtf8(shop), QString::fromUtf8(barcode), QString::fromUtf8(name),
             QString::fromUtf8(initials), QString::fromUtf8(receipt)})))
            << conn().lastError().toStdString();
    }
    QStringList receipts(const data::Sql &sql)
    {
        data::RecordSet rs(conn());
        EXPECT_TRUE(rs.open(sql)) << rs.lastError().toStdString();
        QStringList out;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            out << rs.text(QStringLiteral("小票单号"));
        return out;
    }
};

TEST_P(SalesDetailQueries, DateScopesListTheShopsLinesInOrder)
{
    const QString shop = QStringLiteral("A");
    EXPECT_EQ(receipts(salesOfDaySql(dialect(), shop, QDate(2015, 3, 11))), QStringList{"R3"});
    EXPECT_EQ(receipts(salesOfMonthSql(dialect(), shop, QDate(2015, 3, 1))), (QStringList{"R2", "R3"}));
    EXPECT_EQ(receipts(salesOfRangeSql(dialect(), shop, QDate(2015, 2, 28), QDate(2015, 3, 10))),
              (QStringList{"R1", "R2"}));
    // An end before the start gives the start day only.
    EXPECT_EQ(receipts(salesOfRangeSql(dialect(), shop, QDate(2015, 3, 11), QDate(2015, 3, 1))), QStringList{"R3"});
}

TEST_P(SalesDetailQueries, SearchIgnoresLetterCaseAndBindsTheText)
{
    const QDate march(2015, 3, 1), feb28(2015, 2, 28), march10(2015, 3, 10);
    const struct {
        DateScope scope;
        QDate start, end;
        const char *item, *text;
        QStringList receipts;
    } cases[] = {
        {DateScope::All, march, march, "商品条码", "ab", {"R1", "R3"}},
        {DateScope::All, march, march, "商品条码", "AB", {"R1", "R3"}},
        {DateScope::Month, march, march, "商品条码", "Ab", {"R3"}},
        {DateScope::Range, feb28, march10, "商品条码", "", {"R1", "R2"}},
        {DateScope::All, march, march, "商品名称", "白T恤", {"R2"}},
        {DateScope::All, march, march, "商品名称", "BTX", {"R2"}},
        {DateScope::All, march, march, "销售单号", "r_", {}}, // "_" is literal, no receipt holds "r_"
        {DateScope::All, march, march, "销售单号", "r", {"R1", "R2", "R3"}},
        {DateScope::All, march, march, "商品条码", "x' or '1'='1", {}},
    };
    for (const auto &c : cases) {
        const data::Sql sql = searchSalesSql(dialect(), QStringLiteral("A"), c.scope, c.start, c.end,
                                             QString::fromUtf8(c.item), QString::fromUtf8(c.text));
        EXPECT_EQ(receipts(sql), c.receipts) << c.item << " " << c.text;
    }
}

// % and _ typed into the search match themselves in every field, as everywhere else; a text
// that leaves no key (only characters without pinyin initials, for 商品名称) finds nothing.
TEST_P(SalesDetailQueries, PercentAndUnderscoreAreLiteralInEverySearchField)
{
    const QDate march(2015, 3, 1);
    sale("2015-03-12", "A", "10%1", "百分", "b%f", "P%1");
    sale("2015-03-12", "A", "10_1", "下划", "x_h", "U_1");
    sale("2015-03-12", "A", "1011", "平常", "pc", "N11");
    const struct {
        const char *item, *text;
        QStringList receipts;
    } cases[] = {
        {"商品条码", "10%1", {"P%1"}},
        {"商品条码", "10_1", {"U_1"}},
        {"商品条码", "%", {"P%1"}},
        {"商品条码", "_", {"U_1"}},
        {"商品条码", "0%", {"P%1"}},
        {"销售单号", "%", {"P%1"}},
        {"销售单号", "_1", {"U_1"}},
        {"商品名称", "b%", {"P%1"}},
        {"商品名称", "x_", {"U_1"}},
        {"商品名称", "_", {"U_1"}},
    };
    for (const auto &c : cases) {
        const QString item = QString::fromUtf8(c.item), text = QString::fromUtf8(c.text);
        EXPECT_FALSE(salesSearchFindsNothing(item, text)) << c.item << " " << c.text;
        const data::Sql sql = searchSalesSql(dialect(), QStringLiteral("A"), DateScope::All, march, march, item, text);
        EXPECT_EQ(receipts(sql), c.receipts) << c.item << " " << c.text;
    }
}

TEST(SalesDetailSearchKey, ATextWithoutKeyFindsNothingAndAnEmptyTextFindsAll)
{
    const struct {
        const char *item, *text;
        bool nothing;
    } cases[] = {
        {"商品名称", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80", true}, // emoji only: no pinyin initials
        {"商品名称", "", false},                                 // an empty text lists the whole scope
        {"商品名称", "白T恤", false},
        {"商品条码", "\xF0\x9F\x98\x80", false}, // searched as typed
    };
    for (const auto &c : cases)
        EXPECT_EQ(salesSearchFindsNothing(QString::fromUtf8(c.item), QString::fromUtf8(c.text)), c.nothing) << c.text;
}

SHOPDESK_BOTH_BACKENDS(SalesDetailQueries);

} // namespace
