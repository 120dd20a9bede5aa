// The move of the single-machine data (qi.db) into a new network database made from the template,
// from the database settings window's 按钮7, on the PostgreSQL test server.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "context/AppContext.h"
#include "data/DataMove.h"
#include "data/RecordSet.h"
#include "data/SchemaUpgrade.h"
#include "data/SqlBuilder.h"
#include "platform/Clock.h"
#include "platform/MessageScript.h"
#include "platform/ProgramDir.h"
#include "shell/DatabaseCare.h"
#include "shell/DatabaseSettingsWindow.h"
#include "shell/MainPages.h"
#include "support/TestDatabase.h"

using shell::DatabaseSettingsWindow;
using testsupport::TestDatabase;

namespace {

const QString Accounts = QStringLiteral("帐号管理");
const QString Tiers = QStringLiteral("会员类别");
const QString Shop = QStringLiteral("所属店铺");

using Rows = QList<QStringList>;

// The rows of a table, by id, as texts of the given columns (all columns when none are given).
Rows rowsOf(data::Connection &c, const QString &table, const QStringList &columns = {}, const QString &where = {})
{
    data::RecordSet rs(c);
    const QString select = QStringLiteral("SELECT ") + (columns.isEmpty() ? QStringLiteral("*") : columns.join(u','))
                           + QStringLiteral(" FROM ") + c.dialect().quoteTable(table)
                           + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) + QStringLiteral(" ORDER BY id");
    EXPECT_TRUE(rs.open(data::Sql(select))) << c.lastError().toStdString();
    Rows rows;
    for (rs.moveFirst(); !rs.pastLast(); rs.moveNext()) {
        QStringList row;
        for (int i = 0; i < rs.columns().size(); ++i)
            row << rs.text(i);
        rows << row;
    }
    return rows;
}

// Every row of every shop table.
QList<Rows> snapshot(data::Connection &c)
{
    QList<Rows> all;
    for (const QString &table : data::shopTables())
        all << rowsOf(c, table);
    return all;
}

// A value of the fixture: each row carries one of the texts a statement builder would trip over.
QString valueOf(const QString &column, int row)
{
    const QString base = column + QString::number(row);
    switch (row % 4) {
    case 0: return QStringLiteral("O'Neil ") + base;
    case 1: return base + QStringLiteral(",a,b");
    case 2: return QStringLiteral("x=y ") + base;
    default: return base + QStringLiteral(" '',=\\ 末");
    }
}

class DataMoveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2015, 3, 11), QTime(10, 0)));
        ASSERT_TRUE(source.ok()) << source.error().toStdString();
        ASSERT_TRUE(target.ok()) << target.error().toStdString();
        ProgramDir::set(source.dir());
        ctx.runMode = AppContext::SingleMachineMode;
        ctx.sqlServerSettings = target.serverSettings();
        shell::MainPages pages;
        shell::installDatabaseCare(pages);
        fillSource();
    }
    void TearDown() override
    {
        DatabaseSettingsWindow::setHooks({});
        Clock::reset();
    }

    data::Connection &src() { return source.connection(); }
    data::Connection &dst() { return target.connection(); }
    void insert(const QString &table, const data::Pairs &pairs)
    {
        ASSERT_TRUE(src().execute(data::buildInsertSql(src().dialect(), table, pairs))) << src().lastError().toStdString();
    }

    void fillSource()
    {
        // Four rows in every moved table.
        for (const data::MovedTable &spec : data::movedTables()) {
            for (int row = 0; row < 4; ++row) {
                data::Pairs pairs;
                for (const QString &column : spec.columns)
                    pairs.append({column, valueOf(column, row)});
                if (spec.table == QStringLiteral("采购入库")) // the item's alarm bounds stay behind
                    pairs << qMakePair(QStringLiteral("上限"), QVariant(QStringLiteral("9")))
                          << qMakePair(QStringLiteral("下限"), QVariant(QStringLiteral("1")))
                          << qMakePair(QStringLiteral("开关"), QVariant(QStringLiteral("真")));
                if (spec.table == QStringLiteral("店铺名"))
                    pairs << qMakePair(QStringLiteral("上限报警"), QVariant(QStringLiteral("50")))
                          << qMakePair(QStringLiteral("报警开关"), QVariant(QStringLiteral("真")));
                insert(spec.table, pairs);
            }
        }
        // A member with empty spending and points.
        insert(QStringLiteral("会员管理"), {{QStringLiteral("会员卡号"), QStringLiteral("V-empty")},
                                            {QStringLiteral("消费金额"), QString()},
                                            {QStringLiteral("积分"), QString()},
                                            {Shop, QStringLiteral("总店")}});
        // Two shops' tiers; a changed default tier of shop "---" that stays behind.
        for (const char *shop : {"总店", "分店"})
            for (const char *tier : {"金卡", "银卡"})
                insert(Tiers, {{Tiers, QString::fromUtf8(tier)},
                               {QStringLiteral("会员折扣"), QStringLiteral("0.85")},
                               {QStringLiteral("累计积分"), QStringLiteral("100")},
                               {Shop, QString::fromUtf8(shop)}});
        ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("UPDATE 会员类别 SET 会员折扣='0.5' WHERE 所属店铺='---'"))));
        // The administrator with another password and other rights.
        data::Pairs admin{{QStringLiteral("密码"), QStringLiteral("n'ew,pw=1")},
                          {QStringLiteral("姓名"), QStringLiteral("老板")},
                          {QStringLiteral("电话"), QStringLiteral("13900000000")},
                          {Shop, QStringLiteral("总店")}};
        const data::MovedTable &accounts = data::movedTables().at(5);
        for (int i = 5; i < accounts.columns.size(); ++i)
            admin.append({accounts.columns[i], i % 2 ? QStringLiteral("√") : QString()});
        ASSERT_TRUE(src().execute(data::buildUpdateSql(src().dialect(), Accounts, admin,
                                                       data::eq(QStringLiteral("帐号"), QStringLiteral("admin")), true)));
        // The tables that stay behind.
        for (const char *table : {"调拨记录", "提交挂单", "挂单号", "通告管理", "消息管理", "商品历史"})
            ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("INSERT INTO [%1] (id) VALUES (1)").arg(QString::fromUtf8(table)))));
    }

    // Clicks 按钮7, answering the question with Yes; true when the label was shown while it ran.
    bool clickMove(MessageScript &script)
    {
        DatabaseSettingsWindow w(ctx);
        QLabel *label = w.movingLabel();
        bool shown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] { shown = shown || !label->isHidden(); });
        watch.start(0);
        script.queueAnswers({true});
        w.findChild<QPushButton *>(QStringLiteral("按钮7"))->click();
        EXPECT_TRUE(label->isHidden());
        EXPECT_EQ(label->text(), QStringLiteral("数据正在搬迁中，请勿进行其它操作"));
        return shown;
    }

    TestDatabase source{data::Backend::Sqlite};
    TestDatabase target{data::Backend::Postgres};
    AppContext ctx;
};

