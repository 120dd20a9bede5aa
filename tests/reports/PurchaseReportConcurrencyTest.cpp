// Two workstations of one shop generating the same days' purchase reports at the same moment on the
// server: each day is written once, one row per supplier, with one log row.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/Clock.h"
#include "reports/PurchaseReport.h"
#include "support/TestDatabase.h"

#include <QDateTime>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace reports;

namespace {

TEST(PurchaseReportConcurrency, TwoWorkstationsGeneratingTheSameDayLeaveOneRowPerSupplier)
{
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    testsupport::TestDatabase db(data::Backend::Postgres);
    ASSERT_TRUE(db.ok()) << db.error().toStdString();
    constexpr int days = 20;
    const QStringList suppliers{QStringLiteral("甲厂"), QStringLiteral("乙厂"), QStringLiteral("丙厂")};
    for (int d = 1; d <= days; ++d)
        for (int s = 0; s < suppliers.size(); ++s)
            for (int k = 0; k < 3; ++k)
                ASSERT_TRUE(db.connection().execute(data::Sql(
                    QStringLiteral("INSERT INTO 采购入库 (供货来源,进货价,数量,已售,入库日期,所属店铺) VALUES (?,?,?,'0',?,'A')"),
                    {suppliers.at(s), QStringLiteral("10.5"), QString::number(k + 1),
                     QDate(2015, 3, d).toString(QStringLiteral("yyyy-MM-dd"))})))
                    << db.connection().lastError().toStdString();

    std::atomic<int> generated{0}, refused{0}, failed{0}, arrived{0};
    const auto workstation = [&](const QString &user) {
        AppContext context;
        const bool opened = db.openAnother(context.connection());
        context.currentShop = QStringLiteral("A");
        context.currentUserName = user;
        context.currentAccount = user;
        context.runMode = AppContext::NetworkMode;
        for (int d = 1; d <= days; ++d) {
            // Both start each day together.
            ++arrived;
            while (arrived < 2 * d) {
            }
            if (!opened) {
                ++failed;
                continue;
            }
            switch (generatePurchaseReport(context, QDate(2015, 3, d)).status) {
            case GenerateStatus::Generated:
                ++generated;
                break;
            case GenerateStatus::AlreadyGenerated:
                ++refused;
                break;
            case GenerateStatus::Failed:
                ++failed;
                break;
            }
        }
        context.connection().close();
    };
    std::thread one(workstation, QStringLiteral("一号")), two(workstation, QStringLiteral("二号"));
    one.join();
    two.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(generated, days);
    EXPECT_EQ(refused, days);

    data::RecordSet rs(db.connection());
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral(
        "SELECT 采购日期, 供货来源, count(*) AS n, min(数量) AS q, min(成本价) AS c FROM 采购报表 GROUP BY 采购日期, 供货来源"))));
    EXPECT_EQ(rs.rowCount(), days * suppliers.size());
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        EXPECT_EQ(rs.integer(QStringLiteral("n")), 1) << rs.text(0).toStdString() << " " << rs.text(1).toStdString();
        EXPECT_EQ(rs.text(QStringLiteral("q")), QStringLiteral("6"));
        EXPECT_EQ(rs.text(QStringLiteral("c")), QStringLiteral("63"));
    }
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT count(*) FROM 日志记录"))));
    EXPECT_EQ(rs.integer(0), days);
    Clock::reset();
}

} // namespace
