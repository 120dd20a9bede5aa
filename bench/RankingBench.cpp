// The sales ranking window on 1,000,000 sale lines over 10 shops and 24 months, with the ranking
// rows the sale writer keeps for them (one per shop, month and style number, its sold count the sum
// of the lines), on SQLite and on PostgreSQL:
//   open        the window made for one shop: this month read, ranked most sold first, listed
//   month       查看指定月份 of another month (least sold first)
//   search      a style-number search over all months of the shop
// PostgreSQL runs when SHOPDESK_PG_HOST and SHOPDESK_PG_PORT name a server (user postgres).
#include "context/AppContext.h"
#include "data/RecordSet.h"
#include "lists/ReportList.h"
#include "reports/SalesRankingWindow.h"
#include "support/BenchDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int saleLines = 1000000;
constexpr int shops = 10;
constexpr int months = 24; // 2014-01 .. 2015-12
constexpr int styles = 2000;

// Line g = 1..saleLines: shop g % 10, month (g / 10) % 24, day 1 + g % 28, style 100000 + ((g / 240) * 37 + g % 240) % 2000
// (about 2000 styles sold per shop and month),
// 1 to 3 units.
QString sqliteSales()
{
    return QStringLiteral(
               "WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM n WHERE g < {LINES}) "
               "INSERT INTO 销售明细 (销售日期, 所属店铺, 款号, 商品名称, 类别, 数量, 进货价, 吊牌价, 金额, 单位, 供货来源, "
               "颜色, 尺码, 小票单号, 收银员, 结付方式) "
               "SELECT printf('%04d-%02d-%02d', 2014 + ((g / 10) % {MONTHS}) / 12, ((g / 10) % {MONTHS}) % 12 + 1, 1 + g % 28), "
               "'店' || (g % {SHOPS}), CAST(100000 + ((g / 240) * 37 + g % 240) % {STYLES} AS TEXT), '商品' || (((g / 240) * 37 + g % 240) % {STYLES}), "
               "'上衣', CAST(1 + g % 3 AS TEXT), '80', '199', '150', '件', '供应商' || (g % 7), '白', 'M', "
               "CAST(g AS TEXT), '张三', '现金' FROM n")
        .replace(QStringLiteral("{LINES}"), QString::number(saleLines))
        .replace(QStringLiteral("{MONTHS}"), QString::number(months))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops))
        .replace(QStringLiteral("{STYLES}"), QString::number(styles));
}

QString postgresSales()
{
    return QStringLiteral(
               "INSERT INTO 销售明细 (销售日期, 所属店铺, 款号, 商品名称, 类别, 数量, 进货价, 吊牌价, 金额, 单位, 供货来源, "
               "颜色, 尺码, 小票单号, 收银员, 结付方式) "
               "SELECT to_char(make_date(2014 + ((g / 10) % {MONTHS}) / 12, ((g / 10) % {MONTHS}) % 12 + 1, 1 + g % 28), "
               "'YYYY-MM-DD'), '店' || (g % {SHOPS}), (100000 + ((g / 240) * 37 + g % 240) % {STYLES})::text, "
               "'商品' || (((g / 240) * 37 + g % 240) % {STYLES}), '上衣', (1 + g % 3)::text, '80', '199', '150', '件', "
               "'供应商' || (g % 7), '白', 'M', g::text, '张三', '现金' "
               "FROM generate_series(1, {LINES}) g")
        .replace(QStringLiteral("{LINES}"), QString::number(saleLines))
        .replace(QStringLiteral("{MONTHS}"), QString::number(months))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops))
        .replace(QStringLiteral("{STYLES}"), QString::number(styles));
}

