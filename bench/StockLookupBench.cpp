// The cashier's three stock lookups on a stock table of 1,000,000 rows over 10 shops, on SQLite and
// on PostgreSQL, each through RecordSet and through a bare prepared QSqlQuery:
//   exact barcode   商品条码=? and <in stock> and 所属店铺=?
//   style number    款号 like '%k%' and <in stock> and 所属店铺=?
//   pinyin code     拼音检索 like '%k%' and <in stock> and 所属店铺=?
// PostgreSQL runs when SHOPDESK_PG_HOST and SHOPDESK_PG_PORT name a server (user postgres).
#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/SqlBuilder.h"
#include "support/BenchDatabase.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>

using namespace data;

namespace {

constexpr int totalRows = 1000000;
constexpr int shops = 10;
const QString shop = QStringLiteral("店3");

// Rows are numbered g = 1..totalRows: shop g % 10, style s = g / 100 (10 rows of a style per shop),
// style number 100000 + s, pinyin code four letters from s, barcode "69" + g in 11 digits,
// quantity g % 7 (so one row in seven is sold out).
QString sqliteLoad()
{
    return QStringLiteral(
        "WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM n WHERE g < {ROWS}) "
        "INSERT INTO 采购入库 (商品条码, 供货来源, 已售, 类别, 款号, 名称, 颜色, 尺码, 数量, 进货价, 吊牌价, "
        "入库日期, 入库人, 所属店铺, 拼音检索, 折扣, 单位, 零库存, 大类, 上限, 下限) "
        "SELECT printf('69%011d', g), '供应商', '0', '上衣', CAST(100000 + g / 100 AS TEXT), '商品' || (g / 100), "
        "'色' || (g % 5), 'M', CAST(g % 7 AS TEXT), '80', '199', '2024-01-01', 'admin', '店' || (g % {SHOPS}), "
        "char(97 + (g / 100) % 26, 97 + (g / 2600) % 26, 97 + (g / 67600) % 26, 97 + (g / 100) % 7), "
        "'', '件', '1', '01', '0', '0' FROM n")
        .replace(QStringLiteral("{ROWS}"), QString::number(totalRows))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops));
}

QString postgresLoad()
{
    return QStringLiteral(
        "INSERT INTO 采购入库 (商品条码, 供货来源, 已售, 类别, 款号, 名称, 颜色, 尺码, 数量, 进货价, 吊牌价, "
        "入库日期, 入库人, 所属店铺, 拼音检索, 折扣, 单位, 零库存, 大类, 上限, 下限) "
        "SELECT '69' || lpad(g::text, 11, '0'), '供应商', '0', '上衣', (100000 + g / 100)::text, '商品' || (g / 100), "
        "'色' || (g % 5), 'M', (g % 7)::text, '80', '199', '2024-01-01', 'admin', '店' || (g % {SHOPS}), "
        "chr(97 + (g / 100) % 26) || chr(97 + (g / 2600) % 26) || chr(97 + (g / 67600) % 26) || chr(97 + (g / 100) % 7), "
        "'', '件', '1', '01', '0', '0' FROM generate_series(1, {ROWS}) g")
        .replace(QStringLiteral("{ROWS}"), QString::number(totalRows))
        .replace(QStringLiteral("{SHOPS}"), QString::number(shops));
}

// The search keys of one shop: barcodes, style numbers and pinyin codes of rows of that shop.
QString barcodeOf(int g) { return QStringLiteral("69%1").arg(g, 11, 10, QLatin1Char('0')); }
QString styleOf(int g) { return QString::number(100000 + g / 100); }
QString pinyinOf(int g)
{
    const int s = g / 100;
    QString code;
    code += QChar(u'a' + s % 26);
    code += QChar(u'a' + (g / 2600) % 26);
    code += QChar(u'a' + (g / 67600) % 26);
    code += QChar(u'a' + s % 7);
    return code;
}
// Rows of shop 3 that are in stock (g % 10 == 3, g % 7 != 0), spread over the table.
int keyRow(int i)
{
    int g = 3 + 10 * ((i * 7919) % (totalRows / 10 - 1));
    while (g % 7 == 0)
        g += 10;
    return g;
}
constexpr int keyCount = 1024;

enum class Lookup { Barcode, Style, Pinyin };

