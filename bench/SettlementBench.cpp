// A day settlement (writeDailySummary: the shop's lock, the existence check, the day's lines summed,
// the day row and its log row, one transaction) on a sales table of 1,000,000 lines over 10 shops and
// 100 days (1,000 lines per shop and day), with ten years of earlier day rows of the 10 shops in
// 销售简表, on SQLite and on PostgreSQL. Every iteration settles another shop's day, so each one does
// the whole work. Goal: under 300 ms.
// PostgreSQL runs when SHOPDESK_PG_HOST and SHOPDESK_PG_PORT name a server (user postgres).
#include "context/AppContext.h"
#include "reports/Settlement.h"
#include "support/BenchDatabase.h"

#include <QCoreApplication>
#include <QDate>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int totalLines = 1000000;
constexpr int shops = 10;
constexpr int days = 100;
constexpr int settlements = 200; // iterations: distinct shop days
const QDate firstDay(2024, 1, 1);

// Line g = 1..totalLines belongs to shop g % 10 and day (g / 10) % 100 from 2024-01-01; quantity
// 1 to 3, unit cost 80, amount 199 per unit, a split part on every fifth line.
QString sqliteLoad()
{
    return QStringLiteral(
        "WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM n WHERE g < {ROWS}) "
        "INSERT INTO 销售明细 (导购员, 小票单号, 商品条码, 类别, 款号, 颜色, 尺码, 进货价, 吊牌价, 金额, 收银员, 会员编号, "
        "销售日期, 结付方式, 所属店铺, 折扣, 单位, 数量, 商品名称, 备注, 现金, 银行, 积分, 优惠券, 拼音检索, 供货来源, "
        "商品折扣, 入库日期, 销售时间, 储值) "
        "SELECT '', printf('R%09d', g), printf('69%011d', g), '上衣', CAST(100000 + g / 100 AS TEXT), '白', 'M', '80', "
        "'199', CAST(199 * (1 + g % 3) AS TEXT), '张三', '', date('2024-01-01', '+' || ((g / {SHOPS}) % {DAYS}) || ' days'), "
        "'其它', '店' || (g % {SHOPS}), '1', '件', CAST(1 + g % 3 AS TEXT), '衬衫', '', '0', "
        "CASE WHEN g % 5 = 0 THEN '50' ELSE '0' END, CASE WHEN g % 5 = 0 THEN '5' ELSE '0' END, '0', 'cs', '供应商', "
        "'', '2023-12-01', '9:5', CASE WHEN g % 5 = 0 THEN '10' ELSE '0' END FROM n")
        .replace(QStringLiteral("{ROWS}"), QString::number(totalLines))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops))
        .replace(QStringLiteral("{DAYS}"), QString::number(days));
}

QString postgresLoad()
{
    return QStringLiteral(
        "INSERT INTO 销售明细 (导购员, 小票单号, 商品条码, 类别, 款号, 颜色, 尺码, 进货价, 吊牌价, 金额, 收银员, 会员编号, "
        "销售日期, 结付方式, 所属店铺, 折扣, 单位, 数量, 商品名称, 备注, 现金, 银行, 积分, 优惠券, 拼音检索, 供货来源, "
        "商品折扣, 入库日期, 销售时间, 储值) "
        "SELECT '', 'R' || lpad(g::text, 9, '0'), '69' || lpad(g::text, 11, '0'), '上衣', (100000 + g / 100)::text, '白', "
        "'M', '80', '199', (199 * (1 + g % 3))::text, '张三', '', "
        "to_char(date '2024-01-01' + (g / {SHOPS}) % {DAYS}, 'YYYY-MM-DD'), '其它', '店' || (g % {SHOPS}), '1', '件', "
        "(1 + g % 3)::text, '衬衫', '', '0', CASE WHEN g % 5 = 0 THEN '50' ELSE '0' END, "
        "CASE WHEN g % 5 = 0 THEN '5' ELSE '0' END, '0', 'cs', '供应商', '', '2023-12-01', '9:5', "
        "CASE WHEN g % 5 = 0 THEN '10' ELSE '0' END FROM generate_series(1, {ROWS}) g")
        .replace(QStringLiteral("{ROWS}"), QString::number(totalLines))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops))
        .replace(QStringLiteral("{DAYS}"), QString::number(days));
}

