#include "data/Dialect.h"
#include "data/SqlBuilder.h"

#include <gtest/gtest.h>

using namespace data;

namespace {

const Dialect &sqlite = Dialect::forBackend(Backend::Sqlite);
const Dialect &postgres = Dialect::forBackend(Backend::Postgres);

struct BuilderCase {
    const char *name;
    Sql sql;
    const char *display;
};

class BuilderTexts : public ::testing::TestWithParam<BuilderCase> {};

TEST_P(BuilderTexts, ShowTheClassicText)
{
    EXPECT_EQ(GetParam().sql.display().toStdString(), GetParam().display) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuilderTexts,
    ::testing::Values(
        BuilderCase{"select without where or order", buildSelectSql(sqlite, "帐号管理", {}, false, {}, false),
                    "SELECT * FROM [帐号管理] WHERE 1=1"},
        BuilderCase{"select on postgres quotes the table", buildSelectSql(postgres, "帐号管理", {}, false, {}, false),
                    "SELECT * FROM \"帐号管理\" WHERE 1=1"},
        BuilderCase{"select with where and order", buildSelectSql(sqlite, "店铺名", eq("店名", "A"), true, "id ASC", true),
                    "SELECT * FROM [店铺名] WHERE 店名='A' ORDER BY id ASC"},
        BuilderCase{"where given but hasWhere false", buildSelectSql(sqlite, "店铺名", eq("店名", "A"), false, "id", false),
                    "SELECT * FROM [店铺名] WHERE 1=1"},
        BuilderCase{"order 降序", buildSelectSql(sqlite, "t", {}, false, "id 降序", true),
                    "SELECT * FROM [t] WHERE 1=1 ORDER BY id DESC"},
        BuilderCase{"order 升序", buildSelectSql(sqlite, "t", {}, false, "入库日期 升序,id 降序", true),
                    "SELECT * FROM [t] WHERE 1=1 ORDER BY 入库日期 ASC,id DESC"},
        BuilderCase{"order text kept when hasOrder false", buildSelectSql(sqlite, "t", {}, false, "id 降序", false),
                    "SELECT * FROM [t] WHERE 1=1"},
        BuilderCase{"condition joined with and",
                    buildSelectSql(sqlite, "采购入库", both(cmp("数量", "<>", "0"), eq("所属店铺", "总店")), true, "id ASC", true),
                    "SELECT * FROM [采购入库] WHERE 数量<>'0' and 所属店铺='总店' ORDER BY id ASC"},
        BuilderCase{"select of named columns",
                    buildSelectSql(postgres, "采购入库", QStringList{"id", "数量"}, eq("所属店铺", "总店"), true, "id 降序", true),
                    "SELECT id,数量 FROM \"采购入库\" WHERE 所属店铺='总店' ORDER BY id DESC"},
        BuilderCase{"update without where", buildUpdateSql(sqlite, "店铺名", Pairs{{"销售", "真"}}, {}, false),
                    "UPDATE [店铺名] SET 销售='真'"},
        BuilderCase{"update with where",
                    buildUpdateSql(postgres, "店铺名", Pairs{{"销售", "真"}, {"积分值", "10"}}, eq("id", 3), true),
                    "UPDATE \"店铺名\" SET 销售='真',积分值='10' WHERE id=3"},
        BuilderCase{"update with an increment", buildUpdateSql(sqlite, "t", Sql("数量 = 数量 - ?", {2}), eq("id", 1), true),
                    "UPDATE [t] SET 数量 = 数量 - 2 WHERE id=1"},
        BuilderCase{"insert from a fixed pairs text", buildInsertSql(sqlite, "日志记录", QStringLiteral("门店='A',用户名='b'")),
                    "INSERT INTO [日志记录] (门店,用户名) VALUES ('A','b')"},
        BuilderCase{"insert of one pair keeps blanks", buildInsertSql(sqlite, "t", QStringLiteral("a=' x '")),
                    "INSERT INTO [t] (a) VALUES (' x ')"},
        BuilderCase{"insert with awkward values", buildInsertSql(postgres, "t", Pairs{{"a", "O'Neil"}, {"b", "a,b"}, {"c", "x=y"}}),
                    "INSERT INTO \"t\" (a,b,c) VALUES ('O''Neil','a,b','x=y')"},
        BuilderCase{"a question mark inside a literal is no placeholder",
                    Sql("SELECT * FROM [t] WHERE a='?' and b=?", {"x?"}), "SELECT * FROM [t] WHERE a='?' and b='x?'"},
        BuilderCase{"null and numbers", Sql("a=? b=? c=?", {QVariant(), 5, 2.5}), "a=NULL b=5 c=2.5"}),
    [](const ::testing::TestParamInfo<BuilderCase> &info) { return "case" + std::to_string(info.index); });

TEST(SqlBuilder, ValuesAreBoundNotSpliced)
{
    const Sql sql = buildInsertSql(sqlite, "t", Pairs{{"a", "' or '1'='1"}, {"b", "50%_off"}});
    EXPECT_EQ(sql.text, QStringLiteral("INSERT INTO [t] (a,b) VALUES (?,?)"));
    EXPECT_EQ(sql.values, (QVariantList{"' or '1'='1", "50%_off"}));

    const Sql select = buildSelectSql(sqlite, "t", both(eq("a", "x"), postgres.like("b", "%y%")), true, "id ASC", true);
    EXPECT_EQ(select.text, QStringLiteral("SELECT * FROM [t] WHERE a=? and b ilike ? ORDER BY id ASC"));
    EXPECT_EQ(select.values, (QVariantList{"x", "%y%"}));
}

TEST(SqlBuilder, BothWithAnEmptySideGivesTheOther)
{
    EXPECT_EQ(both({}, eq("a", 1)).display(), QStringLiteral("a=1"));
    EXPECT_EQ(both(eq("a", 1), {}).display(), QStringLiteral("a=1"));
}

struct PairsCase {
    const char *text;
    bool ok;
    Pairs pairs;
};

class FixedPairs : public ::testing::TestWithParam<PairsCase> {};

TEST_P(FixedPairs, Parse)
{
    bool ok = false;
    const Pairs pairs = parsePairs(QString::fromUtf8(GetParam().text), &ok);
    EXPECT_EQ(ok, GetParam().ok) << GetParam().text;
    EXPECT_EQ(pairs, GetParam().pairs) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedPairs,
    ::testing::Values(PairsCase{"门店='A',用户名='b'", true, {{"门店", "A"}, {"用户名", "b"}}},
                      PairsCase{"a='x,y=z',b=''", true, {{"a", "x,y=z"}, {"b", ""}}},
                      PairsCase{"a='O''Neil'", true, {{"a", "O'Neil"}}},
                      PairsCase{"上限=0,下限=-5", true, {{"上限", "0"}, {"下限", "-5"}}},
                      PairsCase{"a='open", false, {}},
                      PairsCase{"novalue", false, {}},
                      PairsCase{"a='x'junk", false, {}},
                      PairsCase{"", false, {}}));

TEST(Dialect, OrderTranslationNeedsTheLeadingBlank)
{
    EXPECT_EQ(Dialect::translateOrder("id 降序"), QStringLiteral("id DESC"));
    EXPECT_EQ(Dialect::translateOrder("id 升序"), QStringLiteral("id ASC"));
    EXPECT_EQ(Dialect::translateOrder("升序"), QStringLiteral("升序"));
}

} // namespace
