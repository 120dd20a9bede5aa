// A shop database of the first release, holding rows, is brought up to the current schema: it then
// equals a fresh database, keeps its rows and finds its stock rows through the contains-search. An
// upgrade that fails leaves the database as it was; a newer database is left alone.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"
#include "support/TestDatabase.h"

using data::Backend;
using data::SchemaUpgrade;
using testsupport::TestDatabase;

namespace {

QStringList listOf(data::Connection &connection, const data::Sql &sql)
{
    QStringList out;
    data::RecordSet rs(connection);
    EXPECT_TRUE(rs.open(sql)) << connection.lastError().toStdString();
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.columns().size(); ++i)
            cells << rs.text(i).simplified();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// Everything a schema is made of: tables with their columns, indexes, triggers and constraints,
// and the schema version.
QStringList schemaOf(data::Connection &connection)
{
    const QString version = QStringLiteral("version %1").arg(data::schemaVersion(connection));
    if (connection.backend() == Backend::Sqlite)
        return listOf(connection, data::Sql("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                            "WHERE name NOT LIKE 'sqlite_%' ORDER BY type, name"))
               + listOf(connection, data::Sql("PRAGMA user_version")) + QStringList{version};
    return listOf(connection, data::Sql("SELECT table_name, column_name, data_type, column_default, is_nullable "
                                        "FROM information_schema.columns WHERE table_schema = 'public' "
                                        "ORDER BY table_name, ordinal_position"))
           + listOf(connection, data::Sql("SELECT tablename, indexname, indexdef FROM pg_indexes "
                                          "WHERE schemaname = 'public' ORDER BY indexname"))
           + listOf(connection, data::Sql("SELECT event_object_table, trigger_name, event_manipulation, action_statement "
                                          "FROM information_schema.triggers ORDER BY trigger_name, event_manipulation"))
           + listOf(connection, data::Sql("SELECT c.conname, pg_get_constraintdef(c.oid) FROM pg_constraint c "
                                          "JOIN pg_namespace n ON n.oid = c.connamespace WHERE n.nspname = 'public' "
                                          "ORDER BY c.conname"))
           + listOf(connection, data::Sql("SELECT extname FROM pg_extension ORDER BY extname")) + QStringList{version};
}

QStringList rowsOf(data::Connection &connection, const QString &table)
{
    return listOf(connection, data::Sql(QStringLiteral("SELECT * FROM ") + connection.dialect().quoteTable(table)
                                        + QStringLiteral(" ORDER BY id")));
}

// Every row of the shop's tables.
QMap<QString, QStringList> contentOf(data::Connection &connection)
{
    QMap<QString, QStringList> content;
    for (const QString &table : data::shopTables())
        content[table] = rowsOf(connection, table);
    return content;
}

bool insert(data::Connection &c, const QString &table, const data::Pairs &pairs)
{
    const bool ok = c.execute(data::buildInsertSql(c.dialect(), table, pairs));
    EXPECT_TRUE(ok) << c.lastError().toStdString();
    return ok;
}

// A shop that has worked with the first release: a shop, an account, stock rows and a sale.
void fillFirstReleaseShop(data::Connection &c)
{
    insert(c, QStringLiteral("店铺名"), {{"店名", "东店"}, {"销售", "2"}});
    insert(c, QStringLiteral("帐号管理"), {{"帐号", "li"}, {"密码", "1"}, {"姓名", "李四"}, {"所属店铺", "东店"}, {"前台收银", "√"}});
    insert(c, QStringLiteral("采购入库"), {{"款号", "3001A"}, {"名称", "羽绒服"}, {"拼音检索", "yrf"}, {"数量", "4"},
                                          {"已售", "1"}, {"吊牌价", "399"}, {"所属店铺", "东店"}});
    insert(c, QStringLiteral("采购入库"), {{"款号", "3002"}, {"名称", "白衬衫"}, {"拼音检索", "bcs"}, {"数量", "2"},
                                          {"已售", "0"}, {"吊牌价", "99"}, {"所属店铺", "东店"}});
    insert(c, QStringLiteral("销售明细"), {{"小票单号", "20150311140509"}, {"款号", "3001A"}, {"金额", "399"},
                                          {"数量", "1"}, {"销售日期", "2015-03-11"}, {"所属店铺", "东店"}});
}

// Ids of the shop's stock rows whose column contains key, as the counter searches them.
QList<qint64> stockContaining(data::Connection &c, const QString &column, const QString &key)
{
    const data::Dialect &d = c.dialect();
    const QString index = column == QStringLiteral("款号") ? QStringLiteral("idx_stock_shop_style")
                                                           : QStringLiteral("idx_stock_shop_pinyin");
    const data::Dialect::ContainsSearch search =
        d.containsSearch(QStringLiteral("采购入库"), column, key, index, QStringLiteral("stock_search"));
    data::RecordSet rs(c);
    EXPECT_TRUE(rs.open(data::Sql(QStringLiteral("SELECT id FROM ") + search.from + QStringLiteral(" WHERE "))
                        + data::both(search.candidates, d.like(column, u'%' + key + u'%'))))
        << c.lastError().toStdString();
    QList<qint64> ids;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
        ids << rs.integer(0);
    std::sort(ids.begin(), ids.end());
    return ids;
}

class SchemaUpgradeTest : public testsupport::BothBackends {
protected:
    TestDatabase::Content content() const override { return TestDatabase::FirstRelease; }

    // Writes upgrade scripts of this backend into a folder of their own: version -> statements.
    QString scriptFolder(const QMap<int, QString> &scripts)
    {
        for (auto it = scripts.cbegin(); it != scripts.cend(); ++it) {
            QFile file(data::upgradeScriptPath(folder.path(), backend(), it.key()));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(it.value().toUtf8());
        }
        return folder.path();
    }
    QString setVersionSql(int version) const
    {
        return backend() == Backend::Sqlite
                   ? QStringLiteral("PRAGMA user_version = %1;\n").arg(version)
                   : (version == 2 ? QStringLiteral("CREATE TABLE schema_version (id integer PRIMARY KEY, version integer);\n"
                                                    "INSERT INTO schema_version VALUES (1, 2);\n")
                                   : QStringLiteral("UPDATE schema_version SET version = %1;\n").arg(version));
    }

    QTemporaryDir folder;
};

TEST_P(SchemaUpgradeTest, FirstReleaseDatabaseWithRowsBecomesTheCurrentSchemaAndKeepsItsRows)
{
    fillFirstReleaseShop(conn());
    EXPECT_EQ(data::schemaVersion(conn()), 1);
    const QMap<QString, QStringList> before = contentOf(conn());

    const SchemaUpgrade upgrade = data::upgradeSchema(conn());
    ASSERT_EQ(upgrade.outcome, SchemaUpgrade::Upgraded) << upgrade.error.toStdString();
    EXPECT_EQ(upgrade.from, 1);
    EXPECT_EQ(upgrade.to, 2);
    EXPECT_EQ(data::schemaVersion(conn()), 2);

    TestDatabase fresh(backend());
    ASSERT_TRUE(fresh.ok()) << fresh.error().toStdString();
    EXPECT_EQ(schemaOf(conn()).join(u'\n').toStdString(), schemaOf(fresh.connection()).join(u'\n').toStdString());
    EXPECT_EQ(contentOf(conn()), before) << "rows intact";
    // The shipped rows come first in both.
    for (const QString &table : data::shopTables()) {
        const QStringList shipped = rowsOf(fresh.connection(), table);
        EXPECT_EQ(rowsOf(conn(), table).mid(0, shipped.size()), shipped) << table.toStdString();
    }

    // The stock rows that were there are found by the counter's searches, three characters or more
    // (the trigram index on SQLite) and fewer.
    const QList<qint64> ids = {1, 2};
    EXPECT_EQ(stockContaining(conn(), QStringLiteral("款号"), QStringLiteral("001a")), QList<qint64>{ids[0]});
    EXPECT_EQ(stockContaining(conn(), QStringLiteral("款号"), QStringLiteral("300")), ids);
    EXPECT_EQ(stockContaining(conn(), QStringLiteral("拼音检索"), QStringLiteral("bcs")), QList<qint64>{ids[1]});
    EXPECT_EQ(stockContaining(conn(), QStringLiteral("拼音检索"), QStringLiteral("rf")), QList<qint64>{ids[0]});
    if (backend() == Backend::Sqlite)
        EXPECT_TRUE(conn().execute(data::Sql("INSERT INTO stock_search (stock_search, rank) VALUES ('integrity-check', 1)")))
            << conn().lastError().toStdString();

    // Once up to date, nothing more is done.
    EXPECT_EQ(data::upgradeSchema(conn()).outcome, SchemaUpgrade::UpToDate);
}

TEST_P(SchemaUpgradeTest, ScriptsRunInOrderInOneTransactionAndAFailureLeavesTheDatabaseAsItWas)
{
    fillFirstReleaseShop(conn());
    const QStringList schemaBefore = schemaOf(conn());
    const QMap<QString, QStringList> contentBefore = contentOf(conn());
    const QString probe = QStringLiteral("CREATE TABLE upgrade_probe (x text);\n");
    const QString useProbe = QStringLiteral("INSERT INTO upgrade_probe (x) VALUES ('a');\n");
    const QString broken = QStringLiteral("INSERT INTO no_such_table (x) VALUES ('b');\n");
    struct Case {
        const char *name;
        QString third; // the script to version 3
        bool upgraded;
    };
    const Case cases[] = {
        {"the last script fails", useProbe + broken + setVersionSql(3), false},
        {"a script that does not set its version", useProbe, false},
        {"every script runs, in order", useProbe + setVersionSql(3), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString scripts = scriptFolder({{2, probe + setVersionSql(2)}, {3, c.third}});
        const SchemaUpgrade upgrade = data::upgradeSchema(conn(), 3, scripts);
        if (!c.upgraded) {
            EXPECT_EQ(upgrade.outcome, SchemaUpgrade::Failed);
            EXPECT_FALSE(upgrade.error.isEmpty());
            EXPECT_EQ(data::schemaVersion(conn()), 1);
            EXPECT_EQ(schemaOf(conn()), schemaBefore) << "nothing of the first script is kept either";
            EXPECT_EQ(contentOf(conn()), contentBefore);
            continue;
        }
        EXPECT_EQ(upgrade.outcome, SchemaUpgrade::Upgraded) << upgrade.error.toStdString();
        EXPECT_EQ(data::schemaVersion(conn()), 3);
        EXPECT_EQ(listOf(conn(), data::Sql("SELECT x FROM upgrade_probe")), QStringList{QStringLiteral("a")});
        EXPECT_EQ(contentOf(conn()), contentBefore);
    }
}

TEST_P(SchemaUpgradeTest, AMissingScriptFailsAndTouchesNothing)
{
    const QStringList before = schemaOf(conn());
    const SchemaUpgrade upgrade = data::upgradeSchema(conn(), 2, scriptFolder({}));
    EXPECT_EQ(upgrade.outcome, SchemaUpgrade::Failed);
    EXPECT_TRUE(upgrade.error.contains(QStringLiteral("-002.sql"))) << upgrade.error.toStdString();
    EXPECT_EQ(schemaOf(conn()), before);
}

SHOPDESK_BOTH_BACKENDS(SchemaUpgradeTest);

class NewerOrForeignDatabase : public testsupport::BothBackends {};

TEST_P(NewerOrForeignDatabase, ADatabaseOfANewerProgramIsRefusedUntouched)
{
    ASSERT_TRUE(conn().execute(data::Sql(backend() == Backend::Sqlite ? "PRAGMA user_version = 7"
                                                                      : "UPDATE schema_version SET version = 7")));
    const QStringList before = schemaOf(conn());
    const SchemaUpgrade upgrade = data::upgradeSchema(conn());
    EXPECT_EQ(upgrade.outcome, SchemaUpgrade::Newer);
    EXPECT_EQ(upgrade.from, 7);
    EXPECT_EQ(upgrade.to, 2);
    EXPECT_EQ(schemaOf(conn()), before);
    EXPECT_EQ(data::newerSchemaText(7, 2),
              QStringLiteral("数据库是较新版本的程序建立或升级的（数据库版本 7，本程序只能使用版本 2 及以前的数据库）。\r\n"
                             "请安装新版本的程序；数据库没有任何改动。"));
}

TEST_P(NewerOrForeignDatabase, ADatabaseWithoutTheShopTablesIsNotTouched)
{
    TestDatabase empty(backend(), TestDatabase::Empty);
    ASSERT_TRUE(empty.ok()) << empty.error().toStdString();
    EXPECT_FALSE(data::hasShopTables(empty.connection()));
    EXPECT_EQ(data::upgradeSchema(empty.connection()).outcome, SchemaUpgrade::NotShopDatabase);
    data::RecordSet rs(empty.connection());
    ASSERT_TRUE(rs.open(data::Sql(backend() == Backend::Sqlite
                                      ? "SELECT name FROM sqlite_master"
                                      : "SELECT table_name FROM information_schema.tables WHERE table_schema='public'")));
    EXPECT_EQ(rs.rowCount(), 0);
    EXPECT_TRUE(data::hasShopTables(conn()));
}

SHOPDESK_BOTH_BACKENDS(NewerOrForeignDatabase);

// A qi.db in rollback-journal mode, as an older or newer program may leave it, opened and checked
// the way start-up does (open, version check, close). A newer one is refused with not one byte of
// the file changed and no file added beside it; one this program knows is switched to WAL as usual.
TEST(SchemaUpgradeSqlite, ANewerRollbackJournalDatabaseIsRefusedWithoutAByteWritten)
{
    const struct {
        int version;
        SchemaUpgrade::Outcome outcome;
        bool untouched;
        const char *journal;
    } cases[] = {
        {data::currentSchemaVersion + 1, SchemaUpgrade::Newer, true, "delete"},
        {99, SchemaUpgrade::Newer, true, "delete"},
        {data::currentSchemaVersion, SchemaUpgrade::UpToDate, false, "wal"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version);
        TestDatabase made(Backend::Sqlite);
        ASSERT_TRUE(made.ok()) << made.error().toStdString();
        const QString path = made.sqlitePath();
        made.connection().close();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("journal-maker"));
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA journal_mode=DELETE")));
            ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA user_version=%1").arg(c.version)));
            query.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("journal-maker"));
        const auto digest = [&path] {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
        };
        const QByteArray before = digest();
        const QStringList filesBefore = QDir(made.dir()).entryList(QDir::Files, QDir::Name);

        data::Connection connection;
        ASSERT_TRUE(connection.openSqlite(path, data::shopTables())) << connection.lastError().toStdString();
        EXPECT_EQ(data::upgradeSchema(connection).outcome, c.outcome);
        data::RecordSet rs(connection);
        ASSERT_TRUE(rs.open(data::Sql("PRAGMA journal_mode")));
        EXPECT_EQ(rs.text(0), QString::fromLatin1(c.journal));
        rs.clear();
        connection.close();

        if (c.untouched) {
            EXPECT_EQ(digest(), before);
            EXPECT_EQ(QDir(made.dir()).entryList(QDir::Files, QDir::Name), filesBefore) << "no -wal or -shm file";
        } else {
            EXPECT_NE(digest(), before);
        }
    }
}

TEST(SchemaUpgradeScripts, TheProgramCarriesItsSchemaAndEveryUpgradeScript)
{
    for (const Backend backend : {Backend::Sqlite, Backend::Postgres}) {
        EXPECT_TRUE(QFile::exists(data::schemaScriptPath(backend)));
        for (int version = 2; version <= data::currentSchemaVersion; ++version)
            EXPECT_TRUE(QFile::exists(data::upgradeScriptPath(data::upgradeScriptFolder(), backend, version))) << version;
    }
    EXPECT_EQ(data::upgradeScriptPath(QStringLiteral(":/db/upgrade"), Backend::Postgres, 2),
              QStringLiteral(":/db/upgrade/postgres-002.sql"));
}

} // namespace
