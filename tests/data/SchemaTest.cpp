// The two schema templates create the same tables and columns, and ship the same rows.
#include <QMap>
#include <QStringList>
#include <gtest/gtest.h>

#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/Sql.h"
#include "support/TestDatabase.h"

using data::Backend;
using testsupport::TestDatabase;

namespace {

// Tables one backend keeps for itself: the trigram index of the stock rows and its FTS5 tables on
// SQLite, the schema version's table on PostgreSQL (SQLite keeps the version in its header).
bool backendOwnTable(const QString &name)
{
    return name.startsWith(QStringLiteral("stock_search")) || name == QStringLiteral("schema_version");
}

// table -> its columns in order, names lower-cased (PostgreSQL folds unquoted names); the tables
// both backends share.
QMap<QString, QStringList> tablesOf(TestDatabase &db)
{
    QMap<QString, QStringList> tables;
    data::RecordSet rs(db.connection());
    if (db.backend() == Backend::Sqlite) {
        rs.open(data::Sql("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'"));
        QStringList names;
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            names << rs.text(0);
        for (const QString &name : names) {
            data::RecordSet cols(db.connection());
            cols.open(data::Sql(QStringLiteral("SELECT name FROM pragma_table_info('%1') ORDER BY cid").arg(name)));
            for (cols.moveFirst(); !cols.pastLast(); cols.moveNext())
                tables[name.toLower()] << cols.text(0).toLower();
        }
    } else {
        rs.open(data::Sql("SELECT table_name, column_name FROM information_schema.columns "
                          "WHERE table_schema='public' ORDER BY table_name, ordinal_position"));
        for (rs.moveFirst(); !rs.pastLast(); rs.moveNext())
            tables[rs.text(0).toLower()] << rs.text(1).toLower();
    }
    for (const QString &name : tables.keys())
        if (backendOwnTable(name))
            tables.remove(name);
    return tables;
}

QStringList rowsOf(TestDatabase &db, const QString &table)
{
    QStringList rows;
    data::RecordSet rs(db.connection());
    rs.open(data::Sql(QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(table)));
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList cells;
        for (const QString &column : rs.columns())
            cells << rs.text(column);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

TEST(Schema, BothBackendsCreateTheSameTablesColumnsAndShippedRows)
{
    TestDatabase lite(Backend::Sqlite), pg(Backend::Postgres);
    ASSERT_TRUE(lite.ok()) << lite.error().toStdString();
    ASSERT_TRUE(pg.ok()) << pg.error().toStdString();

    const auto liteTables = tablesOf(lite), pgTables = tablesOf(pg);
    EXPECT_EQ(liteTables.keys(), pgTables.keys());
    EXPECT_EQ(liteTables.size(), 26);
    for (auto it = liteTables.cbegin(); it != liteTables.cend(); ++it)
        EXPECT_EQ(it.value(), pgTables.value(it.key())) << it.key().toStdString();

    for (const QString &table : {QStringLiteral("帐号管理"), QStringLiteral("会员类别")})
        EXPECT_EQ(rowsOf(lite, table), rowsOf(pg, table)) << table.toStdString();

    // Both scripts leave the database at the program's schema version.
    EXPECT_EQ(data::schemaVersion(lite.connection()), data::currentSchemaVersion);
    EXPECT_EQ(data::schemaVersion(pg.connection()), data::currentSchemaVersion);
    EXPECT_EQ(data::currentSchemaVersion, 2);
}

TEST(Schema, ShipsTheAdministratorWithEveryRightAndTheDefaultMemberTiers)
{
    TestDatabase lite(Backend::Sqlite);
    ASSERT_TRUE(lite.ok()) << lite.error().toStdString();
    data::RecordSet rs(lite.connection());
    ASSERT_TRUE(rs.open(data::Sql("SELECT * FROM 帐号管理 WHERE 帐号=?", {QStringLiteral("admin")})));
    ASSERT_EQ(rs.rowCount(), 1);
    EXPECT_EQ(rs.text("密码"), QStringLiteral("580417"));
    const QStringList rights = {"前台收银", "实况播报", "销售明细", "销售简表", "销量排行", "退货管理", "导出明细",
                                "会员管理", "添加会员", "积分调整", "导出会员", "采购入库", "调整价格", "采购报表",
                                "库存管理", "库存调拨", "分类管理", "开支管理", "查看进价", "系统设置"};
    for (const QString &right : rights)
        EXPECT_EQ(rs.text(right), QStringLiteral("√")) << right.toStdString();

    ASSERT_TRUE(rs.open(data::Sql("SELECT * FROM 会员类别 WHERE 所属店铺=?", {QStringLiteral("---")})));
    EXPECT_EQ(rs.rowCount(), 3);
}

TEST(Schema, ColumnsNotWrittenReadAsEmptyTextNotNull)
{
    TestDatabase lite(Backend::Sqlite), pg(Backend::Postgres);
    ASSERT_TRUE(lite.ok() && pg.ok());
    for (TestDatabase *db : {&lite, &pg}) {
        ASSERT_TRUE(db->connection().execute(data::Sql("INSERT INTO 采购入库 (款号) VALUES (?)", {QStringLiteral("1001")})));
        data::RecordSet rs(db->connection());
        // A condition on a column nobody wrote must see the row (a NULL would hide it).
        ASSERT_TRUE(rs.open(data::Sql("SELECT * FROM 采购入库 WHERE 特价<>?", {QStringLiteral("√")})));
        EXPECT_EQ(rs.rowCount(), 1) << TestDatabase::backendName(db->backend());
    }
}

TEST(Schema, UniqueKeysRefuseASecondShopRankingRowOrTopCategoryCode)
{
    TestDatabase lite(Backend::Sqlite), pg(Backend::Postgres);
    ASSERT_TRUE(lite.ok() && pg.ok());
    const QString shop = QStringLiteral("总店");
    for (TestDatabase *db : {&lite, &pg}) {
        data::Connection &c = db->connection();
        const char *name = TestDatabase::backendName(db->backend());
        EXPECT_TRUE(c.execute(data::Sql("INSERT INTO 店铺名 (店名) VALUES (?)", {shop})));
        EXPECT_FALSE(c.execute(data::Sql("INSERT INTO 店铺名 (店名) VALUES (?)", {shop}))) << name;

        const data::Sql ranking("INSERT INTO 销量排行 (所属店铺, 当月时间, 款号) VALUES (?, ?, ?)",
                                {shop, QStringLiteral("2015-03-"), QStringLiteral("1001")});
        EXPECT_TRUE(c.execute(ranking));
        EXPECT_FALSE(c.execute(ranking)) << name;

        // Top-level categories carry a code; second-level rows leave it empty and may be many.
        const auto category = [&](const QString &top, const QString &second) {
            return c.execute(data::Sql("INSERT INTO 分类例表 (项目名称, 一级编号, 二级编号, 所属店铺) VALUES (?, ?, ?, ?)",
                                       {QStringLiteral("上衣"), top, second, shop}));
        };
        EXPECT_TRUE(category(QStringLiteral("1"), QString()));
        EXPECT_FALSE(category(QStringLiteral("1"), QString())) << name;
        EXPECT_TRUE(category(QString(), QStringLiteral("1")));
        EXPECT_TRUE(category(QString(), QStringLiteral("1")));
    }
}
