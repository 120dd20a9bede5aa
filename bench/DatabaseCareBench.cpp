// Care of a network database holding 1,000,000 sale lines: the daily backup at closing (pg_dump),
// the restore of that backup (pg_restore into a new database, then the swap), and the move of a
// qi.db of that size into a new network database made from the template.
#include "data/Connection.h"
#include "data/DataMove.h"
#include "data/DatabaseBackup.h"
#include "data/DatabaseRestore.h"
#include "data/RecordSet.h"
#include "support/BenchDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int saleLines = 1000000;

// Line g: receipt g / 3, shop 店(g % 10), a day of March 2015, all thirty columns written.
QString fillSql(data::Backend backend)
{
    const QString columns = QStringLiteral(
        "INSERT INTO 销售明细 (导购员,小票单号,商品条码,类别,款号,颜色,尺码,进货价,吊牌价,金额,收银员,会员编号,结付方式,"
        "销售日期,所属店铺,单位,拼音检索,折扣,现金,银行,积分,优惠券,商品名称,备注,数量,供货来源,商品折扣,入库日期,销售时间,储值) ");
    const QString values = QStringLiteral(
        "'小王', 'R' || (g / 3), '69' || (1000000000 + g), '上衣', 'K' || (g % 5000), '白', 'M', '40', '100', '88.5', '收银1', "
        "'', '现金', '2015-03-' || (10 + g % 20), '店' || (g % 10), '件', 'CS', '0.885', '88.5', '0', '0', '0', '衬衫', '', "
        "'1', '甲厂', '1', '2015-03-01', (8 + g % 12) || ':' || (g % 60), '0'");
    if (backend == data::Backend::Sqlite)
        return columns + QStringLiteral("WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g+1 FROM n WHERE g<")
               + QString::number(saleLines) + QStringLiteral(") SELECT ") + values + QStringLiteral(" FROM n");
    return columns + QStringLiteral("SELECT ") + values + QStringLiteral(" FROM generate_series(1,")
           + QString::number(saleLines) + QStringLiteral(") AS g");
}

data::ServerSettings benchServer(const QString &database)
{
    return {qEnvironmentVariable("SHOPDESK_PG_HOST"), qEnvironmentVariable("SHOPDESK_PG_PORT"), database,
            QStringLiteral("postgres"), QString()};
}

// A network database of 1,000,000 sale lines and the folder its backups go to.
struct NetworkShop {
    BenchDatabase database;
    data::Connection connection;
    data::ServerSettings settings;
    QTemporaryDir programDir;
    bool ok = false;
};
std::unique_ptr<NetworkShop> network;

NetworkShop *networkShop()
{
    if (network)
        return network->ok ? network.get() : nullptr;
    qAddPostRoutine([] { network.reset(); });
    network = std::make_unique<NetworkShop>();
    const QString name = QStringLiteral("shopdesk_care_bench");
    if (!BenchDatabase::postgresConfigured() || !network->database.open(network->connection, data::Backend::Postgres, name)
        || !BenchDatabase::loadRows(network->connection, fillSql(data::Backend::Postgres), saleLines))
        return nullptr;
    network->connection.close(); // the restore ends every session on the database anyway
    network->settings = benchServer(QStringLiteral("%1_%2").arg(name).arg(QCoreApplication::applicationPid()));
    network->ok = true;
    return network.get();
}

int countSales(const data::ServerSettings &settings)
{
    data::Connection c;
    if (!c.openPostgres(settings))
        return -1;
    data::RecordSet rs(c);
    if (!rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM 销售明细"))))
        return -1;
    return int(rs.integer(0));
}

void backupAtClosing(benchmark::State &state)
{
    NetworkShop *shop = networkShop();
    if (!shop) {
        state.SkipWithError("no database");
        return;
    }
    data::BackupResult result;
    for (auto _ : state) {
        result = data::backupDatabase(shop->settings, shop->programDir.path(), QDate(2015, 3, 11));
        if (!result.ok) {
            state.SkipWithError(qPrintable(result.error));
            return;
        }
    }
    state.counters["file_MB"] = double(QFileInfo(result.file).size()) / (1024.0 * 1024.0);
}

void restoreFromBackup(benchmark::State &state)
{
    NetworkShop *shop = networkShop();
    if (!shop) {
        state.SkipWithError("no database");
        return;
    }
    const data::BackupResult backup = data::backupDatabase(shop->settings, shop->programDir.path(), QDate(2015, 3, 11));
    if (!backup.ok) {
        state.SkipWithError(qPrintable(backup.error));
        return;
    }
    for (auto _ : state) {
        const data::RestoreResult result = data::restoreDatabase(shop->settings, backup.file);
        if (!result.ok) {
            state.SkipWithError(qPrintable(result.error));
            return;
        }
    }
    state.counters["sale_lines"] = countSales(shop->settings);
}

// The embedded file of a shop that began in single-machine mode.
struct SingleMachineShop {
    BenchDatabase database;
    data::Connection connection;
    bool ok = false;
};
std::unique_ptr<SingleMachineShop> single;

SingleMachineShop *singleMachineShop()
{
    if (single)
        return single->ok ? single.get() : nullptr;
    qAddPostRoutine([] { single.reset(); });
    single = std::make_unique<SingleMachineShop>();
    if (!single->database.open(single->connection, data::Backend::Sqlite, QStringLiteral("qi"))
        || !BenchDatabase::loadRows(single->connection, fillSql(data::Backend::Sqlite), saleLines))
        return nullptr;
    single->ok = true;
    return single.get();
}

void moveToNetworkDatabase(benchmark::State &state)
{
    SingleMachineShop *source = singleMachineShop();
    if (!source || !BenchDatabase::postgresConfigured()) {
        state.SkipWithError("no database");
        return;
    }
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<BenchDatabase>();
        data::Connection connection; // a new network database made from the template
        if (!target->open(connection, data::Backend::Postgres, QStringLiteral("shopdesk_move_bench"))) {
            state.SkipWithError("no target database");
            return;
        }
        state.ResumeTiming();
        const data::DataMoveResult result = data::moveShopData(source->connection, connection);
        state.PauseTiming();
        if (result.outcome != data::DataMoveResult::Moved) {
            state.SkipWithError(qPrintable(result.table + QStringLiteral(": ") + result.error));
            return;
        }
        rows = result.rows;
        connection.close();
        target.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows);
    state.counters["rows_per_s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(backupAtClosing)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(restoreFromBackup)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(moveToNetworkDatabase)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
