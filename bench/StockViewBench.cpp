// The stock view and the stock-alarm report of a shop holding 100,000 of a database's 1,000,000
// stock rows: filling 超级列表框6 with the shop's visible rows, and working out the alarm report.
#include "context/AccountRights.h"
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "stock/StockAlarms.h"
#include "stock/StockView.h"
#include "support/BenchDatabase.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

constexpr int totalRows = 1000000;

// Row g: shop 店(g % 10), stock 1 + g % 7, visible.
QString fillSql(data::Backend backend)
{
    const QString columns = QStringLiteral(
        "INSERT INTO 采购入库 (款号,名称,数量,已售,吊牌价,进货价,所属店铺,类别,颜色,尺码,单位,供货来源,入库日期,零库存,开关) ");
    if (backend == data::Backend::Sqlite)
        return columns + QStringLiteral("WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g+1 FROM n WHERE g<")
               + QString::number(totalRows)
               + QStringLiteral(") SELECT CAST(1000000+g AS TEXT), '衬衫', CAST(1+g%7 AS TEXT), '0', '100', '40', '店'||(g%10), "
                                "'上衣', '白', 'M', '件', '甲厂', '2015-03-01', '1', '' FROM n");
    return columns + QStringLiteral("SELECT (1000000+g)::text, '衬衫', (1+g%7)::text, '0', '100', '40', '店'||(g%10), "
                                    "'上衣', '白', 'M', '件', '甲厂', '2015-03-01', '1', '' FROM generate_series(1,")
           + QString::number(totalRows) + QStringLiteral(") AS g");
}

struct Shop {
    BenchDatabase database;
    AppContext context;
    bool ok = false;
    ~Shop() { context.connection().close(); }
};
std::map<data::Backend, std::unique_ptr<Shop>> shops;

Shop *shopOf(data::Backend backend)
{
    if (shops.empty())
        qAddPostRoutine([] { shops.clear(); });
    auto &slot = shops[backend];
    if (slot)
        return slot->ok ? slot.get() : nullptr;
    slot = std::make_unique<Shop>();
    data::Connection &connection = slot->context.connection();
    if (!slot->database.open(connection, backend, QStringLiteral("shopdesk_stockview_bench"))
        || !BenchDatabase::loadRows(connection, fillSql(backend), totalRows))
        return nullptr;
    AppContext &context = slot->context;
    context.currentShop = QStringLiteral("店3");
    context.runMode = backend == data::Backend::Sqlite ? AppContext::SingleMachineMode : AppContext::NetworkMode;
    for (int i = 0; i < AccountRights::count; ++i)
        context.accountRights[i] = AppContext::Granted;
    // The shop's bounds list the rows with 1, 6 or 7 units.
    context.shopSettings.报警开关 = QStringLiteral("真");
    context.shopSettings.上限报警 = QStringLiteral("5");
    context.shopSettings.下限报警 = QStringLiteral("2");
    slot->ok = true;
    return slot.get();
}

void fillStockView(benchmark::State &state, data::Backend backend)
{
    Shop *shop = shopOf(backend);
    if (!shop) {
        state.SkipWithError("no database");
        return;
    }
    stock::StockViewPage page(shop->context);
    for (auto _ : state)
        page.refreshStockList();
    state.counters["rows"] = page.list()->rowCount() - 1;
}

void alarmReport(benchmark::State &state, data::Backend backend)
{
    Shop *shop = shopOf(backend);
    if (!shop) {
        state.SkipWithError("no database");
        return;
    }
    qsizetype listed = 0;
    for (auto _ : state)
        listed = stock::stockAlarmLines(shop->context).size();
    state.counters["listed"] = double(listed);
}

BENCHMARK_CAPTURE(fillStockView, SQLite, data::Backend::Sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(fillStockView, PostgreSQL, data::Backend::Postgres)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(alarmReport, SQLite, data::Backend::Sqlite)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(alarmReport, PostgreSQL, data::Backend::Postgres)->Unit(benchmark::kMillisecond);

} // namespace
