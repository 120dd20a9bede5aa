// Care of a network database holding 1,000,000 sale lines: the daily backup at closing (pg_dump),
// the restore of that backup (pg_restore into a new database, then the swap), and the move of a
// qi.db of that size into a new network database made from the template, as the program runs it
// and beside the same tables piped by hand (sqlite3 -csv into psql's \copy, which need both
// programs on the PATH).
#include "data/Connection.h"
#include "data/DataMove.h"
#include "data/DatabaseBackup.h"
#include "data/DatabaseRestore.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "support/BenchDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
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
    single->connection.close(); // the program opens the file itself
    single->ok = true;
    return single.get();
}

// A new network database made from the template, as a shop makes it before the move: the
// connection that loaded the template is closed again.
std::unique_ptr<BenchDatabase> newNetworkDatabase(QString *error)
{
    auto target = std::make_unique<BenchDatabase>();
    data::Connection loader;
    if (!target->open(loader, data::Backend::Postgres, QStringLiteral("shopdesk_move_bench"))) {
        *error = QStringLiteral("no target database");
        return nullptr;
    }
    return target;
}

// The program's move (the database settings window's 按钮7): a connection of its own to the
// server, the file opened as the program opens it. Seconds, or -1 with *error set.
double moveAsTheProgramDoes(const QString &file, const data::ServerSettings &settings, qint64 *rows, QString *error)
{
    data::Connection target;
    if (!target.openPostgres(settings)) {
        *error = target.lastError();
        return -1;
    }
    data::Connection source;
    if (!source.openSqlite(file, data::shopTables())) {
        *error = source.lastError();
        return -1;
    }
    QElapsedTimer timer;
    timer.start();
    const data::DataMoveResult result = data::moveShopData(source, target);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (result.outcome != data::DataMoveResult::Moved) {
        *error = result.table + QStringLiteral(": ") + result.error;
        return -1;
    }
    *rows = result.rows;
    return seconds;
}

// The same tables piped by hand: sqlite3 -csv into psql's \copy, every table in one transaction
// (the template's admin account and default tiers aside, which a copy would double). Seconds, or
// -1 with *error set.
double moveByHand(const QString &file, const data::ServerSettings &settings, QString *error)
{
    QList<data::MovedTable> tables;
    {
        data::Connection source;
        data::Connection target;
        if (!source.openSqlite(file, data::shopTables()) || !target.openPostgres(settings)) {
            *error = source.lastError() + target.lastError();
            return -1;
        }
        tables = data::sharedTables(source, target, error);
        for (qsizetype i = tables.size() - 1; i >= 0; --i) {
            data::RecordSet rs(source);
            if (!rs.open(data::Sql(QStringLiteral("SELECT COUNT(*) FROM ") + source.dialect().quoteTable(tables[i].table)))
                || rs.integer(0) == 0 || tables[i].table == QStringLiteral("帐号管理")
                || tables[i].table == QStringLiteral("会员类别"))
                tables.removeAt(i);
        }
    }
    QString script = QStringLiteral("BEGIN;\n");
    for (const data::MovedTable &table : std::as_const(tables)) {
        const QString columns = table.columns.join(QLatin1Char(','));
        script += QStringLiteral("\\copy \"%1\" (%2) FROM PROGRAM 'sqlite3 -csv \"%3\" \"SELECT %2 FROM %1 ORDER BY id\"'"
                                 " WITH (FORMAT csv, FORCE_NOT_NULL (%2))\n")
                      .arg(table.table, columns, file);
    }
    script += QStringLiteral("COMMIT;\n");

    QProcess psql;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGCLIENTENCODING"), QStringLiteral("UTF8"));
    psql.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    psql.start(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
                                        QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"), settings.ip,
                                        QStringLiteral("-p"), settings.port, QStringLiteral("-U"), settings.user,
                                        QStringLiteral("-d"), settings.data, QStringLiteral("-f"), QStringLiteral("-")});
    psql.write(script.toUtf8());
    psql.closeWriteChannel();
    if (!psql.waitForFinished(-1) || psql.exitStatus() != QProcess::NormalExit || psql.exitCode() != 0) {
        *error = QStringLiteral("psql: ") + QString::fromUtf8(psql.readAllStandardError());
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

// The program's move beside the same tables piped by hand, each into a new database made from
// the template, taking turns at going first. The time is the program's; by_hand_s is the piped
// tables', ratio the one over the other.
void moveToNetworkDatabase(benchmark::State &state)
{
    SingleMachineShop *source = singleMachineShop();
    if (!source || !BenchDatabase::postgresConfigured()) {
        state.SkipWithError("no database");
        return;
    }
    const QString file = source->database.sqlitePath();
    qint64 rows = 0;
    double program = 0, byHand = 0;
    int turn = 0;
    for (auto _ : state) {
        double seconds[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const int which = (k + turn) % 2;
            QString error;
            std::unique_ptr<BenchDatabase> target = newNetworkDatabase(&error);
            if (target)
                seconds[which] = which == 0 ? moveAsTheProgramDoes(file, target->serverSettings(), &rows, &error)
                                            : moveByHand(file, target->serverSettings(), &error);
            if (!target || seconds[which] < 0) {
                state.SkipWithError(qPrintable(error));
                return;
            }
        }
        ++turn;
        std::printf("move: program %.2f s, by hand %.2f s, ratio %.2f\n", seconds[0], seconds[1], seconds[0] / seconds[1]);
        std::fflush(stdout);
        state.SetIterationTime(seconds[0]);
        program += seconds[0];
        byHand += seconds[1];
    }
    state.counters["rows"] = double(rows);
    state.counters["by_hand_s"] = byHand / double(state.iterations());
    state.counters["ratio"] = program / byHand;
}

BENCHMARK(backupAtClosing)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(restoreFromBackup)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK(moveToNetworkDatabase)->Unit(benchmark::kSecond)->Iterations(3)->UseManualTime();

} // namespace
