#include "data/SchemaUpgrade.h"

#include "data/Connection.h"
#include "data/RecordSet.h"
#include "data/SqlScript.h"
#include "platform/ProgramLog.h"

#include <QFile>

namespace data {

namespace {

const QString kVersionTable = QStringLiteral("schema_version");

// The names of the tables of the open database's own schema.
bool tableNames(Connection &connection, QStringList *names)
{
    RecordSet rows(connection);
    const Sql sql = connection.backend() == Backend::Sqlite
                        ? Sql(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'"))
                        : Sql(QStringLiteral("SELECT table_name FROM information_schema.tables "
                                             "WHERE table_schema = current_schema()"));
    if (!rows.open(sql))
        return false;
    for (rows.moveFirst(); !rows.pastLast(); rows.moveNext())
        names->append(rows.text(0));
    return true;
}

} // namespace

const QStringList &shopTables()
{
    static const QStringList tables = {
        QStringLiteral("店铺名"),   QStringLiteral("帐号管理"), QStringLiteral("折扣方案"), QStringLiteral("满额促销"),
        QStringLiteral("通告管理"), QStringLiteral("日志记录"), QStringLiteral("消息管理"), QStringLiteral("采购入库"),
        QStringLiteral("款式号"),   QStringLiteral("商品历史"), QStringLiteral("调拨记录"), QStringLiteral("分类例表"),
        QStringLiteral("颜色尺码"), QStringLiteral("单位管理"), QStringLiteral("供货管理"), QStringLiteral("销售明细"),
        QStringLiteral("销量排行"), QStringLiteral("提交挂单"), QStringLiteral("挂单号"),   QStringLiteral("退货管理"),
        QStringLiteral("会员管理"), QStringLiteral("会员类别"), QStringLiteral("调整积分"), QStringLiteral("销售简表"),
        QStringLiteral("采购报表"), QStringLiteral("开支管理"),
    };
    return tables;
}

QString schemaScriptPath(Backend backend)
{
    return backend == Backend::Postgres ? QStringLiteral(":/db/postgres.sql") : QStringLiteral(":/db/sqlite.sql");
}

QString upgradeScriptFolder()
{
    return QStringLiteral(":/db/upgrade");
}

QString upgradeScriptPath(const QString &folder, Backend backend, int version)
{
    return QStringLiteral("%1/%2-%3.sql")
        .arg(folder, backend == Backend::Postgres ? QStringLiteral("postgres") : QStringLiteral("sqlite"))
        .arg(version, 3, 10, QLatin1Char('0'));
}

int schemaVersion(Connection &connection)
{
    RecordSet rows(connection);
    if (connection.backend() == Backend::Sqlite) {
        if (!rows.open(Sql(QStringLiteral("PRAGMA user_version"))))
            return -1;
        const int version = rows.integer(0);
        return version == 0 ? 1 : version; // the first release left it at 0
    }
    // Asked of the catalogue first: a failing SELECT would spoil an open transaction.
    QStringList tables;
    if (!tableNames(connection, &tables))
        return -1;
    if (!tables.contains(kVersionTable))
        return 1;
    if (!rows.open(Sql(QStringLiteral("SELECT version FROM schema_version"))) || rows.rowCount() != 1)
        return -1;
    return rows.integer(0);
}

bool hasShopTables(Connection &connection)
{
    QStringList tables;
    if (!tableNames(connection, &tables))
        return false;
    for (const QString &table : shopTables())
        if (!tables.contains(table))
            return false;
    return true;
}

SchemaUpgrade upgradeSchema(Connection &connection, int target, const QString &folder)
{
    SchemaUpgrade result;
    result.to = target;
    const auto failed = [&](const QString &error) {
        result.outcome = SchemaUpgrade::Failed;
        result.error = error;
        programlog::write(upgradeFailedText(result.from, target, error));
        return result;
    };
    if (!hasShopTables(connection)) {
        result.outcome = SchemaUpgrade::NotShopDatabase;
        return result;
    }
    result.from = schemaVersion(connection);
    if (result.from < 0)
        return failed(QStringLiteral("读不到数据库版本：") + connection.lastError());
    if (result.from == target)
        return result;
    if (result.from > target) {
        result.outcome = SchemaUpgrade::Newer;
        return result;
    }

    Transaction transaction = connection.transaction();
    if (!transaction.isActive())
        return failed(connection.lastError());
    for (int version = result.from + 1; version <= target; ++version) {
        const QString path = upgradeScriptPath(folder, connection.backend(), version);
        QString error;
        if (!QFile::exists(path))
            return failed(QStringLiteral("缺少升级脚本 ") + path);
        if (!runSqlScript(connection, path, &error))
            return failed(error);
        const int reached = schemaVersion(connection);
        if (reached != version)
            return failed(QStringLiteral("升级脚本 %1 把数据库版本设为 %2，应为 %3").arg(path).arg(reached).arg(version));
    }
    if (!transaction.commit())
        return failed(connection.lastError());
    result.outcome = SchemaUpgrade::Upgraded;
    programlog::write(QStringLiteral("数据库已从版本 %1 升级到版本 %2").arg(result.from).arg(target));
    return result;
}

QString newerSchemaText(int found, int supported)
{
    return QStringLiteral("数据库是较新版本的程序建立或升级的（数据库版本 %1，本程序只能使用版本 %2 及以前的数据库）。\r\n"
                          "请安装新版本的程序；数据库没有任何改动。")
        .arg(found)
        .arg(supported);
}

QString upgradeFailedText(int from, int to, const QString &error)
{
    return QStringLiteral("数据库从版本 %1 升级到版本 %2 失败，数据库保持原样：").arg(from).arg(to) + error;
}

} // namespace data
