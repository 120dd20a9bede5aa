// Two workstations on the server settling the same days and the same month at the same moment:
// each day and the month get one row, and the second workstation is told it was settled already.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "reports/Settlement.h"
#include "support/TestDatabase.h"

#include <QDate>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace reports;

namespace {

TEST(SettlementConcurrency, TwoWorkstationsSettlingTheSameDaysLeaveOneRowEach)
{
    testsupport::TestDatabase db(data::Backend::Postgres);
    ASSERT_TRUE(db.ok()) << db.error().toStdString();
    constexpr int days = 20;
    for (int day = 1; day <= days; ++day)
        for (int line = 0; line < 3; ++line)
            ASSERT_TRUE(db.connection().execute(
                data::Sql(QStringLiteral("INSERT INTO 销售明细 (销售日期,所属店铺,数量,进货价,金额,银行,积分,优惠券,储值) "
                                         "VALUES (?,'A','2','10','50','5','1','0','0')"),
                          {QDate(2015, 3, day).toString(QStringLiteral("yyyy-MM-dd"))})));

    std::atomic<int> ready{0}, settled{0}, refused{0}, failed{0};
    auto workstation = [&] {
        AppContext context;
        const bool opened = db.openAnother(context.connection());
        context.runMode = AppContext::NetworkMode;
        context.currentShop = QStringLiteral("A");
        context.currentAccount = QStringLiteral("zs");
        context.currentUserName = QStringLiteral("张三");
        ++ready;
        while (ready < 2) {
        }
        const auto count = [&](const SettleResult &r, const QString &already) {
            if (r.status == SettleStatus::Settled && r.message == QStringLiteral("结算成功！"))
                ++settled;
            else if (r.status == SettleStatus::AlreadySettled && r.message == already)
                ++refused;
            else
                ++failed;
        };
        for (int day = 1; opened && day <= days; ++day) {
            const QDate date(2015, 3, day);
            count(writeDailySummary(context, date),
                  QStringLiteral("【") + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("】日销售记录已经结算过！"));
        }
        if (opened)
            count(writeMonthSummary(context, QDate(2015, 3, 1)), QStringLiteral("【2015年03月】的销售记录已经结算过！"));
        context.connection().close();
    };
    std::thread one(workstation), two(workstation);
    one.join();
    two.join();

    EXPECT_EQ(failed, 0);
    EXPECT_EQ(settled, days + 1);
    EXPECT_EQ(refused, days + 1);
    data::RecordSet rs(db.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 结算日期, COUNT(*) AS n FROM 销售简表 GROUP BY 结算日期 ORDER BY 结算日期"))));
    ASSERT_EQ(rs.rowCount(), days + 1);
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        EXPECT_EQ(rs.integer(QStringLiteral("n")), 1) << rs.text(0).toStdString();
    // The month counts every day once: 20 days of 3 lines of 50.
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 销售金额, 实收金额 FROM 销售简表 WHERE 判断='-'"))));
    EXPECT_EQ(rs.text(0), QString::number(days * 150));
    EXPECT_EQ(rs.text(1), QString::number(days * 150 - days * 3));
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) AS n FROM 日志记录"))));
    EXPECT_EQ(rs.integer(QStringLiteral("n")), days + 1);
}

} // namespace
