// Two workstations on the server enter different styles in the same second with label printing on:
// each entry generates its barcode from the clock, so both start from the same code and must end
// with different ones.
#include "StockFixture.h"

#include "stock/PurchaseEntry.h"
#include "stock/StockRules.h"

#include <atomic>
#include <thread>

using namespace stock;

namespace {

PurchaseForm styleForm(const QString &styleNo)
{
    PurchaseForm f;
    f.category = QStringLiteral("衬衫");
    f.styleNo = styleNo;
    f.name = QStringLiteral("衬衫");
    f.supplier = QStringLiteral("广州甲");
    f.cost = QStringLiteral("50");
    f.tagPrice = QStringLiteral("120");
    f.lines[0] = {QStringLiteral("红色"), QStringLiteral("M"), QStringLiteral("1")};
    return f;
}

class BarcodeConcurrency : public stocktest::StockFixture {
protected:
    data::Backend backendUnderTest() const override { return data::Backend::Postgres; }
    // Backends of this database waiting for a lock another transaction holds.
    int waitingForLocks() { return testsupport::TestDatabase::waitingForLocks(db()); }
};

// The stations meet for sure: a third connection holds the stock table against writes (reads go on)
// until both stations wait, each either at its insert or for the other station's lock. Without the
// lock both would have checked the same code free and be waiting to insert it.
TEST_F(BarcodeConcurrency, TwoEntriesInTheSameSecondGetDifferentCodes)
{
    data::Connection holder;
    ASSERT_TRUE(database->openAnother(holder));
    data::Transaction hold = holder.transaction();
    ASSERT_TRUE(hold.isActive());
    ASSERT_TRUE(holder.execute(data::Sql(QStringLiteral("LOCK TABLE \"采购入库\" IN SHARE MODE"))));

    PurchaseResult results[2];
    std::atomic<int> opened{0};
    auto station = [&](int k) {
        AppContext context;
        if (!database->openAnother(context.connection()))
            return;
        ++opened;
        context.runMode = AppContext::NetworkMode;
        context.currentShop = QStringLiteral("A");
        context.currentUserName = QStringLiteral("站%1").arg(k);
        context.labelPrintFlag = AppContext::FlagOn;
        printing::RecordingLabelPrinter printer;
        results[k] = addPurchase(context, styleForm(QStringLiteral("S%1").arg(k)), printer);
        context.connection().close();
    };
    std::thread one(station, 0);
    std::thread two(station, 1);
    bool met = false;
    for (long poll = 0; poll < 1000000 && !met; ++poll)
        met = waitingForLocks() >= 2;
    EXPECT_TRUE(met) << "the stations never waited together";
    EXPECT_TRUE(hold.commit());
    one.join();
    two.join();

    ASSERT_EQ(opened.load(), 2);
    ASSERT_TRUE(results[0].saved) << results[0].message.toStdString();
    ASSERT_TRUE(results[1].saved) << results[1].message.toStdString();
    const QStringList codes{results[0].barcode, results[1].barcode};
    // Both start from the code of 2015-03-11 14:05:09; one of them steps to the next.
    EXPECT_TRUE(codes.contains(QStringLiteral("6983111485901"))) << codes.join(u' ').toStdString();
    EXPECT_TRUE(codes.contains(barcodeFromBase(698311148591))) << codes.join(u' ').toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT 款号, 商品条码 FROM \"采购入库\" ORDER BY 款号"),
                   {QStringLiteral("款号"), QStringLiteral("商品条码")}),
              (QStringList{QStringLiteral("S0|") + results[0].barcode, QStringLiteral("S1|") + results[1].barcode}));
}

} // namespace