// The ranking rows of those lines, as the sale writer leaves them.
QString rankingRows(data::Backend backend)
{
    const QString count = backend == data::Backend::Sqlite ? QStringLiteral("CAST(sum(CAST(数量 AS INTEGER)) AS TEXT)")
                                                           : QStringLiteral("sum(数量::integer)::text");
    return QStringLiteral("INSERT INTO 销量排行 (类别, 款号, 成本价, 吊牌价, 最近售出日期, 所属店铺, 单位, 已售数量, 商品名称, "
                          "供货来源, 当月时间) SELECT min(类别), 款号, min(进货价), min(吊牌价), max(销售日期), 所属店铺, "
                          "min(单位), ")
        + count
        + QStringLiteral(", min(商品名称), min(供货来源), substr(销售日期, 1, 8) FROM 销售明细 "
                         "GROUP BY 所属店铺, substr(销售日期, 1, 8), 款号 ORDER BY min(id)");
}

AppContext *prepared(AppContext &context)
{
    context.currentShop = QStringLiteral("店3");
    context.currentAccount = QStringLiteral("zs");
    context.currentUserName = QStringLiteral("张三");
    // No mode: today stays at the month the data holds (a window refreshes it only in a mode).
    context.runMode = QString();
    context.today = {QStringLiteral("2015"), QStringLiteral("03"), QStringLiteral("11"), QStringLiteral("14"),
                     QStringLiteral("5")};
    for (int i = 0; i < AccountRights::count; ++i)
        context.accountRights[i] = AppContext::Granted;
    return &context;
}

void openWindow(benchmark::State &state, AppContext *context)
{
    int rows = 0;
    for (auto _ : state) {
        reports::SalesRankingWindow window(*context);
        rows = window.list()->rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}

void pickMonth(benchmark::State &state, AppContext *context)
{
    reports::SalesRankingWindow window(*context);
    window.dateBox()->setDate(QDate(2014, 7, 1));
    for (auto _ : state)
        window.listSalesRankingOfMonth();
    state.counters["rows"] = window.list()->rowCount();
}

void searchStyle(benchmark::State &state, AppContext *context)
{
    reports::SalesRankingWindow window(*context);
    window.fieldBox()->setCurrentText(QStringLiteral("款号"));
    window.valueBox()->setCurrentText(QStringLiteral("101234"));
    for (auto _ : state)
        window.searchSalesRanking();
    state.counters["rows"] = window.list()->rowCount();
}

bool load(AppContext &context, BenchDatabase &database, data::Backend backend, const QString &name)
{
    data::Connection &connection = context.connection();
    if (!database.open(connection, backend, name))
        return false;
    if (!BenchDatabase::loadRows(connection, backend == data::Backend::Sqlite ? sqliteSales() : postgresSales(), saleLines)
        || !BenchDatabase::loadRows(connection, rankingRows(backend), saleLines))
        return false;
    data::RecordSet rs(connection);
    if (!rs.open(data::Sql(QStringLiteral("SELECT count(*) FROM ") + connection.dialect().quoteTable(QStringLiteral("销量排行")))))
        return false;
    std::printf("%s: %lld ranking rows for the sale lines\n", backend == data::Backend::Sqlite ? "SQLite" : "PostgreSQL",
                rs.integer(0));
    return true;
}

void registerAll(const char *label, AppContext *context)
{
    const std::string base(label);
    benchmark::RegisterBenchmark((base + "/open").c_str(), openWindow, context)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((base + "/month").c_str(), pickMonth, context)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((base + "/search").c_str(), searchStyle, context)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    BenchDatabase sqliteDatabase;
    auto sqlite = std::make_unique<AppContext>();
    if (!load(*sqlite, sqliteDatabase, data::Backend::Sqlite, QString()))
        return 1;
    registerAll("SQLite", prepared(*sqlite));

    BenchDatabase postgresDatabase;
    auto postgres = std::make_unique<AppContext>();
    if (!BenchDatabase::postgresConfigured())
        std::printf("PostgreSQL: SHOPDESK_PG_HOST / SHOPDESK_PG_PORT not set; only SQLite is measured.\n");
    else if (load(*postgres, postgresDatabase, data::Backend::Postgres, QStringLiteral("shopdesk_ranking_bench")))
        registerAll("PostgreSQL", prepared(*postgres));

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sqlite->connection().close();
    postgres->connection().close();
    return 0;
}