TEST_F(DataMoveTest, EveryRowArrivesInOrderByteForByte)
{
    const Rows templateTiers = rowsOf(dst(), Tiers, data::movedTables().at(1).columns);
    MessageScript script;
    EXPECT_TRUE(clickMove(script)) << "the label shows while the data moves";
    ASSERT_EQ(script.messages().size(), 2);
    const ShownMessage &question = script.messages().at(0);
    EXPECT_TRUE(question.question);
    EXPECT_EQ(question.title, QStringLiteral("数据搬迁"));
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    const QStringList lines = question.text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("将数据搬迁至网络版SQL数据库")));
    EXPECT_EQ(lines[1], QStringLiteral("请确认已将程序目录下的SQL模版导入SQL数据"));
    EXPECT_EQ(script.messages().at(1).text, QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));

    for (const data::MovedTable &spec : data::movedTables()) {
        SCOPED_TRACE(spec.copier.toStdString());
        const Rows moved = rowsOf(dst(), spec.table, spec.columns);
        if (spec.table == Tiers) {
            // The template's default tiers as they were, then the shops' own.
            EXPECT_EQ(moved, templateTiers + rowsOf(src(), Tiers, spec.columns, QStringLiteral("所属店铺<>'---'")));
        } else if (spec.table == Accounts) {
            // The administrator's row takes the file's values; no second one appears.
            EXPECT_EQ(moved, rowsOf(src(), Accounts, spec.columns, QStringLiteral("帐号='admin'"))
                                 + rowsOf(src(), Accounts, spec.columns, QStringLiteral("帐号<>'admin'")));
            EXPECT_EQ(moved.first().at(1), QStringLiteral("n'ew,pw=1"));
        } else {
            EXPECT_EQ(moved, rowsOf(src(), spec.table, spec.columns));
        }
    }
    const Rows emptyMember = rowsOf(dst(), QStringLiteral("会员管理"), {QStringLiteral("消费金额"), QStringLiteral("积分")},
                                    QStringLiteral("会员卡号='V-empty'"));
    EXPECT_EQ(emptyMember, (Rows{{QString(), QString()}}));
    // Left out: the alarm columns and six tables.
    EXPECT_EQ(rowsOf(dst(), QStringLiteral("采购入库"), {QStringLiteral("id")}, QStringLiteral("上限<>'' OR 下限<>'' OR 开关<>''")),
              Rows{});
    EXPECT_EQ(rowsOf(dst(), QStringLiteral("店铺名"), {QStringLiteral("id")}, QStringLiteral("上限报警<>'' OR 报警开关<>''")),
              Rows{});
    for (const char *table : {"调拨记录", "提交挂单", "挂单号", "通告管理", "消息管理", "商品历史"})
        EXPECT_EQ(rowsOf(dst(), QString::fromUtf8(table)), Rows{}) << table;
}

TEST_F(DataMoveTest, ASecondMoveIsRefusedAndDoublesNothing)
{
    MessageScript first;
    clickMove(first);
    ASSERT_EQ(first.texts().last(), QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！"));
    const QList<Rows> after = snapshot(dst());
    MessageScript second;
    clickMove(second);
    ASSERT_EQ(second.texts().size(), 2);
    EXPECT_EQ(second.texts().last(),
              QStringLiteral("网络版数据库中已有搬迁过的数据（表 会员管理），同一个数据库名请勿重复搬迁，本次未搬迁任何数据！"));
    EXPECT_EQ(snapshot(dst()), after);
}

TEST_F(DataMoveTest, AMissingSourceIsReportedWithTheTargetUntouched)
{
    const QList<Rows> before = snapshot(dst());
    QTemporaryDir empty;
    ProgramDir::set(empty.path());
    MessageScript script;
    EXPECT_FALSE(clickMove(script));
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_TRUE(script.texts().last().startsWith(QStringLiteral("单机版数据库打开失败，未搬迁任何数据！\r\n")))
        << script.texts().last().toStdString();
    EXPECT_TRUE(script.texts().last().contains(QStringLiteral("qi.db")));
    EXPECT_EQ(snapshot(dst()), before);
    EXPECT_FALSE(QFile::exists(QDir(empty.path()).filePath(QStringLiteral("qi.db")))) << "no file is made";
}

TEST_F(DataMoveTest, AFailureHalfwayLeavesTheTargetAsBefore)
{
    // The server refuses the second stock row: the fifteenth of twenty tables, after fourteen were written.
    ASSERT_TRUE(dst().execute(data::Sql(QStringLiteral("ALTER TABLE 采购入库 ADD CONSTRAINT refused CHECK (款号 <> 'REFUSED')"))));
    ASSERT_TRUE(src().execute(data::Sql(QStringLiteral("UPDATE 采购入库 SET 款号='REFUSED' WHERE id=2"))));
    const QList<Rows> before = snapshot(dst());
    MessageScript script;
    clickMove(script);
    ASSERT_EQ(script.texts().size(), 2);
    EXPECT_TRUE(script.texts().last().startsWith(QStringLiteral("数据搬迁失败，网络版数据库未作任何改动！\r\n采购入库：")))
        << script.texts().last().toStdString();
    EXPECT_EQ(snapshot(dst()), before);
}

} // namespace