std::map<std::string, double> realTimes;
std::set<std::string> medians;

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        // With --benchmark_repetitions the median stands for the benchmark.
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !medians.count(run.run_name.str()))
                realTimes[run.run_name.str()] = run.GetAdjustedRealTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians.insert(run.run_name.str());
                realTimes[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

Sql condition(const Dialect &dialect, Lookup lookup, const QString &key)
{
    const Sql inStock(dialect.inStockCondition());
    switch (lookup) {
    case Lookup::Barcode:
        return both(both(eq(QStringLiteral("商品条码"), key), inStock), eq(QStringLiteral("所属店铺"), shop));
    case Lookup::Style:
        return both(both(dialect.like(QStringLiteral("款号"), QLatin1Char('%') + key + QLatin1Char('%')), inStock),
                    eq(QStringLiteral("所属店铺"), shop));
    case Lookup::Pinyin:
        return both(both(dialect.like(QStringLiteral("拼音检索"), QLatin1Char('%') + key + QLatin1Char('%')), inStock),
                    eq(QStringLiteral("所属店铺"), shop));
    }
    return {};
}

QString keyOf(Lookup lookup, int i)
{
    const int g = keyRow(i % keyCount);
    switch (lookup) {
    case Lookup::Barcode:
        return barcodeOf(g);
    case Lookup::Style:
        return styleOf(g);
    case Lookup::Pinyin:
        return pinyinOf(g);
    }
    return {};
}

void throughRecordSet(benchmark::State &state, Connection *connection, Lookup lookup)
{
    RecordSet rs(*connection);
    int i = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const Sql sql = buildSelectSql(connection->dialect(), QStringLiteral("采购入库"),
                                       condition(connection->dialect(), lookup, keyOf(lookup, i++)), true, {}, false);
        if (!rs.open(sql)) {
            state.SkipWithError(rs.lastError().toStdString().c_str());
            return;
        }
        const int columns = rs.columns().size();
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(rs.text(c));
            ++rows;
        }
    }
    state.counters["rows/lookup"] = double(rows) / double(state.iterations());
}

void throughBareQuery(benchmark::State &state, Connection *connection, Lookup lookup)
{
    // The same statement text, prepared once; values bound per lookup.
    const Sql model = buildSelectSql(connection->dialect(), QStringLiteral("采购入库"),
                                     condition(connection->dialect(), lookup, QStringLiteral("x")), true, {}, false);
    QSqlQuery query(connection->database());
    query.setForwardOnly(true);
    if (!query.prepare(model.text)) {
        state.SkipWithError(query.lastError().text().toStdString().c_str());
        return;
    }
    int i = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const Sql sql = condition(connection->dialect(), lookup, keyOf(lookup, i++));
        for (int v = 0; v < sql.values.size(); ++v)
            query.bindValue(v, sql.values.at(v));
        if (!query.exec()) {
            state.SkipWithError(query.lastError().text().toStdString().c_str());
            return;
        }
        const int columns = query.record().count();
        while (query.next()) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(query.value(c).toString());
            ++rows;
        }
        query.finish();
    }
    state.counters["rows/lookup"] = double(rows) / double(state.iterations());
}

void registerLookups(const QString &label, Connection *connection)
{
    const std::pair<const char *, Lookup> lookups[] = {
        {"barcode", Lookup::Barcode}, {"style", Lookup::Style}, {"pinyin", Lookup::Pinyin}};
    for (const auto &[name, lookup] : lookups) {
        const std::string base = label.toStdString() + "/" + name;
        benchmark::RegisterBenchmark((base + "/RecordSet").c_str(), throughRecordSet, connection, lookup)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((base + "/bare").c_str(), throughBareQuery, connection, lookup)
            ->Unit(benchmark::kMicrosecond);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    BenchDatabase sqliteDatabase;
    auto sqlite = std::make_unique<Connection>();
    if (!sqliteDatabase.open(*sqlite, data::Backend::Sqlite, QString())
        || !BenchDatabase::loadRows(*sqlite, sqliteLoad(), totalRows))
        return 1;
    registerLookups(QStringLiteral("SQLite"), sqlite.get());

    BenchDatabase postgresDatabase;
    auto postgres = std::make_unique<Connection>();
    if (!BenchDatabase::postgresConfigured()) {
        std::printf("PostgreSQL: SHOPDESK_PG_HOST / SHOPDESK_PG_PORT not set; only SQLite is measured.\n");
    } else if (postgresDatabase.open(*postgres, data::Backend::Postgres, QStringLiteral("shopdesk_bench"))
               && BenchDatabase::loadRows(*postgres, postgresLoad(), totalRows)) {
        registerLookups(QStringLiteral("PostgreSQL"), postgres.get());
    }

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-24s %14s %14s %8s\n", "lookup", "RecordSet us", "bare us", "ratio");
    for (const auto &[name, time] : realTimes) {
        const std::string suffix = "/RecordSet";
        if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string base = name.substr(0, name.size() - suffix.size());
        const auto bare = realTimes.find(base + "/bare");
        if (bare == realTimes.end())
            continue;
        std::printf("%-24s %14.1f %14.1f %8.2f\n", base.c_str(), time, bare->second, time / bare->second);
    }

    sqlite->close();
    postgres->close();
    return 0;
}