// Ten years of settled days before the measured ones: 36,500 day rows over the 10 shops.
constexpr int earlierRows = 36500;
QString sqliteEarlierRows()
{
    return QStringLiteral(
        "WITH RECURSIVE n(g) AS (SELECT 0 UNION ALL SELECT g + 1 FROM n WHERE g < {ROWS} - 1) "
        "INSERT INTO 销售简表 (结算日期, 销售量, 销售金额, 成本价, 毛利润, 利润率, 银行, 积分, 优惠券, 储值, 实收金额, "
        "操作员, 备注, 所属店铺, 判断) "
        "SELECT date('2013-12-31', '-' || (g / {SHOPS}) || ' days'), '100', '30000', '8000', '22000', '73.33%', '0', "
        "'0', '0', '0', '30000', '管理员', '', '店' || (g % {SHOPS}), '' FROM n")
        .replace(QStringLiteral("{ROWS}"), QString::number(earlierRows))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops));
}

QString postgresEarlierRows()
{
    return QStringLiteral(
        "INSERT INTO 销售简表 (结算日期, 销售量, 销售金额, 成本价, 毛利润, 利润率, 银行, 积分, 优惠券, 储值, 实收金额, "
        "操作员, 备注, 所属店铺, 判断) "
        "SELECT to_char(date '2013-12-31' - g / {SHOPS}, 'YYYY-MM-DD'), '100', '30000', '8000', '22000', '73.33%', "
        "'0', '0', '0', '0', '30000', '管理员', '', '店' || (g % {SHOPS}), '' FROM generate_series(0, {ROWS} - 1) g")
        .replace(QStringLiteral("{ROWS}"), QString::number(earlierRows))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops));
}

void settleDays(benchmark::State &state, AppContext *context)
{
    int i = 0;
    for (auto _ : state) {
        context->currentShop = QStringLiteral("店") + QString::number(i % shops);
        const QDate day = firstDay.addDays(i / shops);
        ++i;
        const reports::SettleResult result = reports::writeDailySummary(*context, day);
        if (result.status != reports::SettleStatus::Settled) {
            state.SkipWithError(qPrintable(QStringLiteral("not settled: ") + result.message));
            return;
        }
        benchmark::DoNotOptimize(result.figures.销售金额);
    }
    state.counters["lines/settlement"] = double(totalLines) / double(shops * days);
}

void setUp(AppContext &context, const QString &mode)
{
    context.runMode = mode;
    context.currentAccount = QStringLiteral("admin");
    context.currentUserName = QStringLiteral("管理员");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    BenchDatabase sqliteDatabase;
    auto sqlite = std::make_unique<AppContext>();
    setUp(*sqlite, AppContext::SingleMachineMode);
    if (!sqliteDatabase.open(sqlite->connection(), data::Backend::Sqlite, QString())
        || !BenchDatabase::loadRows(sqlite->connection(), sqliteLoad(), totalLines)
        || !BenchDatabase::loadRows(sqlite->connection(), sqliteEarlierRows(), earlierRows))
        return 1;
    benchmark::RegisterBenchmark("SQLite/settleDay", settleDays, sqlite.get())
        ->Unit(benchmark::kMillisecond)
        ->Iterations(settlements);

    BenchDatabase postgresDatabase;
    auto postgres = std::make_unique<AppContext>();
    setUp(*postgres, AppContext::NetworkMode);
    if (!BenchDatabase::postgresConfigured()) {
        std::printf("PostgreSQL: SHOPDESK_PG_HOST / SHOPDESK_PG_PORT not set; only SQLite is measured.\n");
    } else if (postgresDatabase.open(postgres->connection(), data::Backend::Postgres, QStringLiteral("shopdesk_bench"))
               && BenchDatabase::loadRows(postgres->connection(), postgresLoad(), totalLines)
               && BenchDatabase::loadRows(postgres->connection(), postgresEarlierRows(), earlierRows)) {
        benchmark::RegisterBenchmark("PostgreSQL/settleDay", settleDays, postgres.get())
            ->Unit(benchmark::kMillisecond)
            ->Iterations(settlements);
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sqlite->connection().close();
    postgres->connection().close();
    return 0;
}
