// Two workstations settling the same damaged returns at once on the server: each unit goes back
// into stock once, and each return is logged and deleted once.
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "platform/Clock.h"
#include "reports/ReturnRecords.h"
#include "support/TestDatabase.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace reports;

namespace {

TEST(ReturnSettlingConcurrency, EachDamagedUnitGoesBackIntoStockOnce)
{
    Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(14, 5, 9)));
    testsupport::TestDatabase db(data::Backend::Postgres);
    ASSERT_TRUE(db.ok()) << db.error().toStdString();
    data::Connection &setup = db.connection();
    const QString stockTable = setup.dialect().quoteTable(QStringLiteral("采购入库"));
    const QString returnsTable = setup.dialect().quoteTable(QStringLiteral("退货管理"));
    ASSERT_TRUE(setup.execute(data::Sql(QStringLiteral("INSERT INTO ") + stockTable
                                        + QStringLiteral(" (款号,颜色,尺码,供货来源,所属店铺,数量,已售) VALUES ('K1','白','L','甲','A','0','9')"))));
    constexpr int count = 20;
    QList<ReturnRecord> records;
    for (int i = 0; i < count; ++i) {
        ASSERT_TRUE(setup.execute(data::Sql(QStringLiteral("INSERT INTO ") + returnsTable
                                            + QStringLiteral(" (供货来源,款号,颜色,尺码,商品情况,所属店铺) "
                                                             "VALUES ('甲','K1','白','L','有损','A')"))));
        data::RecordSet rs(setup);
        ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT MAX(id) FROM ") + returnsTable)));
        ReturnRecord r;
        r.id = rs.text(0);
        r.供货来源 = QStringLiteral("甲");
        r.款号 = QStringLiteral("K1");
        r.颜色 = QStringLiteral("白");
        r.尺码 = QStringLiteral("L");
        r.商品情况 = QStringLiteral("有损");
        records << r;
    }

    std::atomic<int> restocked{0}, gone{0}, failed{0}, ready{0};
    auto workstation = [&] {
        AppContext context;
        const bool opened = db.openAnother(context.connection());
        context.currentShop = QStringLiteral("A");
        context.currentAccount = QStringLiteral("zs");
        context.runMode = AppContext::NetworkMode;
        ++ready;
        while (ready < 2) {
        }
        for (int i = 0; opened && i < count; ++i) {
            switch (settleReturnRecord(context, records.at(i), true)) {
            case SettleOutcome::Restocked: ++restocked; break;
            case SettleOutcome::Gone: ++gone; break;
            default: ++failed; break;
            }
        }
        context.connection().close();
    };
    std::thread one(workstation), two(workstation);
    one.join();
    two.join();
    Clock::reset();

    EXPECT_EQ(restocked, count);
    EXPECT_EQ(gone, count);
    EXPECT_EQ(failed, 0);
    data::RecordSet rs(setup);
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT 数量, 已售 FROM ") + stockTable)));
    EXPECT_EQ(rs.text(0), QString::number(count));
    EXPECT_EQ(rs.text(1), QStringLiteral("9"));
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM ") + returnsTable)));
    EXPECT_EQ(rs.integer(0), 0);
    ASSERT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM ") + setup.dialect().quoteTable(QStringLiteral("日志记录")))));
    EXPECT_EQ(rs.integer(0), count);
}

} // namespace
