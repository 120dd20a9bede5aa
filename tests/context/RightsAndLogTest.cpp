// The rights gate and the operation log row.
#include <QTime>
#include <gtest/gtest.h>

#include "context/AppContext.h"
#include "context/OperationLog.h"
#include "context/Rights.h"
#include "data/RecordSet.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "support/TestDatabase.h"

namespace {

struct GateCase
{
    const char *field;
    bool granted;
};

class RightsGateTest : public ::testing::TestWithParam<GateCase> {};

TEST_P(RightsGateTest, OnlyTheExactTickGrants)
{
    const GateCase c = GetParam();
    AppContext context;
    context.accountRights.采购入库 = QString::fromUtf8(c.field);
    context.accountRights.前台收银 = QString::fromUtf8(c.field);
    context.accountRights.退货管理 = QString::fromUtf8(c.field);
    context.accountRights.查看进价 = QString::fromUtf8(c.field);

    MessageScript script;
    EXPECT_EQ(rights::checkRight(context, QStringLiteral("采购入库")), c.granted);
    EXPECT_EQ(rights::checkRight(context, QStringLiteral("前台收银"), nullptr, rights::Refusal::Cashier), c.granted);
    EXPECT_EQ(rights::checkRight(context, QStringLiteral("退货管理"), nullptr, rights::Refusal::NoExclamation), c.granted);
    EXPECT_EQ(rights::checkRight(context, QStringLiteral("查看进价"), nullptr, rights::Refusal::Silent), c.granted);
    if (c.granted) {
        EXPECT_TRUE(script.messages().isEmpty());
    } else {
        ASSERT_EQ(script.messages().size(), 3);
        EXPECT_EQ(script.texts(), (QStringList{QStringLiteral("没有权限！"), QStringLiteral("你没有前台收银权限！"),
                                               QStringLiteral("没有权限")}));
        for (const ShownMessage &m : script.messages()) {
            EXPECT_TRUE(m.title.isEmpty());
            EXPECT_EQ(m.icon, MessageIcon::None);
            EXPECT_FALSE(m.question);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, RightsGateTest,
                         ::testing::Values(GateCase{"√", true}, GateCase{"", false}, GateCase{" √", false},
                                           GateCase{"√ ", false}, GateCase{"v", false}, GateCase{"1", false},
                                           GateCase{"是", false}));

TEST(RightsGate, ANameThatIsNoRightIsRefused)
{
    AppContext context;
    for (int i = 0; i < AccountRights::count; ++i)
        context.accountRights[i] = AppContext::Granted;
    MessageScript script;
    EXPECT_FALSE(rights::checkRight(context, QStringLiteral("老板")));
    EXPECT_EQ(script.texts(), QStringList{QStringLiteral("没有权限！")});
}

TEST(OperationLogTime, HourAndMinuteWithoutLeadingZeros)
{
    const struct { int h, m; const char *text; } cases[] = {
        {9, 5, "2015-03-11 9:5"}, {14, 30, "2015-03-11 14:30"}, {0, 0, "2015-03-11 0:0"}, {23, 59, "2015-03-11 23:59"}};
    for (const auto &c : cases)
        EXPECT_EQ(oplog::logTimeText(QStringLiteral("2015-03-11"), QTime(c.h, c.m)), QString::fromUtf8(c.text));
}

class OperationLogRow : public testsupport::BothBackends {
protected:
    void TearDown() override
    {
        Clock::reset();
        testsupport::BothBackends::TearDown();
    }
};

TEST_P(OperationLogRow, StoredExactlyAndDatedAfterARefresh)
{
    AppContext context;
    ASSERT_TRUE(backend() == data::Backend::Sqlite ? context.connection().openSqlite(db().sqlitePath())
                                                   : context.connection().openPostgres(db().serverSettings()));
    // The program has been running since yesterday: today still holds yesterday's date.
    context.runMode = AppContext::SingleMachineMode;
    context.today = DateParts{QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("10"),
                              QStringLiteral("23"), QStringLiteral("58")};
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(0, 7)));
    context.currentShop = QStringLiteral("O'Brien,店=1");
    context.currentAccount = QStringLiteral("clerk");

    const QString action = QStringLiteral("库存管理---新增一级分类  T'shirt,a=b");
    ASSERT_TRUE(oplog::writeLogRow(context, action));

    data::RecordSet rows(context.connection());
    ASSERT_TRUE(rows.open(data::Sql(QStringLiteral("SELECT * FROM %1 ORDER BY id")
                                        .arg(context.connection().dialect().quoteTable(QStringLiteral("日志记录"))))));
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(rows.text(QStringLiteral("门店")), context.currentShop);
    EXPECT_EQ(rows.text(QStringLiteral("用户名")), QStringLiteral("clerk"));
    EXPECT_EQ(rows.text(QStringLiteral("操作内容")), action);
    EXPECT_EQ(rows.text(QStringLiteral("操作时间")), QStringLiteral("2015-03-11 0:7"));
    EXPECT_EQ(rows.text(QStringLiteral("所属店铺")), context.currentShop);
}

SHOPDESK_BOTH_BACKENDS(OperationLogRow);

} // namespace
